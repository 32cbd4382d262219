#include "tamblor/views/browser_path.h"

namespace tamblor::views {

bool IsDriveRoot(std::string_view path) {
  if (path.size() != 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) return false;
  char letter = path[0];
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

std::string NormalisePath(std::string_view path) {
  std::string result(path);
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  if (!result.empty() && result.back() == '\\' && !IsDriveRoot(result)) result.pop_back();
  return result;
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (joined.empty() || (joined.back() != '\\' && joined.back() != '/')) joined += '\\';
  joined += name;
  return NormalisePath(joined);
}

}  // namespace tamblor::views
