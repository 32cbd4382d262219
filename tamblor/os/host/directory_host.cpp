// Directory search over the local file system, behaving like the Windows find
// functions: names match without regard to case, "*.*" matches every name,
// "." and ".." are listed first, and a path reaches a file whatever the letter
// case of its components. Entries come sorted by name (ignoring case), as a
// CD-ROM or NTFS directory lists them.
#include "tamblor/os/directory.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tamblor/os/ascii_case.h"

namespace tamblor::os {
namespace {

namespace fs = std::filesystem;

// "*" any run of characters, "?" one character; iterative with one backtrack
// point, so no pattern can make it slow.
bool MatchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || SameLetterNoCase(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The existing entry of `directory` whose name equals `name` ignoring case;
// `name` itself when there is none.
std::string ExistingName(const fs::path& directory, const std::string& name) {
  std::error_code ec;
  if (fs::exists(directory / name, ec)) return name;
  for (fs::directory_iterator it(directory.empty() ? fs::path(".") : directory, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (EqualsNoCase(candidate, name)) return candidate;
  }
  return name;
}

EntryTime LocalTimeOf(time_t when) {
  EntryTime out;
  struct tm parts {};
  if (localtime_r(&when, &parts) != nullptr) {
    out.year = parts.tm_year + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
  }
  return out;
}

// A symbolic link is listed as the file it is, never as the directory it may
// point to (a Windows 95 machine has no links): whoever walks a tree through
// this listing stays inside it.
bool Describe(const fs::path& full, const std::string& name, DirectoryEntry* entry) {
  struct stat st {};
  if (lstat(full.c_str(), &st) != 0) return false;  // vanished file
  entry->name = name;
  entry->attributes = S_ISDIR(st.st_mode) ? DirectoryEntry::kDirectoryAttribute : 0x20u;  // archive
  if ((st.st_mode & S_IWUSR) == 0) entry->attributes |= 0x01u;                           // read-only
  entry->size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  entry->last_write = LocalTimeOf(st.st_mtime);
  return true;
}

class ListedSearch : public DirectorySearch {
 public:
  explicit ListedSearch(std::vector<DirectoryEntry> entries) : entries_(std::move(entries)) {}
  bool Next(DirectoryEntry* entry) override {
    if (next_ >= entries_.size()) return false;
    *entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<DirectoryEntry> entries_;
  size_t next_ = 0;
};

class HostDirectoryService : public DirectoryService {
 public:
  explicit HostDirectoryService(LocalPathMapper mapper) : mapper_(std::move(mapper)) {}

  std::unique_ptr<DirectorySearch> Find(const std::string& pattern) override {
    std::string local = LocalPath(pattern);
    if (local.empty()) return nullptr;  // a drive the mapper does not know
    size_t cut = local.rfind('/');
    std::string directory = cut == std::string::npos ? "." : local.substr(0, cut + 1);
    std::string wildcard = cut == std::string::npos ? local : local.substr(cut + 1);

    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    if (ec) return nullptr;

    std::vector<DirectoryEntry> found;
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      DirectoryEntry entry;
      if (MatchesWildcard(wildcard, name) && Describe(it->path(), name, &entry)) found.push_back(entry);
    }
    std::sort(found.begin(), found.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
      return LessNoCase(a.name, b.name);
    });

    // Like Windows, every directory but a root lists "." and ".." first.
    fs::path canonical = fs::weakly_canonical(directory, ec);
    if (!ec && canonical.has_relative_path()) {
      std::vector<DirectoryEntry> dots;
      for (const char* dot : {".", ".."}) {
        DirectoryEntry entry;
        if (MatchesWildcard(wildcard, dot) && Describe(fs::path(directory) / dot, dot, &entry)) dots.push_back(entry);
      }
      found.insert(found.begin(), dots.begin(), dots.end());
    }
    return std::make_unique<ListedSearch>(std::move(found));
  }

  std::string LocalPath(const std::string& path) override { return mapper_ ? mapper_(path) : CaseFoldedPath(path); }

 private:
  static std::string CaseFoldedPath(const std::string& path) {
    std::string slashed = WithSlashes(path);
    if (slashed.empty()) return slashed;
    fs::path resolved = slashed[0] == '/' ? fs::path("/") : fs::path();
    size_t start = slashed[0] == '/' ? 1 : 0;
    bool resolving = true;
    while (start <= slashed.size()) {
      size_t stop = slashed.find('/', start);
      if (stop == std::string::npos) stop = slashed.size();
      std::string component = slashed.substr(start, stop - start);
      if (!component.empty()) {
        if (resolving && component != "." && component != "..") {
          std::string existing = ExistingName(resolved, component);
          resolving = existing != component || fs::exists(resolved / component);
          component = existing;
        }
        resolved /= component;
      }
      start = stop + 1;
    }
    std::string out = resolved.string();
    if (slashed.size() > 1 && slashed.back() == '/' && (out.empty() || out.back() != '/')) out += '/';
    return out;
  }

  LocalPathMapper mapper_;
};

}  // namespace

std::unique_ptr<DirectoryService> MakeDirectoryService(LocalPathMapper mapper) {
  return std::make_unique<HostDirectoryService>(std::move(mapper));
}

}  // namespace tamblor::os
