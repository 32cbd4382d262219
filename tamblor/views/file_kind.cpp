#include "tamblor/views/file_kind.h"

#include <cstdio>
#include <cstring>

#include "tamblor/os/ascii_case.h"

namespace tamblor::views {
namespace {

struct Signature {
  long offset;
  const char* text;
};

// Tested in this order; the texts compare case-sensitively.
constexpr Signature kSelfExtractorSignatures[] = {
    {561, "aRJsfX"},   {562, "aRJsfX"},    {28, "RJSX"},         {36, "LH's SFX"},
    {36, "LHA's SFX"}, {50, "PKWARE"},     {38, "LHarc's SFX"},  {30, "PKLITE"},
};

bool SignatureAt(std::FILE* file, const Signature& signature) {
  if (std::fseek(file, signature.offset, SEEK_SET) != 0) return false;
  size_t length = std::strlen(signature.text);
  char bytes[16] = {};
  size_t read = 0;
  // Reading stops early at a line feed, as a line read does.
  while (read < length) {
    int c = std::fgetc(file);
    if (c == EOF) break;
    bytes[read++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  return read == length && std::memcmp(bytes, signature.text, length) == 0;
}

}  // namespace

bool IsSelfExtractor(os::Machine& machine, const std::string& path) {
  if (path.size() < 5 || !os::EndsWithNoCase(path, ".exe")) return false;
  std::FILE* file = machine.OpenFile(path, "rb");
  if (!file) return false;
  bool found = false;
  for (const Signature& signature : kSelfExtractorSignatures) {
    if (SignatureAt(file, signature)) {
      found = true;
      break;
    }
  }
  std::fclose(file);
  return found;
}

FileKind ClassifyPath(os::Machine& machine, const config::DiscConfig& config, const std::string& path) {
  uint32_t attributes = machine.FindAttributes(path);
  if (attributes == os::kInvalidAttributes) return FileKind::Missing;
  if (path.size() < 4) return FileKind::OtherFile;
  if (os::EndsWithNoCase(path, ".bat") || os::EndsWithNoCase(path, ".com")) return FileKind::Program;
  if (os::EndsWithNoCase(path, ".exe"))
    return IsSelfExtractor(machine, path) ? FileKind::SelfExtractor : FileKind::Program;
  if (os::EndsWithNoCase(path, ".txt")) return FileKind::TextFile;
  if (config.UncompressProgram(path)) return FileKind::Archive;
  if (config.WindowsCommand(path, path)) return FileKind::WindowsDocument;
  if (attributes & os::kAttrDirectory) return FileKind::Directory;
  return FileKind::OtherFile;
}

}  // namespace tamblor::views
