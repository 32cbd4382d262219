// Fuzz target for the index files the views read (libFuzzer): a directory's
// "00_index.txt" and the disc-wide index with its "path: " lines.
//
// Input: two bytes saying when the file shrinks while open (the read before
// which it is cut, 0 for never, and to what share of its size), a byte
// choosing a position, then the index. Checked: every entry's start lies at
// or before the positions it holds, the entries follow one another forwards
// to the end and end there, names and the directories of "path: " lines keep
// to their 259 characters, and the search for a line starting with a name
// stops, on a line that does start with it or at the end. On a file that
// shrinks, each of these still ends within the file's first size.
#include <cstdint>
#include <algorithm>
#include <string>

#include "fuzz/fuzz_reader.h"
#include "tamblor/text/block_file.h"
#include "tamblor/text/index_format.h"
#include "tamblor/text/text_line.h"

using namespace tamblor::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // Enough for two blocks, so that a cut can fall between them; each run stays cheap.
  const std::string index(reinterpret_cast<const char*>(data + 3), std::min<size_t>(size - 3, BlockFile::kBlockSize + 2000));
  const int64_t full = static_cast<int64_t>(index.size());
  tamblor::testing::FaultyMachine machine;
  fuzz::PutDiscFile(machine, "index", "00_index.txt", index, data[0] % 8, full * (data[1] % 16) / 16);
  const bool shrinks = data[0] % 8 != 0;

  BlockFile file;
  file.Open(machine, "E:\\00_index.txt");
  int64_t entries = 0;
  std::string last_name;
  for (int64_t p = 0; p < file.Size(); ++entries) {
    if (entries > full + 1) fuzz::Broken("more entries than bytes");
    last_name = EntryName(file, p);
    if (last_name.size() >= kEntryNameCapacity) fuzz::Broken("an entry name beyond its capacity");
    int64_t next = NextEntryStart(file, p);
    if (next <= p || next > full) fuzz::Broken("the next entry does not move forwards within the file: " + std::to_string(p) + " -> " + std::to_string(next) + " of " + std::to_string(full));
    if (!shrinks && EntryStart(file, next - 1) != p) fuzz::Broken("an entry's last byte belongs to another entry");
    p = next;
  }
  const int64_t position = full == 0 ? 0 : (data[2] * 257) % (full + 1);
  int64_t start = EntryStart(file, position);
  if (start > full || (!shrinks && position < full && start > position)) fuzz::Broken("an entry starts after its byte");

  int64_t found = FindLineStartingWith(file, position, last_name);
  if (found < position && found != file.Size()) fuzz::Broken("the line search went backwards");
  if (found > full + 1) fuzz::Broken("the line search ran past the end");
  TextLine line;
  if (!shrinks && !last_name.empty() && line.ReadLine(file, found) &&
      line.View().compare(0, last_name.size(), last_name) != 0) {
    fuzz::Broken("the line found does not start with the name");
  }
  for (int64_t p = 0; line.ReadLine(file, p); p = line.End() + 1) {
    if (IsPathLine(line) && PathLineDirectory(line).size() >= kPathLineDirectoryCapacity) {
      fuzz::Broken("a path line's directory beyond its capacity");
    }
  }
  return 0;
}
