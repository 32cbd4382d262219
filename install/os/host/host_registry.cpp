#include "install/os/host/host_registry.h"

#include "install/os/ascii_case.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace install::os {

namespace {


constexpr uint32_t kRootHandles[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine,
                                     kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

// Splits a key path at "\". False for an empty level ("A\\B", "\A", "A\")
// and for more than kMaxRegistryDepth levels.
bool SplitPath(const std::string& path, std::vector<std::string>* levels) {
  levels->clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  for (;;) {
    if (levels->size() == kMaxRegistryDepth) return false;
    std::size_t slash = path.find('\\', start);
    std::string level = path.substr(start, slash == std::string::npos ? std::string::npos
                                                                       : slash - start);
    if (level.empty()) return false;
    levels->push_back(std::move(level));
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

}  // namespace

struct HostRegistry::Node {
  struct Value {
    std::string name;  // as spelled
    RegistryData data;
  };
  std::string name;  // as spelled
  bool deleted = false;
  std::map<std::string, std::shared_ptr<Node>> children;  // by upper-case name
  std::map<std::string, Value> values;                    // by upper-case name
};

namespace {

using Node = HostRegistry::Node;

class HostRegistryKey : public RegistryKey {
 public:
  HostRegistryKey(std::shared_ptr<Node> node, const HostRegistry& registry)
      : node_(std::move(node)), registry_(registry) {}

  bool QueryValue(const std::string& name, RegistryData* out) override {
    if (node_->deleted) return false;
    auto found = node_->values.find(UpperCopy(name));
    if (found == node_->values.end()) return false;
    *out = found->second.data;
    return true;
  }
  bool SetValue(const std::string& name, uint32_t type,
                const std::vector<uint8_t>& bytes) override {
    if (node_->deleted || registry_.read_only()) return false;
    auto& value = node_->values[UpperCopy(name)];
    if (value.name.empty()) value.name = name;
    value.data.type = type;
    value.data.bytes = bytes;
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    if (node_->deleted || registry_.read_only()) return false;
    return node_->values.erase(UpperCopy(name)) == 1;
  }
  std::vector<std::string> SubKeyNames() override {
    std::vector<std::string> names;
    if (node_->deleted) return names;
    for (const auto& [upper, child] : node_->children) names.push_back(child->name);
    return names;
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    if (node_->deleted) return names;
    for (const auto& [upper, value] : node_->values) names.push_back(value.name);
    return names;
  }

 private:
  std::shared_ptr<Node> node_;
  const HostRegistry& registry_;
};

// ---- REGEDIT4 writing ----

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

void AppendHex(std::string& out, const std::vector<uint8_t>& bytes) {
  char digits[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
    if (i > 0) out += ',';
    out += digits;
  }
}

// A REG_SZ that reads back unchanged from a quoted text: one zero byte at the
// end and none before it, and no line break inside.
bool WritableAsText(const RegistryData& data) {
  if (data.type != kRegTypeSz || data.bytes.empty() || data.bytes.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < data.bytes.size(); ++i) {
    uint8_t b = data.bytes[i];
    if (b == 0 || b == '\r' || b == '\n') return false;
  }
  return true;
}

void AppendData(std::string& out, const RegistryData& data) {
  if (WritableAsText(data)) {
    AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(data.bytes.data()),
                                       data.bytes.size() - 1));
  } else if (data.type == kRegTypeDword && data.bytes.size() == 4) {
    uint32_t number = data.bytes[0] | (data.bytes[1] << 8) | (data.bytes[2] << 16) |
                      (static_cast<uint32_t>(data.bytes[3]) << 24);
    char text[20];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    out += text;
  } else if (data.type == kRegTypeBinary) {
    out += "hex:";
    AppendHex(out, data.bytes);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(data.type));
    out += prefix;
    AppendHex(out, data.bytes);
  }
}

void SaveNode(std::string& out, const std::string& key_name, const Node& node, bool is_root) {
  if (!is_root || !node.values.empty()) {
    out += "[" + key_name + "]\r\n";
    for (const auto& [upper, value] : node.values) {
      if (value.name.empty()) {
        out += '@';
      } else {
        AppendQuoted(out, value.name);
      }
      out += '=';
      AppendData(out, value.data);
      out += "\r\n";
    }
    out += "\r\n";
  }
  for (const auto& [upper, child] : node.children) {
    SaveNode(out, key_name + "\\" + child->name, *child, false);
  }
}

// ---- REGEDIT4 reading ----

// Reads a quoted text at `at` (which holds the opening quote); `at` ends after
// the closing quote.
bool ReadQuoted(std::string_view line, std::size_t& at, std::string* text) {
  if (at >= line.size() || line[at] != '"') return false;
  text->clear();
  for (++at; at < line.size(); ++at) {
    char c = line[at];
    if (c == '"') {
      ++at;
      return true;
    }
    if (c == '\\' && at + 1 < line.size()) c = line[++at];
    *text += c;
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHexBytes(std::string_view text, std::vector<uint8_t>* bytes) {
  bytes->clear();
  std::size_t at = 0;
  auto skip_blanks = [&] {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  };
  skip_blanks();
  if (at == text.size()) return true;
  for (;;) {
    skip_blanks();
    int high = at < text.size() ? HexDigit(text[at]) : -1;
    int low = at + 1 < text.size() ? HexDigit(text[at + 1]) : -1;
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<uint8_t>(high * 16 + low));
    at += 2;
    skip_blanks();
    if (at == text.size()) return true;
    if (text[at] != ',') return false;
    ++at;
  }
}

bool ReadData(std::string_view text, RegistryData* data) {
  if (!text.empty() && text[0] == '"') {
    std::size_t at = 0;
    std::string value;
    if (!ReadQuoted(text, at, &value) || at != text.size()) return false;
    data->type = kRegTypeSz;
    data->bytes.assign(value.begin(), value.end());
    data->bytes.push_back(0);
    return true;
  }
  std::string upper = UpperCopy(text);
  if (upper.rfind("DWORD:", 0) == 0) {
    std::string_view digits = text.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t number = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0) return false;
      number = number * 16 + static_cast<uint32_t>(d);
    }
    data->type = kRegTypeDword;
    data->bytes = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                   static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
    return true;
  }
  if (upper.rfind("HEX:", 0) == 0) {
    data->type = kRegTypeBinary;
    return ReadHexBytes(text.substr(4), &data->bytes);
  }
  if (upper.rfind("HEX(", 0) == 0) {
    std::size_t close = text.find("):");
    if (close == std::string_view::npos || close == 4) return false;
    uint32_t type = 0;
    for (char c : text.substr(4, close - 4)) {
      int d = HexDigit(c);  // the type number is written in hexadecimal
      if (d < 0 || type > 0x0FFFFFFFu) return false;
      type = type * 16 + static_cast<uint32_t>(d);
    }
    data->type = type;
    return ReadHexBytes(text.substr(close + 2), &data->bytes);
  }
  return false;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The text's logical lines: a line ending in "\" is joined with the next.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line =
        Trim(text.substr(start, end == std::string_view::npos ? std::string_view::npos
                                                               : end - start));
    bool continues = !line.empty() && line.back() == '\\';
    if (continues) line.remove_suffix(1);
    if (continuing) {
      current += line;
    } else {
      current.assign(line);
    }
    continuing = continues;
    if (!continuing) lines.push_back(std::move(current)), current.clear();
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (continuing) lines.push_back(std::move(current));
  return lines;
}

uint32_t RootHandle(std::string_view name) {
  for (uint32_t root : kRootHandles) {
    if (UpperCopy(name) == RegistryRootName(root)) return root;
  }
  return 0;
}

}  // namespace

HostRegistry::HostRegistry() {
  for (uint32_t root : kRootHandles) {
    auto node = std::make_shared<Node>();
    node->name = RegistryRootName(root);
    roots_[root] = std::move(node);
  }
}

HostRegistry::~HostRegistry() = default;

std::shared_ptr<Node> HostRegistry::Root(uint32_t root) const {
  auto found = roots_.find(root);
  return found == roots_.end() ? nullptr : found->second;
}

std::shared_ptr<Node> HostRegistry::Find(uint32_t root, const std::string& path) const {
  std::shared_ptr<Node> node = Root(root);
  std::vector<std::string> levels;
  if (!node || !SplitPath(path, &levels)) return nullptr;
  for (const std::string& level : levels) {
    auto child = node->children.find(UpperCopy(level));
    if (child == node->children.end()) return nullptr;
    node = child->second;
  }
  return node;
}

std::unique_ptr<RegistryKey> HostRegistry::CreateKey(uint32_t root, const std::string& path,
                                                     bool* created) {
  if (created) *created = false;
  std::shared_ptr<Node> node = Root(root);
  std::vector<std::string> levels;
  if (!node || !SplitPath(path, &levels)) return nullptr;
  if (read_only_ && !Find(root, path)) return nullptr;
  bool new_key = false;
  for (const std::string& level : levels) {
    std::shared_ptr<Node>& child = node->children[UpperCopy(level)];
    new_key = !child;
    if (new_key) {
      child = std::make_shared<Node>();
      child->name = level;
    }
    node = child;
  }
  if (created) *created = new_key;
  return std::make_unique<HostRegistryKey>(node, *this);
}

std::unique_ptr<RegistryKey> HostRegistry::OpenKey(uint32_t root, const std::string& path) {
  std::shared_ptr<Node> node = Find(root, path);
  if (!node) return nullptr;
  return std::make_unique<HostRegistryKey>(node, *this);
}

bool HostRegistry::DeleteKey(uint32_t root, const std::string& path) {
  if (read_only_ || path.empty()) return false;
  std::size_t slash = path.rfind('\\');
  std::shared_ptr<Node> parent =
      slash == std::string::npos ? Root(root) : Find(root, path.substr(0, slash));
  std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!parent || leaf.empty()) return false;
  auto found = parent->children.find(UpperCopy(leaf));
  if (found == parent->children.end() || !found->second->children.empty()) return false;
  found->second->deleted = true;
  parent->children.erase(found);
  return true;
}

bool HostRegistry::LoadRegedit4(std::string_view text) {
  if (text.size() >= 3 && static_cast<uint8_t>(text[0]) == 0xEF) text.remove_prefix(3);  // BOM
  std::vector<std::string> lines = LogicalLines(text);
  std::size_t at = 0;
  while (at < lines.size() && lines[at].empty()) ++at;
  if (at == lines.size() || lines[at] != "REGEDIT4") return false;
  std::shared_ptr<Node> key;
  for (++at; at < lines.size(); ++at) {
    std::string_view line = lines[at];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return false;
      std::string_view name = line.substr(1, line.size() - 2);
      std::size_t slash = name.find('\\');
      uint32_t root = RootHandle(name.substr(0, slash));
      if (root == 0) return false;
      std::string path(slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1));
      bool keep_read_only = read_only_;
      read_only_ = false;
      std::unique_ptr<RegistryKey> opened = CreateKey(root, path, nullptr);
      read_only_ = keep_read_only;
      if (!opened) return false;
      key = Find(root, path);
      continue;
    }
    if (!key) return false;
    std::string name;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!ReadQuoted(line, pos, &name) || name.empty()) {
      return false;
    }
    if (pos >= line.size() || line[pos] != '=') return false;
    RegistryData data;
    if (!ReadData(Trim(line.substr(pos + 1)), &data)) return false;
    auto& value = key->values[UpperCopy(name)];
    if (value.name.empty()) value.name = name;  // an existing value keeps its spelling
    value.data = std::move(data);
  }
  return true;
}

std::string HostRegistry::SaveRegedit4() const {
  std::string out = "REGEDIT4\r\n\r\n";
  for (uint32_t root : kRootHandles) {
    SaveNode(out, RegistryRootName(root), *roots_.at(root), true);
  }
  return out;
}

}  // namespace install::os
