// Fuzz target for the text-line reader over the block cache (libFuzzer),
// including a file that shrinks while it is open.
//
// Input: two bytes saying when the file shrinks (the read before which it is
// cut, 0 for never, and to what share of its size), a byte choosing the line
// limit, then the file. Checked: reading forwards, every line moves on, keeps
// to its limit, holds no line feed or carriage return and ends within the
// file; reading backwards from the end gives the same lines in reverse; a
// file that shrinks ends both walks within its first size.
#include <cstdint>
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_reader.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/text_line.h"

using namespace tamblor::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int limits[] = {1, 2, 80, 81, 82, TextLine::kDefaultLimit};
  const int limit = limits[data[2] % 6];
  // Enough for two blocks; lines cut very short read back in quadratic time
  // by design (each cut line is found from its line's start), so less there.
  const size_t cap = limit < 80 ? 3000 : BlockFile::kBlockSize + 2000;
  const std::string text(reinterpret_cast<const char*>(data + 3), std::min(size - 3, cap));
  const int64_t full = static_cast<int64_t>(text.size());
  tamblor::testing::FaultyMachine machine;
  fuzz::PutDiscFile(machine, "text_line", "TEXT.TXT", text, data[0] % 8, full * (data[1] % 16) / 16);
  const bool shrinks = data[0] % 8 != 0;

  BlockFile file;
  file.Open(machine, "E:\\TEXT.TXT");
  TextLine line(limit);
  std::vector<std::string> forwards;
  std::vector<int64_t> starts;
  for (int64_t p = 0; line.ReadLine(file, p); p = line.End() + 1) {
    if (static_cast<int64_t>(forwards.size()) > full) fuzz::Broken("more lines than bytes");
    if (line.Start() != p || line.End() < p || line.End() >= full) fuzz::Broken("a line out of its place: " + std::to_string(p) + " " + std::to_string(line.Start()) + "-" + std::to_string(line.End()) + " of " + std::to_string(full));
    if (line.Length() > limit) fuzz::Broken("a line beyond its limit");
    if (line.View().find_first_of("\r\n") != std::string::npos) fuzz::Broken("a line holds its line end");
    forwards.emplace_back(line.View());
    starts.push_back(line.Start());
  }
  std::vector<std::string> backwards;
  for (int64_t p = file.Size(); line.ReadLineBefore(file, p); p = line.Start()) {
    if (static_cast<int64_t>(backwards.size()) > full) fuzz::Broken("more lines backwards than bytes");
    if (line.Start() >= p) fuzz::Broken("reading backwards did not move back");
    backwards.emplace_back(line.View());
  }
  bool split = false;
  for (const std::string& whole : forwards) split = split || static_cast<int>(whole.size()) == limit;
  // Lines cut at the limit are cut from their other end backwards; a byte 255
  // ends a line either way.
  if (!shrinks && !split && text.find('\xff') == std::string::npos) {
    std::vector<std::string> reversed(backwards.rbegin(), backwards.rend());
    if (reversed != forwards) fuzz::Broken("the lines read backwards are not those read forwards");
  }
  return 0;
}
