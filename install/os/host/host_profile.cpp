#include "install/os/host/host_profile.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "install/os/ascii_case.h"

namespace install::os {
namespace {

struct ProfileKey {
  std::string name;
  std::optional<std::string> value;  // none: a line without "="
};

struct ProfileSection {
  std::string name;  // empty: the lines before the first header
  std::vector<ProfileKey> keys;
};

using ProfileTree = std::vector<ProfileSection>;

// White space of a profile line: blanks, line ends, and the Ctrl-Z that ends
// files written by DOS programs.
bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimmedFront(std::string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  return text;
}

// One line (already trimmed, not empty) added to the tree.
void AddProfileLine(std::string_view line, ProfileTree& tree) {
  if (line.front() == '[') {
    const std::size_t close = line.rfind(']');
    if (close != std::string_view::npos) {
      tree.push_back(ProfileSection{std::string(Trimmed(line.substr(1, close - 1))), {}});
      return;
    }
  }
  ProfileKey key;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    key.name = std::string(line);
  } else {
    key.name = std::string(Trimmed(line.substr(0, equals)));
    key.value = std::string(TrimmedFront(line.substr(equals + 1)));
  }
  // Of several lines in a row that begin with "=", only the first is kept.
  std::vector<ProfileKey>& keys = tree.back().keys;
  if (key.name.empty() && !keys.empty() && keys.back().name.empty()) return;
  keys.push_back(std::move(key));
}

// Lines end at CR or LF.
ProfileTree ParseProfile(std::string_view bytes) {
  ProfileTree tree(1);
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    const std::string_view line = Trimmed(bytes.substr(0, end));
    bytes.remove_prefix(end);
    while (!bytes.empty() && (bytes.front() == '\r' || bytes.front() == '\n')) bytes.remove_prefix(1);
    if (!line.empty()) AddProfileLine(line, tree);
  }
  return tree;
}

std::string SaveProfile(const ProfileTree& tree) {
  std::string out;
  for (const ProfileSection& section : tree) {
    if (!section.name.empty()) out += "[" + section.name + "]\r\n";
    for (const ProfileKey& key : section.keys) {
      out += key.name;
      if (key.value) out += "=" + *key.value;
      out += "\r\n";
    }
  }
  return out;
}

// The first section called `name`: with blanks around `name` ignored for a
// key lookup or a write, exactly (any case) for a list of keys. An empty name
// is the section of the lines before the first header.
ProfileSection* FindSection(ProfileTree& tree, std::string_view name, bool trim = true) {
  if (trim) name = Trimmed(name);
  for (ProfileSection& section : tree) {
    if (EqualsIgnoringCase(section.name, name)) return &section;
  }
  return nullptr;
}

ProfileKey* FindKey(ProfileSection& section, std::string_view name) {
  name = Trimmed(name);
  for (ProfileKey& key : section.keys) {
    if (EqualsIgnoringCase(key.name, name)) return &key;
  }
  return nullptr;
}

// A value as the functions hand it out: a pair of matching quotes around it
// removed, cut to the buffer. Cut so short that the closing quote is lost,
// one more character goes (as the system does).
std::string CopyEntry(std::string_view value, uint32_t buffer_size) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string copy(value.substr(0, buffer_size - 1));
  if (quoted && buffer_size >= value.size() && !copy.empty()) copy.pop_back();
  return copy;
}

// Names, each followed by '\0', in a buffer of `buffer_size`. A list that
// does not fit is cut and the count is buffer_size - 2.
class NameList {
 public:
  explicit NameList(uint32_t buffer_size) : size_(buffer_size), left_(buffer_size) {}
  // False when the buffer is full.
  bool Add(std::string_view name) {
    if (left_ <= 2) return false;
    const std::string piece(name.substr(0, left_ - 2));
    text_ += piece;
    text_ += '\0';
    left_ -= static_cast<uint32_t>(piece.size() + 1);
    return left_ >= 2;
  }
  std::string Result() const {
    if (left_ <= 1) return text_.substr(0, size_ >= 2 ? size_ - 2 : 0);
    return text_;
  }

 private:
  uint32_t size_;
  uint32_t left_;
  std::string text_;
};

// The keys that have a value, comments left out (a key without a name is
// listed as an empty name).
std::string KeyNames(const ProfileSection& section, uint32_t buffer_size) {
  NameList list(buffer_size);
  for (const ProfileKey& key : section.keys) {
    if (!key.value || (!key.name.empty() && key.name.front() == ';')) continue;
    if (!list.Add(key.name)) break;
  }
  return list.Result();
}

// The names of the sections, each followed by '\0'. A list that does not
// fit ends with the first name that does not, cut, and the count is
// buffer_size - 2.
std::string SectionNames(const ProfileTree& tree, uint32_t buffer_size) {
  if (buffer_size <= 1) return "";
  std::string text;
  std::size_t left = buffer_size - 1;
  for (const ProfileSection& section : tree) {
    if (section.name.empty()) continue;
    const std::size_t needed = section.name.size() + 1;
    if (needed >= left) {
      if (left > 0) text += section.name.substr(0, left - 1) + '\0';
      return text.substr(0, buffer_size - 2);
    }
    text += section.name + '\0';
    left -= needed;
  }
  return text;
}

enum class FileState { Missing, Read, Unreadable };

FileState ReadWhole(Machine& machine, const std::string& path, OpenMode mode, std::string* bytes) {
  std::unique_ptr<File> file = machine.Open(path, mode);
  if (!file) {
    return machine.GetAttributes(path) == kInvalidAttributes ? FileState::Missing : FileState::Unreadable;
  }
  char buffer[4096];
  for (int32_t got; (got = file->Read(buffer, sizeof buffer)) != 0;) {
    if (got < 0) return FileState::Unreadable;
    bytes->append(buffer, static_cast<std::size_t>(got));
  }
  return FileState::Read;
}

// Changes the tree as the write call asks. True when something changed.
bool ApplyWrite(ProfileTree& tree, const char* section_name, const char* key_name, const char* value) {
  if (!key_name) {
    for (auto it = tree.begin(); it != tree.end(); ++it) {
      if (EqualsIgnoringCase(it->name, section_name)) {
        tree.erase(it);
        return true;
      }
    }
    return false;
  }
  if (!value) {
    // The first such key of any section of that name.
    for (ProfileSection& named : tree) {
      if (!EqualsIgnoringCase(named.name, section_name)) continue;
      auto& keys = named.keys;
      auto it = std::find_if(keys.begin(), keys.end(),
                             [&](const ProfileKey& key) { return EqualsIgnoringCase(key.name, key_name); });
      if (it == keys.end()) continue;
      keys.erase(it);
      return true;
    }
    return false;
  }
  ProfileSection* section = FindSection(tree, section_name);
  if (!section) {
    tree.push_back(ProfileSection{std::string(TrimmedFront(section_name)), {}});
    section = &tree.back();
  }
  ProfileKey* key = FindKey(*section, key_name);
  if (!key) {
    section->keys.push_back(ProfileKey{std::string(TrimmedFront(key_name)), std::nullopt});
    key = &section->keys.back();
  }
  const std::string new_value(TrimmedFront(value));
  if (key->value == new_value) return false;
  key->value = new_value;
  return true;
}

}  // namespace

std::string HostProfile::ProfilePath(const std::string& file) {
  const bool bare = file.find_first_of("\\/") == std::string::npos &&
                    !(file.size() >= 2 && file[1] == ':');
  if (!bare) return file;
  std::string path = machine_.GetWindowsDirectory();
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + file;
}

std::string HostProfile::GetPrivateProfileString(const char* section, const char* key,
                                                 const char* default_text, uint32_t buffer_size,
                                                 const std::string& file) {
  if (buffer_size == 0) return "";
  const std::string_view fallback = default_text ? default_text : "";
  std::string bytes;
  const bool readable = ReadWhole(machine_, ProfilePath(file), OpenMode::Read, &bytes) != FileState::Unreadable;
  ProfileTree tree = ParseProfile(bytes);
  if (!section) return readable ? SectionNames(tree, buffer_size) : "";
  if (!key) {
    ProfileSection* found = readable ? FindSection(tree, section, false) : nullptr;
    const std::string names = found ? KeyNames(*found, buffer_size) : std::string();
    // A list that starts with an empty name counts as no list.
    if (names.empty() || names.front() == '\0') return CopyEntry(fallback, buffer_size);
    return names;
  }
  std::string_view trimmed_default = fallback;
  while (trimmed_default.size() > 1 && trimmed_default.back() == ' ') trimmed_default.remove_suffix(1);
  if (!readable) return std::string(trimmed_default.substr(0, buffer_size - 1));
  ProfileSection* found = FindSection(tree, section);
  ProfileKey* entry = found ? FindKey(*found, key) : nullptr;
  return CopyEntry(entry && entry->value ? std::string_view(*entry->value) : trimmed_default, buffer_size);
}

bool HostProfile::WritePrivateProfileString(const char* section, const char* key, const char* value,
                                            const std::string& file) {
  if (!section) return false;  // a flush (all three nullptr) or nothing to write
  const std::string path = ProfilePath(file);
  std::string bytes;
  if (ReadWhole(machine_, path, OpenMode::ReadWrite, &bytes) == FileState::Unreadable) return false;
  ProfileTree tree = ParseProfile(bytes);
  if (!ApplyWrite(tree, section, key, value)) return true;
  const std::string saved = SaveProfile(tree);
  std::unique_ptr<File> out = machine_.Open(path, OpenMode::Create);
  if (!out) return false;
  return out->Write(saved.data(), static_cast<uint32_t>(saved.size())) ==
         static_cast<int32_t>(saved.size());
}

}  // namespace install::os
