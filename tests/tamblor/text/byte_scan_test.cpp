#include "tamblor/text/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tamblor::text {
namespace {

const unsigned char* NaiveForward(const unsigned char* from, const unsigned char* to, const unsigned char* limit,
                                  const ScanTargets& t) {
  for (; from < to; ++from) {
    if (t.At(from, limit)) return from;
  }
  return nullptr;
}

const unsigned char* NaiveBackward(const unsigned char* from, const unsigned char* to, const unsigned char* limit,
                                   const ScanTargets& t) {
  while (to > from) {
    if (t.At(--to, limit)) return to;
  }
  return nullptr;
}

// "Se" in either case, a carriage return standing for any second byte, 255 stops.
constexpr ScanTargets kSe{'S', 's', 255, true, 'E', 'e', '\r'};

// Every way of scanning gives the naive answer for the range [from, to) of
// `bytes` with next bytes read below `limit`.
void ExpectAllAgree(const std::vector<unsigned char>& bytes, size_t from, size_t to, size_t limit,
                    const ScanTargets& t) {
  const unsigned char* b = bytes.data();
  const unsigned char* forward = NaiveForward(b + from, b + to, b + limit, t);
  const unsigned char* backward = NaiveBackward(b + from, b + to, b + limit, t);
  ASSERT_EQ(ScanForward(b + from, b + to, b + limit, t), forward) << from << " " << to << " " << limit;
  ASSERT_EQ(ScanForwardWords(b + from, b + to, b + limit, t), forward) << from << " " << to << " " << limit;
  ASSERT_EQ(ScanBackward(b + from, b + to, b + limit, t), backward) << from << " " << to << " " << limit;
  ASSERT_EQ(ScanBackwardWords(b + from, b + to, b + limit, t), backward) << from << " " << to << " " << limit;
}

TEST(ByteScanTest, FindsEveryKindOfPlaceAtEveryAlignment) {
  // One place in a 40-byte run of 'x', at each offset: a first character with
  // and without its second, one followed by a carriage return, a stop byte.
  const std::vector<std::vector<unsigned char>> places = {
      {'s', 'e'}, {'S', 'E'}, {'S', 'x'}, {'s', '\r'}, {255}, {'s'}};
  for (const auto& place : places) {
    for (size_t at = 0; at + place.size() <= 40; ++at) {
      std::vector<unsigned char> bytes(40, 'x');
      for (size_t i = 0; i < place.size(); ++i) bytes[at + i] = place[i];
      for (size_t from = 0; from <= 40; from += 3) {
        for (size_t to = from; to <= 40; ++to) {
          ExpectAllAgree(bytes, from, to, to, kSe);
          ExpectAllAgree(bytes, from, to, 40, kSe);
        }
      }
    }
  }
}

TEST(ByteScanTest, AgreesWithAPlainLoopOnRandomBytes) {
  std::mt19937 random(7);
  std::vector<unsigned char> bytes(3000);
  const unsigned char alphabet[] = {'s', 'S', 'e', 'E', '\r', 'x', 'y', 0x80, 255};
  for (int round = 0; round < 300; ++round) {
    for (unsigned char& b : bytes) b = alphabet[random() % (round % 2 ? 8 : 9)];
    size_t from = random() % bytes.size();
    size_t to = from + random() % (bytes.size() - from + 1);
    size_t limit = to + random() % (bytes.size() - to + 1);
    ExpectAllAgree(bytes, from, to, limit, kSe);
    ScanTargets one{'S', 's', 255, false, 0, 0, '\r'};  // a one-character text
    ExpectAllAgree(bytes, from, to, limit, one);
    ScanTargets high{0x80, 0x80, 0x80, true, 'y', 'y', 'y'};  // bytes above 127
    ExpectAllAgree(bytes, from, to, limit, high);
  }
}

}  // namespace
}  // namespace tamblor::text
