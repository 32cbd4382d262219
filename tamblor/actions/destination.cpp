#include "tamblor/actions/destination.h"

#include "tamblor/os/ascii_case.h"
#include "tamblor/views/browser_path.h"

namespace tamblor::actions {
namespace {

bool IsLetter(char c) { return os::ToUpperAscii(c) >= 'A' && os::ToUpperAscii(c) <= 'Z'; }

bool StartsWithDriveRoot(const std::string& path) {
  return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', start)) {
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}

// "C:\" and the parts joined with single "\"s, empty parts left out (an empty
// UNZIP_ROOT gives none).
std::string OnDriveC(std::initializer_list<std::string> parts) {
  std::string path = kFirstBrowseDirectory;
  for (const std::string& part : parts) {
    size_t from = part.find_first_not_of('\\');
    if (from == std::string::npos) continue;
    if (path.back() != '\\') path += '\\';
    path += part.substr(from);
  }
  return path;
}

}  // namespace

std::string FreeSpaceText(int64_t free_bytes) {
  if (free_bytes < 0) return std::string();
  std::string digits = std::to_string(free_bytes);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

bool ValidDestination(os::Machine& machine, const std::string& path) {
  if (path.size() < 3 || path.size() > 260) return false;
  if (path.find_first_of(" \t") != std::string::npos) return false;
  if (!StartsWithDriveRoot(path)) return false;
  os::DriveType type = machine.DriveTypeOf(path.substr(0, 3));
  return type != os::DriveType::Unknown && type != os::DriveType::NoRootDir && type != os::DriveType::CdRom;
}

bool MakeDirectories(os::Machine& machine, const std::string& path) {
  auto enter_or_make = [&machine](const std::string& directory) {
    return machine.ChangeDirectory(directory) || machine.MakeDirectory(directory);
  };
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    if (!enter_or_make(path.substr(0, slash))) return false;
  }
  return enter_or_make(path);
}

DestinationProposals ProposeDestinations(const std::string& unzip_root, const std::string& translated_source,
                                         const std::string& last_destination) {
  std::string base = unzip_root.substr(0, kUnzipRootPrefix) + "\\" +
                     (translated_source.size() > 3 ? translated_source.substr(3) : std::string());
  size_t dot = base.find('.');
  if (dot != std::string::npos) base.resize(dot);
  std::vector<std::string> parts = Components(base);
  size_t separators = parts.size() - 1;
  DestinationProposals proposals;
  const std::string& first = parts.front();
  const std::string& last = parts.back();
  if (separators >= 2) proposals.choices.push_back(OnDriveC({first, last}));
  if (separators >= 3) {
    proposals.choices.push_back(OnDriveC({first, parts[1], last}));
    proposals.choices.push_back(OnDriveC({first, parts[parts.size() - 2], last}));
  }
  proposals.edit_text = OnDriveC({base});
  proposals.choices.push_back(proposals.edit_text);
  if (!last_destination.empty()) proposals.choices.push_back(last_destination);
  return proposals;
}

std::string BrowsePattern(const std::string& browse_directory) {
  return browse_directory + (browse_directory.size() == 3 ? "" : "\\") + "*.*";
}

std::string BrowseTo(const std::string& browse_directory, const std::string& item) {
  if (item.size() == 5 && item[0] == '[' && item[1] == '-' && item[3] == '-' && item[4] == ']') {
    return std::string(1, os::ToUpperAscii(item[2])) + ":\\";
  }
  if (item.size() < 3 || item.front() != '[' || item.back() != ']') return browse_directory;
  if (item[1] == '.' && item[2] == '.') {
    size_t slash = browse_directory.rfind('\\');
    if (slash == std::string::npos) return browse_directory;
    return slash <= 2 ? browse_directory.substr(0, 3) : browse_directory.substr(0, slash);
  }
  std::string directory = browse_directory;
  if (directory.size() > 3) directory += '\\';
  return directory + item.substr(1, item.size() - 2);
}

std::string DestinationFromField(const std::string& text) {
  return views::NormalisePath(text.substr(0, kDestinationCapacity));
}

std::string QuotedForCommand(const std::string& path) { return "\"" + path + "\""; }

}  // namespace tamblor::actions
