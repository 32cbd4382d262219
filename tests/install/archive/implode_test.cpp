#include "install/archive/implode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "install/archive/explode.h"

namespace install::archive {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const Bytes& data, unsigned mode, unsigned dict) {
  Bytes stream;
  EXPECT_EQ(ImplodeBuffer(data.data(), data.size(), mode, dict, stream), kImplodeOk);
  return stream;
}

Bytes Decode(const Bytes& stream, int* result = nullptr) {
  Bytes out;
  const int r = ExplodeBuffer(stream.data(), stream.size(), out);
  if (result) *result = r;
  return out;
}

Bytes FromText(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(ImplodeTest, WritesThePublishedExampleStream) {
  EXPECT_EQ(Encode(FromText("AIAIAIAIAIAIA"), kImplodeBinary, 1024),
            (Bytes{0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F}));
  // ASCII "a": a 0 bit, the code of a, the end code and two padding bits.
  EXPECT_EQ(Encode(FromText("a"), kImplodeAscii, 1024), (Bytes{0x01, 0x04, 0x4E, 0xC0, 0x3F}));
}

TEST(ImplodeTest, HeaderAndEmptyInput) {
  const unsigned dicts[] = {1024, 2048, 4096};
  for (unsigned mode : {0u, 1u}) {
    for (int i = 0; i < 3; ++i) {
      const Bytes stream = Encode({}, mode, dicts[i]);
      EXPECT_EQ(stream, (Bytes{static_cast<uint8_t>(mode), static_cast<uint8_t>(4 + i), 0x01, 0xFF, 0x00}));
      int r = -1;
      EXPECT_TRUE(Decode(stream, &r).empty());
      EXPECT_EQ(r, kExplodeOk);
    }
  }
}

TEST(ImplodeTest, RefusesBadSettingsWithoutWriting) {
  const Bytes data = FromText("hello");
  Bytes out{1, 2, 3};
  EXPECT_EQ(ImplodeBuffer(data.data(), data.size(), 0, 512, out), kImplodeBadDictionary);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(ImplodeBuffer(data.data(), data.size(), 0, 8192, out), kImplodeBadDictionary);
  EXPECT_EQ(ImplodeBuffer(data.data(), data.size(), 2, 4096, out), kImplodeBadLiteralMode);
  EXPECT_TRUE(out.empty());
}

// Inputs of several kinds: random bytes, small alphabets, runs, text-like
// words and repeated blocks farther apart than the dictionary.
Bytes MakeInput(std::mt19937& rng, size_t size, int kind) {
  Bytes data(size);
  switch (kind) {
    case 0:
      for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
      break;
    case 1: {
      const unsigned alphabet = 1 + rng() % 6;
      for (uint8_t& b : data) b = static_cast<uint8_t>('a' + rng() % alphabet);
      break;
    }
    case 2:
      for (size_t i = 0; i < size;) {
        const uint8_t v = static_cast<uint8_t>(rng() % 3 == 0 ? rng() : 0);
        for (size_t n = 1 + rng() % 700; n > 0 && i < size; --n) data[i++] = v;
      }
      break;
    case 3: {
      static const char* words[] = {"the ", "install ", "disk ", "of ", "FILE=", "\r\n", "setup.exe ", "a "};
      for (size_t i = 0; i < size; ++i) data[i] = 0;
      std::string text;
      while (text.size() < size) text += words[rng() % 8];
      std::memcpy(data.data(), text.data(), size);
      break;
    }
    default: {
      Bytes block(5000);
      for (uint8_t& b : block) b = static_cast<uint8_t>(rng());
      for (size_t i = 0; i < size; ++i) data[i] = block[i % block.size()] ^ (i % 9000 < 20 ? 1 : 0);
      break;
    }
  }
  return data;
}

TEST(ImplodeTest, RoundTripsRandomInputsInEveryMode) {
  std::mt19937 rng(12345);
  const size_t fixed_sizes[] = {1, 2, 3, 4, 5, 255, 256, 257, 4095, 4096, 4097, 8192, 65535, 65536, 65537, 140000};
  const unsigned dicts[] = {1024, 2048, 4096};
  int cases = 0;
  for (int round = 0; round < 40; ++round) {
    const size_t size = round < 16 ? fixed_sizes[round] : rng() % (round % 4 == 0 ? 200000 : 3000);
    const int kind = round % 5;
    const Bytes data = MakeInput(rng, size, kind);
    for (unsigned mode : {0u, 1u}) {
      for (unsigned dict : dicts) {
        const Bytes stream = Encode(data, mode, dict);
        ASSERT_GE(stream.size(), 5u);
        ASSERT_EQ(stream[0], mode);
        ASSERT_EQ(stream[1], dict == 1024 ? 4 : dict == 2048 ? 5 : 6);
        int r = -1;
        const Bytes back = Decode(stream, &r);
        ASSERT_EQ(r, kExplodeOk) << size << " kind " << kind << " mode " << mode << " dict " << dict;
        ASSERT_TRUE(back == data) << size << " kind " << kind << " mode " << mode << " dict " << dict;
        ++cases;
      }
    }
  }
  EXPECT_EQ(cases, 240);
}

TEST(ImplodeTest, SmallReadsGiveTheSameStream) {
  std::mt19937 rng(5);
  const Bytes data = MakeInput(rng, 150000, 3);
  struct Source {
    const Bytes* data;
    size_t offset;
    size_t chunk;
    Bytes out;
    int reads_after_end;
    bool ended;
  } source{&data, 0, 777, {}, 0, false};
  auto read = [](char* buffer, unsigned* size, void* param) -> unsigned {
    Source& s = *static_cast<Source*>(param);
    if (s.ended) ++s.reads_after_end;
    const size_t n = std::min({size_t{*size}, s.chunk, s.data->size() - s.offset});
    if (n != 0) std::memcpy(buffer, s.data->data() + s.offset, n);
    s.offset += n;
    s.ended = n == 0;
    return static_cast<unsigned>(n);
  };
  auto write = [](char* buffer, unsigned* size, void* param) {
    Source& s = *static_cast<Source*>(param);
    s.out.insert(s.out.end(), buffer, buffer + *size);
  };
  ASSERT_EQ(Implode(read, write, &source, kImplodeAscii, 2048), kImplodeOk);
  EXPECT_EQ(source.out, Encode(data, kImplodeAscii, 2048));
  EXPECT_EQ(source.reads_after_end, 0);
}

TEST(ImplodeTest, CompressesRunsAndBoundsExpansion) {
  const Bytes zeros(100000, 0);
  EXPECT_LT(Encode(zeros, kImplodeBinary, 4096).size(), 700u);

  std::mt19937 rng(77);
  const Bytes noise = MakeInput(rng, 50000, 0);
  // Random bytes cost 9 bits each as binary literals, plus header and end code.
  EXPECT_LE(Encode(noise, kImplodeBinary, 4096).size(), 50000u * 9 / 8 + 5);

  // Text gains from ASCII literals and from a larger dictionary.
  const Bytes text = MakeInput(rng, 60000, 3);
  const size_t ascii = Encode(text, kImplodeAscii, 4096).size();
  EXPECT_LT(ascii, Encode(text, kImplodeBinary, 4096).size());
  EXPECT_LT(ascii, text.size() / 4);
}

TEST(ImplodeTest, UsesTheWholeDictionaryButNotMore) {
  // A random block repeated at a distance of exactly `dict` compresses; at
  // dict + 1 it cannot, except for chance matches.
  std::mt19937 rng(3);
  for (unsigned dict : {1024u, 2048u, 4096u}) {
    Bytes block = MakeInput(rng, dict, 0);
    Bytes twice = block;
    twice.insert(twice.end(), block.begin(), block.end());
    EXPECT_LT(Encode(twice, kImplodeBinary, dict).size(), dict * 9 / 8 + 40) << dict;
    Bytes apart = block;
    apart.push_back(0x5A);
    apart.insert(apart.end(), block.begin(), block.end());
    const Bytes stream = Encode(apart, kImplodeBinary, dict);
    EXPECT_GT(stream.size(), dict * 2 * 9 / 8 - 100) << dict;
    EXPECT_EQ(Decode(stream), apart);
  }
}

}  // namespace
}  // namespace install::archive
