#include "install/archive/explode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "install/archive/implode.h"

namespace install::archive {
namespace {

using Bytes = std::vector<uint8_t>;

// In-memory source and sink: the first read delivers up to `first_chunk`
// bytes, later reads up to `chunk`; every write is recorded.
struct Harness {
  Bytes input;
  size_t first_chunk = 2048;
  size_t chunk = 2048;
  size_t offset = 0;
  int reads = 0;
  int reads_after_end = 0;
  bool ended = false;
  unsigned lie_about_size = 0;  // when set, the first read claims this many bytes
  std::vector<size_t> writes;
  Bytes output;
  std::vector<uint8_t> work = std::vector<uint8_t>(kExplodeWorkSize, 0);

  static unsigned Read(char* buffer, unsigned* size, void* param) {
    Harness& h = *static_cast<Harness*>(param);
    EXPECT_EQ(*size, 2048u);
    if (h.ended) ++h.reads_after_end;
    size_t n = std::min<size_t>(h.reads++ == 0 ? h.first_chunk : h.chunk, h.input.size() - h.offset);
    n = std::min<size_t>(n, *size);
    if (n != 0) std::memcpy(buffer, h.input.data() + h.offset, n);
    h.offset += n;
    if (n == 0) h.ended = true;
    if (h.lie_about_size != 0 && h.reads == 1) return h.lie_about_size;
    return static_cast<unsigned>(n);
  }
  static void Write(char* buffer, unsigned* size, void* param) {
    Harness& h = *static_cast<Harness*>(param);
    h.writes.push_back(*size);
    h.output.insert(h.output.end(), buffer, buffer + *size);
  }
  int Run() { return Explode(Read, Write, work.data(), this); }
};

std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// Stream-order bits of a code, first bit leftmost.
std::string StreamBits(uint16_t code, int length) {
  std::string s;
  for (int i = 0; i < length; ++i) s += (code >> i) & 1 ? '1' : '0';
  return s;
}

// Writes streams token by token from the code tables.
class StreamBuilder {
 public:
  StreamBuilder(uint8_t mode, uint8_t dict_bits) : bytes_{mode, dict_bits}, dict_bits_(dict_bits) {
    dcl::StreamOrderCodes(dcl::kLiteralCodeLengths, literal_);
    dcl::StreamOrderCodes(dcl::kLengthCodeLengths, length_);
    dcl::StreamOrderCodes(dcl::kDistanceCodeLengths, distance_);
  }
  StreamBuilder& Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      if (bit_ == 0) bytes_.push_back(0);
      bytes_.back() |= ((value >> i) & 1) << bit_;
      bit_ = (bit_ + 1) & 7;
    }
    return *this;
  }
  StreamBuilder& Literal(uint8_t byte) { return Bits(0, 1).Bits(byte, 8); }
  StreamBuilder& AsciiLiteral(uint8_t byte) {
    return Bits(0, 1).Bits(literal_[byte], dcl::kLiteralCodeLengths[byte]);
  }
  StreamBuilder& LengthIndex(unsigned index) {
    int s = 15;
    while (dcl::kLengthBase[s] > index) --s;
    return Bits(1, 1)
        .Bits(length_[s], dcl::kLengthCodeLengths[s])
        .Bits(index - dcl::kLengthBase[s], dcl::kLengthExtraBits[s]);
  }
  StreamBuilder& Repeat(unsigned length, unsigned distance) {
    LengthIndex(length - 2);
    const int low = length == 2 ? 2 : dict_bits_;
    const unsigned code = (distance - 1) >> low;
    return Bits(distance_[code], dcl::kDistanceCodeLengths[code]).Bits((distance - 1) & ((1u << low) - 1), low);
  }
  StreamBuilder& End() { return LengthIndex(dcl::kEndLengthIndex); }
  size_t bit_length() const { return (bytes_.size() - 2) * 8 - (bit_ ? 8 - bit_ : 0); }
  Bytes bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  int bit_ = 0;
  int dict_bits_;
  uint16_t literal_[256];
  uint16_t length_[16];
  uint16_t distance_[64];
};

TEST(ExplodeTest, DecodesThePublishedExampleStreams) {
  Harness binary;
  binary.input = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F};
  EXPECT_EQ(binary.Run(), kExplodeOk);
  EXPECT_EQ(Text(binary.output), "AIAIAIAIAIAIA");
  EXPECT_EQ(binary.writes, std::vector<size_t>{13});

  Harness ascii;
  ascii.input = {0x01, 0x04, 0x4E, 0xC0, 0x3F};
  EXPECT_EQ(ascii.Run(), kExplodeOk);
  EXPECT_EQ(Text(ascii.output), "a");

  Harness cut;
  cut.input = {0x00, 0x04, 0x82, 0x24, 0x25};
  EXPECT_EQ(cut.Run(), kExplodeAborted);
  EXPECT_EQ(cut.writes.size(), 1u);
  EXPECT_EQ(cut.reads_after_end, 0);
}

TEST(ExplodeTest, CodeTablesMatchTheFormat) {
  uint16_t literal[256], length[16], distance[64];
  dcl::StreamOrderCodes(dcl::kLiteralCodeLengths, literal);
  dcl::StreamOrderCodes(dcl::kLengthCodeLengths, length);
  dcl::StreamOrderCodes(dcl::kDistanceCodeLengths, distance);
  EXPECT_EQ(StreamBits(literal[' '], 4), "1111");
  EXPECT_EQ(StreamBits(literal['a'], 5), "11100");
  EXPECT_EQ(StreamBits(literal['e'], 5), "11011");
  EXPECT_EQ(StreamBits(literal['\n'], 7), "0100011");
  EXPECT_EQ(StreamBits(literal[0], 11), "00001001001");
  const char* length_bits[16] = {"101",   "11",    "100",    "011",    "0101",    "0100",    "0011",   "00101",
                                 "00100", "00011", "00010",  "000011", "000010",  "000001",  "0000001", "0000000"};
  for (int s = 0; s < 16; ++s) EXPECT_EQ(StreamBits(length[s], dcl::kLengthCodeLengths[s]), length_bits[s]) << s;
  EXPECT_EQ(StreamBits(distance[0], 2), "11");
  EXPECT_EQ(StreamBits(distance[1], 4), "1011");
  EXPECT_EQ(StreamBits(distance[2], 4), "1010");
  EXPECT_EQ(StreamBits(distance[63], 8), "00000000");
}

TEST(ExplodeTest, ShortestStreamsAndTheFirstRead) {
  Harness four;
  four.input = {0x00, 0x04, 0x01, 0xFF};
  EXPECT_EQ(four.Run(), kExplodeBadData);
  EXPECT_TRUE(four.writes.empty());

  Harness five;
  five.input = {0x00, 0x04, 0x01, 0xFF, 0x00};
  EXPECT_EQ(five.Run(), kExplodeOk);
  EXPECT_EQ(five.writes, std::vector<size_t>{0});

  // Only the first read counts: 4 bytes then more is still refused.
  Harness split;
  split.input = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F};
  split.first_chunk = 4;
  EXPECT_EQ(split.Run(), kExplodeBadData);
  EXPECT_TRUE(split.writes.empty());
  EXPECT_EQ(split.reads, 1);

  Harness empty;
  EXPECT_EQ(empty.Run(), kExplodeBadData);
}

TEST(ExplodeTest, HeaderChecks) {
  struct Case {
    uint8_t mode, dict;
    int result;
  } cases[] = {{0, 4, kExplodeOk},  {1, 5, kExplodeOk},  {0, 6, kExplodeOk},
               {0, 3, kExplodeBadDictionary}, {0, 7, kExplodeBadDictionary}, {9, 7, kExplodeBadDictionary},
               {2, 4, kExplodeBadLiteralMode}, {255, 6, kExplodeBadLiteralMode}};
  for (const Case& c : cases) {
    Harness h;
    h.input = {c.mode, c.dict, 0x01, 0xFF, 0x00};
    EXPECT_EQ(h.Run(), c.result) << int(c.mode) << " " << int(c.dict);
    EXPECT_EQ(h.writes.size(), c.result == kExplodeOk ? 1u : 0u);
  }
}

TEST(ExplodeTest, RepeatsOverlapAndUseTheirLowBits) {
  Harness run;
  run.input = StreamBuilder(0, 4).Literal('a').Repeat(10, 1).End().bytes();
  EXPECT_EQ(run.Run(), kExplodeOk);
  EXPECT_EQ(Text(run.output), std::string(11, 'a'));

  // Length 2 takes 2 low bits whatever the dictionary: its farthest distance
  // is 256; longer repeats reach 64 << k.
  for (uint8_t k : {4, 5, 6}) {
    const unsigned dict = 64u << k;
    Bytes prefix(dict);
    for (size_t i = 0; i < prefix.size(); ++i) prefix[i] = static_cast<uint8_t>(i * 7 + i / 251);
    StreamBuilder b(0, k);
    for (uint8_t byte : prefix) b.Literal(byte);
    b.Repeat(2, 256).Repeat(3, dict).End();
    Harness h;
    h.input = b.bytes();
    ASSERT_EQ(h.Run(), kExplodeOk);
    Bytes expected = prefix;
    for (int i = 0; i < 2; ++i) expected.push_back(expected[expected.size() - 256]);
    for (int i = 0; i < 3; ++i) expected.push_back(expected[expected.size() - dict]);
    EXPECT_EQ(h.output, expected) << int(k);
  }
}

TEST(ExplodeTest, AsciiLiteralsOfEveryByteValue) {
  StreamBuilder b(1, 6);
  Bytes expected;
  for (int v = 0; v < 256; ++v) {
    b.AsciiLiteral(static_cast<uint8_t>(v));
    expected.push_back(static_cast<uint8_t>(v));
  }
  b.End();
  for (size_t chunk : {size_t{2048}, size_t{1}, size_t{3}}) {
    Harness h;
    h.input = b.bytes();
    h.chunk = chunk;
    h.first_chunk = std::max<size_t>(chunk, 5);
    EXPECT_EQ(h.Run(), kExplodeOk);
    EXPECT_EQ(h.output, expected);
  }
}

TEST(ExplodeTest, OutputIsHandedOutInBlocksOf4096) {
  Harness exact;
  // Build 8192 bytes from one literal and repeats of at most 518.
  StreamBuilder b(0, 6);
  b.Literal('x');
  for (unsigned left = 8191; left > 0;) {
    const unsigned n = std::min(left, 518u);
    b.Repeat(n, 1);
    left -= n;
  }
  b.End();
  exact.input = b.bytes();
  EXPECT_EQ(exact.Run(), kExplodeOk);
  EXPECT_EQ(exact.output.size(), 8192u);
  EXPECT_EQ(exact.writes, (std::vector<size_t>{4096, 4096, 0}));
  EXPECT_EQ(exact.output, Bytes(8192, 'x'));
}

TEST(ExplodeTest, EndOfInputInsideTokens) {
  // Eight binary literals and the end code fill exactly 11 bytes: the end code
  // counts even though no byte follows its extra bits.
  StreamBuilder b(0, 4);
  for (char c : std::string("ABCDEFGH")) b.Literal(c);
  b.End();
  ASSERT_EQ(b.bit_length(), 88u);
  Harness exact;
  exact.input = b.bytes();
  EXPECT_EQ(exact.Run(), kExplodeOk);
  EXPECT_EQ(Text(exact.output), "ABCDEFGH");

  // A token needs the byte after its last bit: eight literals ending on a
  // byte boundary without a following byte give seven bytes and an abort.
  Harness literals;
  literals.input = Bytes(exact.input.begin(), exact.input.begin() + 11);
  EXPECT_EQ(literals.Run(), kExplodeAborted);
  EXPECT_EQ(Text(literals.output), "ABCDEFG");

  // Ending before the length code of the end code: everything decoded so far
  // is handed out, and the reader is not asked again after it said 0.
  Harness cut;
  cut.input = Bytes(exact.input.begin(), exact.input.begin() + 12);
  cut.chunk = 1;
  EXPECT_EQ(cut.Run(), kExplodeAborted);
  EXPECT_EQ(Text(cut.output), "ABCDEFGH");
  EXPECT_EQ(cut.writes.size(), 1u);
  EXPECT_EQ(cut.reads_after_end, 0);
}

TEST(ExplodeTest, WorkAreaContentAndAlignmentDoNotMatter) {
  // A repeat that reaches before the first byte reads zeros, even from a
  // work area left dirty by an earlier stream.
  const Bytes stream = StreamBuilder(0, 6).Literal('q').Repeat(4, 3).End().bytes();
  for (size_t misalign : {0, 1, 3, 7}) {
    std::vector<uint8_t> raw(kExplodeWorkSize + misalign, 0xA5);
    Harness h;
    h.input = stream;
    const int r = Explode(Harness::Read, Harness::Write, raw.data() + misalign, &h);
    EXPECT_EQ(r, kExplodeOk);
    EXPECT_EQ(h.output, (Bytes{'q', 0, 0, 'q', 0}));
  }
}

TEST(ExplodeTest, ReaderThatClaimsMoreThanAsked) {
  Harness h;
  h.input = StreamBuilder(0, 6).Literal('z').Repeat(518, 1).bytes();
  h.input.resize(5000, 0x55);
  h.lie_about_size = 100000;  // taken as 2048: the rest of the buffer is 0x55
  const int r = h.Run();
  EXPECT_TRUE(r == kExplodeOk || r == kExplodeAborted);
  EXPECT_GE(h.output.size(), 519u);
  EXPECT_EQ(h.reads_after_end, 0);
}

// Streams made by our encoder, then damaged.
Bytes SampleStream(unsigned mode, unsigned dict, size_t size, uint32_t seed, Bytes* plain) {
  std::mt19937 rng(seed);
  Bytes data(size);
  for (size_t i = 0; i < size; ++i) data[i] = (rng() % 4 == 0) ? static_cast<uint8_t>(rng()) : "abc de\n"[rng() % 7];
  Bytes stream;
  EXPECT_EQ(ImplodeBuffer(data.data(), data.size(), mode, dict, stream), kImplodeOk);
  if (plain) *plain = data;
  return stream;
}

TEST(ExplodeTest, TruncatedStreamsAbortWithAPrefix) {
  Bytes plain;
  const Bytes stream = SampleStream(1, 2048, 3000, 7, &plain);
  for (size_t cut = 0; cut < stream.size(); ++cut) {
    Harness h;
    h.input = Bytes(stream.begin(), stream.begin() + cut);
    h.chunk = 1 + cut % 5;
    const int r = h.Run();
    ASSERT_EQ(r, cut <= 4 ? kExplodeBadData : kExplodeAborted) << cut;
    ASSERT_LE(h.output.size(), plain.size());
    ASSERT_TRUE(std::equal(h.output.begin(), h.output.end(), plain.begin())) << cut;
  }
}

TEST(ExplodeTest, FlippedBytesEndWithAResult) {
  for (unsigned mode : {0u, 1u}) {
    const Bytes stream = SampleStream(mode, 4096, 6000, 11 + mode, nullptr);
    std::mt19937 rng(99);
    for (int trial = 0; trial < 400; ++trial) {
      Harness h;
      h.input = stream;
      const size_t at = 2 + rng() % (stream.size() - 2);
      h.input[at] ^= static_cast<uint8_t>(1 + rng() % 255);
      if (trial % 3 == 0) h.input.resize(at + 1);
      h.chunk = 1 + rng() % 3000;
      const int r = h.Run();
      ASSERT_TRUE(r == kExplodeOk || r == kExplodeAborted);
      for (size_t i = 0; i + 1 < h.writes.size(); ++i) ASSERT_EQ(h.writes[i], 4096u);
      ASSERT_LT(h.writes.back(), 4096u);
      ASSERT_EQ(h.reads_after_end, 0);
    }
  }
}

TEST(ExplodeTest, ResultTexts) {
  EXPECT_STREQ(ExplodeResultText(kExplodeOk), "ok");
  EXPECT_NE(std::string(ExplodeResultText(kExplodeAborted)).find("aborted"), std::string::npos);
  EXPECT_STREQ(ExplodeResultText(42), "unknown result");
}

// Inputs of the fuzz target (see fixtures/README.md), replayed for good: the
// first byte picks the read chunk size, the rest is the stream.
std::filesystem::path FixtureDir() {
  std::string source = __FILE__;
#ifdef _WIN32
  if (!source.empty() && source[0] == '/') source = "Z:" + source;  // the host's root under Wine
#endif
  return std::filesystem::path(source).parent_path() / "fixtures";
}

TEST(ExplodeTest, FuzzFixturesEndWithAResult) {
  const std::filesystem::path dir = FixtureDir();
  static const size_t kChunks[8] = {2048, 1, 2, 3, 7, 64, 1000, 2047};
  int replayed = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    if (entry.path().extension() != ".bin") continue;
    std::ifstream f(entry.path(), std::ios::binary);
    const Bytes data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(data.empty()) << entry.path();
    Harness h;
    h.input.assign(data.begin() + 1, data.end());
    h.chunk = kChunks[data[0] & 7];
    const int r = h.Run();
    EXPECT_TRUE(r >= kExplodeOk && r <= kExplodeAborted) << entry.path();
    if (r == kExplodeOk || r == kExplodeAborted) {
      for (size_t i = 0; i + 1 < h.writes.size(); ++i) EXPECT_EQ(h.writes[i], 4096u) << entry.path();
      EXPECT_LT(h.writes.back(), 4096u) << entry.path();
    }
    EXPECT_EQ(h.reads_after_end, 0) << entry.path();
    ++replayed;
  }
  EXPECT_GT(replayed, 0) << "no fixtures in " << dir;
}

}  // namespace
}  // namespace install::archive
