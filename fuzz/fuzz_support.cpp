#include "fuzz/fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <system_error>
#include <vector>

namespace fuzz {

namespace {

struct Scratch {
  std::filesystem::path path;
  ~Scratch() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::filesystem::path& ScratchDirectory(const char* name) {
  static Scratch scratch;
  if (scratch.path.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string("qm-") + name + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) Broken("no scratch directory");
    scratch.path = pattern;
  }
  return scratch.path;
}

std::string ListFiles(const std::filesystem::path& root) {
  std::vector<std::string> names;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    names.push_back(it->path().lexically_relative(root).string() + (it->is_directory() ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const std::string& name : names) out += name + "\n";
  return out;
}

}  // namespace fuzz
