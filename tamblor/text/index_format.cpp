#include "tamblor/text/index_format.h"

#include "tamblor/os/ascii_case.h"

namespace tamblor::text {

bool IsContinuationLine(const TextLine& line) {
  int first = line.First();
  return first == ' ' || first == '|' || first == '=';
}

bool StartsEntry(const TextLine& line) { return line.Start() == 0 || !IsContinuationLine(line); }

std::string EntryName(BlockFile& file, int64_t entry_start) { return file.Word(entry_start, kEntryNameCapacity); }

int64_t EntryStart(BlockFile& file, int64_t position) {
  if (position < 0) position = 0;
  if (position >= file.Size()) return file.Size();
  TextLine line(TextLine::kDefaultLimit);
  if (!line.ReadLineBefore(file, position + 1)) return file.Size();
  while (!StartsEntry(line)) {
    if (!line.ReadLineBefore(file, line.Start())) break;
  }
  return line.Start();
}

int64_t NextEntryStart(BlockFile& file, int64_t entry_start) {
  TextLine line(TextLine::kDefaultLimit);
  if (!line.ReadLine(file, entry_start)) return file.Size();
  int64_t next = line.End() + 1;
  while (line.ReadLine(file, next)) {
    if (StartsEntry(line)) return line.Start();
    if (line.End() < next) break;  // nothing more could be read
    next = line.End() + 1;
  }
  return file.Size();
}

int64_t FindLineStartingWith(BlockFile& file, int64_t from, const std::string& name) {
  TextLine line;
  int64_t position = from;
  while (line.ReadLine(file, position)) {
    if (line.View().substr(0, name.size()) == name) return line.Start();
    if (line.End() < position) break;  // nothing could be read
    position = line.End() + 1;
  }
  return position;
}

bool IsPathLine(const TextLine& line) {
  return os::StartsWithNoCase(line.View(), "path: ");
}

std::string PathLineDirectory(const TextLine& line) {
  if (!IsPathLine(line)) return std::string();
  std::string_view rest = line.View().substr(6);
  size_t blank = rest.find(' ');
  if (blank != std::string_view::npos) rest = rest.substr(0, blank);
  if (rest.size() >= kPathLineDirectoryCapacity) rest = rest.substr(0, kPathLineDirectoryCapacity - 1);
  return std::string(rest);
}

}  // namespace tamblor::text
