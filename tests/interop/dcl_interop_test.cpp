// Our DCL coder against an independent one (libstorm), both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "install/archive/explode.h"
#include "install/archive/implode.h"
#include "tests/interop/libstorm_pklib.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace install::archive;

struct Io {
  const Bytes* in;
  size_t offset;
  size_t chunk;  // limit of every read after the first
  Bytes out;
  int reads = 0;
};

unsigned ReadIo(char* buffer, unsigned* size, void* param) {
  Io& io = *static_cast<Io*>(param);
  const size_t limit = io.reads++ == 0 ? SIZE_MAX : io.chunk;
  const size_t n = std::min({size_t{*size}, limit, io.in->size() - io.offset});
  if (n != 0) std::memcpy(buffer, io.in->data() + io.offset, n);
  io.offset += n;
  return static_cast<unsigned>(n);
}

void WriteIo(char* buffer, unsigned* size, void* param) {
  Io& io = *static_cast<Io*>(param);
  io.out.insert(io.out.end(), buffer, buffer + *size);
}

Bytes StormImplode(const Bytes& data, unsigned mode, unsigned dict) {
  Io io{&data, 0, SIZE_MAX, {}};
  std::vector<char> work(libstorm::kImplodeWorkSize);
  unsigned type = mode, dsize = dict;
  EXPECT_EQ(implode(ReadIo, WriteIo, work.data(), &io, &type, &dsize), 0u);
  return io.out;
}

Bytes StormExplode(const Bytes& stream, unsigned* result, size_t chunk = SIZE_MAX) {
  Io io{&stream, 0, chunk, {}};
  std::vector<char> work(libstorm::kExplodeWorkSize);
  *result = explode(ReadIo, WriteIo, work.data(), &io);
  return io.out;
}

Bytes OurExplode(const Bytes& stream, int* result, size_t chunk = SIZE_MAX) {
  Io io{&stream, 0, chunk, {}};
  std::vector<char> work(kExplodeWorkSize);
  *result = Explode(ReadIo, WriteIo, work.data(), &io);
  return io.out;
}

Bytes Sample(std::mt19937& rng, size_t size, int kind) {
  Bytes data(size);
  static const char* words[] = {"Setup ", "the ", "\r\n", "[Files] ", "disk1 ", "copy ", "a", "0123 "};
  std::string text;
  switch (kind % 4) {
    case 0:
      for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
      break;
    case 1:
      while (text.size() < size) text += words[rng() % 8];
      std::copy(text.begin(), text.begin() + size, data.begin());
      break;
    case 2:
      for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(rng() % 5 == 0 ? rng() : (i / 37) & 3);
      break;
    default:
      for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i < 3 ? rng() : data[i - 1 - rng() % 3] + (rng() % 9 == 0));
      break;
  }
  return data;
}

TEST(DclInteropTest, LibstormDecodesOurStreams) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 24; ++round) {
    const size_t size = round == 0 ? 0 : round < 4 ? round : rng() % (round % 3 == 0 ? 300000 : 9000);
    const Bytes data = Sample(rng, size, round);
    for (unsigned mode : {0u, 1u}) {
      for (unsigned dict : {1024u, 2048u, 4096u}) {
        Bytes stream;
        ASSERT_EQ(ImplodeBuffer(data.data(), data.size(), mode, dict, stream), kImplodeOk);
        unsigned result = 99;
        const Bytes back = StormExplode(stream, &result);
        ASSERT_EQ(result, 0u) << size << " " << mode << " " << dict;
        ASSERT_TRUE(back == data) << size << " " << mode << " " << dict;
      }
    }
  }
}

TEST(DclInteropTest, WeDecodeLibstormStreams) {
  std::mt19937 rng(4048);
  for (int round = 0; round < 24; ++round) {
    const size_t size = round < 4 ? round + 1 : rng() % (round % 3 == 0 ? 300000 : 9000);
    const Bytes data = Sample(rng, size, round);
    for (unsigned mode : {0u, 1u}) {
      for (unsigned dict : {1024u, 2048u, 4096u}) {
        const Bytes stream = StormImplode(data, mode, dict);
        for (size_t chunk : {SIZE_MAX, size_t{1} + round}) {
          int result = 99;
          const Bytes back = OurExplode(stream, &result, chunk);
          ASSERT_EQ(result, kExplodeOk) << size << " " << mode << " " << dict << " chunk " << chunk;
          ASSERT_TRUE(back == data) << size << " " << mode << " " << dict << " chunk " << chunk;
        }
      }
    }
  }
}

TEST(DclInteropTest, BothDecodersAgreeOnDamagedStreams) {
  // Same result code and same output for truncated and corrupted streams,
  // including the shortest ones and bad headers.
  std::mt19937 rng(77);
  std::vector<Bytes> streams = {
      {0x00, 0x04, 0x01, 0xFF},
      {0x00, 0x04, 0x01, 0xFF, 0x00},
      {0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F},
      {0x00, 0x04, 0x82, 0x24, 0x25},
      {0x09, 0x07, 0x01, 0xFF, 0x00},
      {0x02, 0x04, 0x01, 0xFF, 0x00},
  };
  for (unsigned mode : {0u, 1u}) {
    const Bytes data = Sample(rng, 20000, mode ? 1 : 3);
    Bytes stream;
    ASSERT_EQ(ImplodeBuffer(data.data(), data.size(), mode, 4096, stream), kImplodeOk);
    for (int trial = 0; trial < 150; ++trial) {
      Bytes damaged = stream;
      if (trial % 2 == 0) {
        damaged.resize(rng() % damaged.size());
      } else {
        for (int flips = 1 + rng() % 3; flips > 0; --flips) damaged[2 + rng() % (damaged.size() - 2)] ^= 1 << (rng() % 8);
      }
      streams.push_back(damaged);
    }
  }
  for (const Bytes& stream : streams) {
    unsigned storm_result = 99;
    int our_result = 99;
    const Bytes storm = StormExplode(stream, &storm_result);
    const Bytes ours = OurExplode(stream, &our_result, 1 + stream.size() % 700);
    ASSERT_EQ(static_cast<unsigned>(our_result), storm_result) << stream.size();
    ASSERT_TRUE(ours == storm) << stream.size();
  }
}

TEST(DclInteropTest, NoLargerThanLibstormOnStructuredData) {
  std::mt19937 rng(8);
  for (int kind : {1, 2, 3}) {
    const Bytes data = Sample(rng, 200000, kind);
    for (unsigned mode : {0u, 1u}) {
      Bytes ours;
      ASSERT_EQ(ImplodeBuffer(data.data(), data.size(), mode, 4096, ours), kImplodeOk);
      EXPECT_LE(ours.size(), StormImplode(data, mode, 4096).size()) << kind << " " << mode;
    }
  }
}

}  // namespace
