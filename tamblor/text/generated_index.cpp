#include "tamblor/text/generated_index.h"

#include <cstdio>
#include <vector>

#include "tamblor/os/ascii_case.h"
#include "tamblor/os/commit_file.h"
#include "tamblor/text/dir_scanner.h"
#include "tamblor/text/wildcard.h"

namespace tamblor::text {
namespace {

struct PatternRow {
  const char* pattern;
  std::string GeneratedIndexTexts::*description;
};

// Earlier rows win: a file is listed under the first pattern that matches it.
const PatternRow kPatternRows[] = {
    {"file_id.diz", &GeneratedIndexTexts::description_file},
    {"read.me", &GeneratedIndexTexts::documentation},
    {"readme.*", &GeneratedIndexTexts::documentation},
    {"*.doc", &GeneratedIndexTexts::documentation},
    {"*.txt", &GeneratedIndexTexts::text_file},
    {"*.bat", &GeneratedIndexTexts::batch_file},
    {"*.com", &GeneratedIndexTexts::program},
    {"*.exe", &GeneratedIndexTexts::program},
    {"*.*", &GeneratedIndexTexts::other_file},
};

constexpr int kRuleWidth = 79;

std::string LeftInField(const std::string& text, size_t width, size_t cut) {
  std::string out = text.substr(0, cut);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::string RightInField(const std::string& text, size_t width, size_t cut) {
  std::string out = text.substr(0, cut);
  if (out.size() < width) out.insert(0, width - out.size(), ' ');
  return out;
}

// Writes text with line feeds as CR LF, the way a text-mode stream on the
// target system writes them.
class IndexWriter {
 public:
  explicit IndexWriter(std::FILE* file) : file_(file) {}
  void Write(const std::string& text) {
    for (char c : text) {
      if (c == '\n' && std::fputc('\r', file_) == EOF) failed_ = true;
      if (std::fputc(c, file_) == EOF) failed_ = true;
    }
  }
  bool Failed() const { return failed_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

std::string Row(const DirScanner& scanner, const std::string& description) {
  return LeftInField(scanner.Name(), 25, 25) + " " + LeftInField(scanner.SizeText(), 8, 8) + "  " +
         RightInField(scanner.DateText(), 8, 8) + "  " + description + "\n";
}

// Each line is built by appending, never as literal + string (which GCC 12
// warns about in optimised builds).
std::string Boxed(const char* left, const std::string& text, size_t width) {
  std::string line(left);
  line += LeftInField(text, width, std::string::npos);
  line += "|\n";
  return line;
}

void WriteHeading(IndexWriter& out, const std::string& directory, const GeneratedIndexTexts& texts) {
  const std::string rule = std::string(kRuleWidth, '=') + "\n";
  out.Write(rule);
  out.Write(Boxed("|", texts.directory, 77));
  out.Write(Boxed("|  ", directory, 75));
  out.Write(Boxed("|", std::string(), 77));
  out.Write(texts.column_header);
  out.Write(rule);
}

void WriteFileRows(IndexWriter& out, os::DirectoryService& directories, const std::string& directory,
                   const GeneratedIndexTexts& texts) {
  DirScanner scanner(directories);
  for (size_t row = 0; row < std::size(kPatternRows); ++row) {
    if (!scanner.Open(directory + "\\" + kPatternRows[row].pattern, ScanMode::Files)) continue;
    while (scanner.Next()) {
      const std::string& name = scanner.Name();
      if (IsGeneratedIndexFileName(name)) continue;
      bool listed_before = false;
      for (size_t earlier = 0; earlier < row && !listed_before; ++earlier) {
        listed_before = MatchesWildcard(kPatternRows[earlier].pattern, name);
      }
      if (!listed_before) out.Write(Row(scanner, texts.*kPatternRows[row].description));
    }
  }
}

void WriteDirectoryRows(IndexWriter& out, os::DirectoryService& directories, const std::string& directory,
                        const GeneratedIndexTexts& texts) {
  DirScanner scanner(directories);
  if (!scanner.Open(directory + "\\*.*", ScanMode::Directories)) return;
  while (scanner.Next()) out.Write(Row(scanner, texts.directory));
}

bool IndexPathFits(const std::string& directory) {
  return directory.size() + 1 + std::string(kGeneratedIndexName).size() < kGeneratedIndexPathCapacity;
}

bool Exists(os::Machine& machine, const std::string& path) {
  return machine.FindAttributes(path) != os::kInvalidAttributes;
}

// Writes the index of `directory` alone under a working name and commits it.
// False when it could not be written completely; then nothing of it is left
// and an old index is as it was.
bool WriteOneIndex(os::Machine& machine, os::DirectoryService& directories, const std::string& directory,
                   const GeneratedIndexTexts& texts) {
  const std::string written = directory + "\\" + kGeneratedIndexWorkingName;
  if (Exists(machine, written)) return false;  // never overwrite a file of that name
  std::FILE* file = machine.OpenFile(written, "wb");
  if (file == nullptr) return false;
  IndexWriter out(file);
  WriteHeading(out, directory, texts);
  WriteFileRows(out, directories, directory, texts);
  WriteDirectoryRows(out, directories, directory, texts);
  bool complete = !out.Failed() && std::fflush(file) == 0;
  if (std::fclose(file) != 0) complete = false;
  if (complete && os::CommitFile(machine, written, directory + "\\" + kGeneratedIndexName,
                              directory + "\\" + kGeneratedIndexOldName)) {
    return true;
  }
  machine.RemoveFile(written);
  return false;
}

}  // namespace

bool IsGeneratedIndexFileName(const std::string& name) {
  return os::EqualsNoCase(name, kGeneratedIndexName) || os::EqualsNoCase(name, kGeneratedIndexWorkingName) ||
         os::EqualsNoCase(name, kGeneratedIndexOldName);
}

bool WriteGeneratedIndex(os::Machine& machine, os::DirectoryService& directories, const std::string& directory,
                         const GeneratedIndexTexts& texts) {
  if (!IndexPathFits(directory) || !WriteOneIndex(machine, directories, directory, texts)) return false;

  std::vector<std::string> subdirectories;
  DirScanner scanner(directories);
  if (scanner.Open(directory + "\\*.*", ScanMode::Directories)) {
    while (scanner.Next()) subdirectories.push_back(directory + "\\" + scanner.Name());
  }
  scanner.Close();
  bool all_written = true;
  for (const std::string& subdirectory : subdirectories) {
    if (!IndexPathFits(subdirectory)) continue;  // by rule no index there, nor below
    all_written = WriteGeneratedIndex(machine, directories, subdirectory, texts) && all_written;
  }
  return all_written;
}

}  // namespace tamblor::text
