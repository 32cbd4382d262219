#include "install/script/registry_args.h"

#include <span>

#include "install/os/ascii_case.h"
#include "install/script/script_cursor.h"

namespace install::script {
namespace {

struct NamedNumber {
  std::string_view name;
  uint32_t number;
};

constexpr NamedNumber kRoots[] = {
    {"HKEY_CLASSES_ROOT", 0x80000000u},   {"HKEY_CURRENT_USER", 0x80000001u},
    {"HKEY_LOCAL_MACHINE", 0x80000002u},  {"HKEY_USERS", 0x80000003u},
    {"HKEY_CURRENT_CONFIG", 0x80000005u}, {"HKEY_DYN_DATA", 0x80000006u},
};

constexpr NamedNumber kTypes[] = {
    {"STRING", kRegSz},
    {"REG_SZ", kRegSz},
    {"REG_EXPAND_SZ", kRegExpandSz},
    {"BINARY", kRegBinary},
    {"REG_BINARY", kRegBinary},
    {"DWORD", kRegDword},
    {"REG_DWORD", kRegDword},
    {"REG_DWORD_BIG_ENDIAN", kRegDwordBigEndian},
    {"REG_LINK", kRegLink},
    {"REG_MULTI_SZ", kRegMultiSz},
    {"REG_RESOURCE_LIST", kRegResourceList},
    {"REG_FULL_RESOURCE_DESCRIPTOR", kRegFullResourceDescriptor},
};

uint32_t Lookup(std::span<const NamedNumber> table, std::string_view name) {
  for (const NamedNumber& entry : table) {
    if (os::EqualsIgnoringCase(entry.name, name)) return entry.number;
  }
  return 0;
}

std::optional<RegistryKeyOperation> KeyOperation(std::string_view word) {
  if (os::EqualsIgnoringCase(word, "NEW")) return RegistryKeyOperation::New;
  if (os::EqualsIgnoringCase(word, "DELETE")) return RegistryKeyOperation::Delete;
  if (os::EqualsIgnoringCase(word, "RENAME")) return RegistryKeyOperation::Rename;
  if (os::EqualsIgnoringCase(word, "QUERY")) return RegistryKeyOperation::Query;
  return std::nullopt;
}

std::optional<RegistryValueOperation> ValueOperation(std::string_view word) {
  if (os::EqualsIgnoringCase(word, "NEW")) return RegistryValueOperation::New;
  if (os::EqualsIgnoringCase(word, "DELETE")) return RegistryValueOperation::Delete;
  if (os::EqualsIgnoringCase(word, "RENAME")) return RegistryValueOperation::Rename;
  if (os::EqualsIgnoringCase(word, "REPLACE")) return RegistryValueOperation::Replace;
  if (os::EqualsIgnoringCase(word, "MAX")) return RegistryValueOperation::Max;
  if (os::EqualsIgnoringCase(word, "MIN")) return RegistryValueOperation::Min;
  if (os::EqualsIgnoringCase(word, "INCREMENT")) return RegistryValueOperation::Increment;
  return std::nullopt;
}

// A value name: "DEFAULT" (any case) is the unnamed value.
std::optional<std::string> ValueName(std::string text) {
  if (os::EqualsIgnoringCase(text, "DEFAULT")) return std::nullopt;
  return text;
}

bool ParseKeyLine(ScriptCursor& cursor, RegistryBlock* block) {
  std::string word;
  cursor.ReadWord(word);
  std::optional<RegistryKeyOperation> operation = KeyOperation(word);
  if (!operation) return false;
  std::string key_text;
  cursor.ReadQuoted(key_text);
  std::size_t slash = key_text.find('\\');
  if (slash == std::string::npos) return false;
  std::string root_name = key_text.substr(0, slash);
  uint32_t root = RegistryRootHandle(root_name);
  if (root == 0) return false;
  // A key text naming only the root would make DELETE act on a root key.
  if (slash + 1 == key_text.size()) return false;
  if (*operation == RegistryKeyOperation::Rename) {
    cursor.ReadQuoted(block->new_key_name);
    if (block->new_key_name.empty()) return false;
  }
  block->operation = *operation;
  block->root = root;
  block->root_name = std::move(root_name);
  block->key_path = key_text.substr(slash + 1);
  return true;
}

bool ParseValueLine(ScriptCursor& cursor, RegistryBlock* block) {
  if (block->values.size() >= RegistryBlock::kMaxValues) return false;
  RegistryValue value;
  std::string word;
  cursor.ReadWord(word);
  value.type = RegistryTypeNumber(word);
  if (value.type == 0) return false;
  cursor.ReadWord(word);
  std::optional<RegistryValueOperation> operation = ValueOperation(word);
  if (!operation) return false;
  value.operation = *operation;

  std::string name;
  if (cursor.ReadQuotedRequired(name) < 0) return false;
  value.name = ValueName(std::move(name));
  if (value.operation != RegistryValueOperation::Delete) {
    std::string second;
    if (cursor.ReadQuotedRequired(second) < 0) return false;
    if (value.operation == RegistryValueOperation::Rename) {
      value.new_name = ValueName(std::move(second));
    } else {
      if (second.size() > RegistryValue::kDataCapacity) return false;
      if (value.type == kRegBinary) value.binary = BinaryDigitsToBytes(second);
      value.data = std::move(second);
    }
  }
  block->values.push_back(std::move(value));
  return true;
}

}  // namespace

uint32_t RegistryRootHandle(std::string_view root_name) { return Lookup(kRoots, root_name); }

uint32_t RegistryTypeNumber(std::string_view type_word) { return Lookup(kTypes, type_word); }

std::vector<uint8_t> BinaryDigitsToBytes(std::string_view digits) {
  std::vector<uint8_t> bytes;
  for (std::size_t at = 0; at < digits.size(); at += 8) {
    std::string_view group = digits.substr(at, 8);
    // Like a base-2 conversion: the leading binary digits of the group count.
    unsigned value = 0;
    for (char c : group) {
      if (c != '0' && c != '1') break;
      value = (value << 1) | static_cast<unsigned>(c - '0');
    }
    if (value == 0) break;  // the zero byte ends the data
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

int ParseRegistrySection(ScriptCursor& cursor, const BlockLineReader& read_line,
                         int* lines_consumed, RegistryBlock* out) {
  RegistryBlock block;
  bool have_key = false;
  std::string line;
  std::string keyword;
  *lines_consumed = 0;
  for (;;) {
    if (read_line(line) == 0) return 0;  // the script ended inside the section
    ++*lines_consumed;
    cursor.SetLine(line);
    cursor.ReadKeyword(keyword);
    if (keyword.empty() || os::EqualsIgnoringCase(keyword, "REM")) continue;
    if (os::EqualsIgnoringCase(keyword, "KEY")) {
      if (have_key || !ParseKeyLine(cursor, &block)) return 0;
      have_key = true;
    } else if (os::EqualsIgnoringCase(keyword, "VALUE")) {
      if (!have_key || !ParseValueLine(cursor, &block)) return 0;
    } else if (os::EqualsIgnoringCase(keyword, "ENDREGISTRY")) {
      if (!have_key) return 0;
      *out = std::move(block);
      return 1;
    } else {
      return 0;
    }
  }
}

}  // namespace install::script
