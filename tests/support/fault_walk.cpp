#include "tests/support/fault_walk.h"

#include "install/os/ascii_case.h"

namespace test_support {

Outcome OutcomeOf(install::os::HostMachine& machine, const WrittenFile& file) {
  const uint32_t attributes = machine.GetAttributes(file.path);
  if (attributes == install::os::kInvalidAttributes) return file.before ? Outcome::Broken : Outcome::Old;
  auto local = machine.ToLocal(file.path);
  std::optional<Bytes> bytes = local ? ReadLocalFile(*local) : std::nullopt;
  if (!bytes) return Outcome::Broken;
  if (file.before && *bytes == file.before->bytes && attributes == file.before->attributes) return Outcome::Old;
  if (*bytes == file.after.bytes && attributes == file.after.attributes) return Outcome::New;
  return Outcome::Broken;
}

const char* NameOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Old: return "old";
    case Outcome::New: return "new";
    case Outcome::Broken: return "broken";
  }
  return "?";
}

std::vector<std::string> FilesStartingWith(const std::filesystem::path& root,
                                           const std::vector<std::string>& prefixes) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
    const std::string name = entry.path().filename().string();
    for (const std::string& prefix : prefixes) {
      if (install::os::StartsWithIgnoringCase(name, prefix)) {
        found.push_back(entry.path().lexically_relative(root).string());
        break;
      }
    }
  }
  return found;
}

bool IsWholeLines(const std::string& text) {
  if (text.empty()) return true;
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) return false;
  }
  return true;
}

}  // namespace test_support
