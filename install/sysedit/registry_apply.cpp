#include "install/sysedit/registry_apply.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "install/os/ascii_case.h"

namespace install::sysedit {

using script::RegistryBlock;
using script::RegistryKeyOperation;
using script::RegistryValue;
using script::RegistryValueOperation;

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

bool IsStringType(uint32_t type) {
  return type == script::kRegSz || type == script::kRegExpandSz || type == script::kRegMultiSz ||
         type == script::kRegLink;
}

std::vector<uint8_t> NumberBytes(uint32_t number, uint32_t type) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                                static_cast<uint8_t>(number >> 16),
                                static_cast<uint8_t>(number >> 24)};
  if (type == script::kRegDwordBigEndian) std::reverse(bytes.begin(), bytes.end());
  return bytes;
}

// An existing value of up to 4 bytes as a number (shorter values are
// zero-extended).
uint32_t NumberFromBytes(const os::RegistryData& data) {
  uint32_t number = 0;
  if (data.type == script::kRegDwordBigEndian) {
    for (uint8_t byte : data.bytes) number = (number << 8) | byte;
  } else {
    for (auto it = data.bytes.rbegin(); it != data.bytes.rend(); ++it) number = (number << 8) | *it;
  }
  return number;
}

std::string ValueName(const std::optional<std::string>& name) { return name.value_or(""); }

void WriteNew(os::RegistryKey& key, const std::string& name, const RegistryValue& value) {
  std::vector<uint8_t> bytes;
  if (RegistryValueBytes(value, &bytes)) key.SetValue(name, value.type, bytes);
}

void RenameValue(os::RegistryKey& key, const std::string& name, const std::string& new_name) {
  // The same name in another spelling would delete the value it is moving.
  if (os::EqualsIgnoringCase(name, new_name)) return;
  os::RegistryData data;
  if (!key.QueryValue(name, &data) || data.bytes.size() > kRegistryRenameCapacity) return;
  key.DeleteValue(new_name);
  if (key.SetValue(new_name, data.type, data.bytes)) key.DeleteValue(name);
}

void AdjustNumber(os::RegistryKey& key, const std::string& name, const RegistryValue& value) {
  os::RegistryData existing;
  bool exists = key.QueryValue(name, &existing);
  // A text or a value longer than a number is not adjusted: writing a number
  // over it would destroy it.
  if (exists && (IsStringType(existing.type) || existing.bytes.size() > 4)) return;
  uint32_t type = exists ? existing.type : value.type;
  uint32_t data = ParseRegistryNumber(value.data, type == script::kRegBinary ? 2 : 0);
  uint32_t result = 0;
  if (exists) {
    uint32_t current = NumberFromBytes(existing);
    switch (value.operation) {
      case RegistryValueOperation::Max: result = std::max(current, data); break;
      case RegistryValueOperation::Min: result = std::min(current, data); break;
      default: result = current + data; break;
    }
  } else if (value.operation == RegistryValueOperation::Increment) {
    result = data;
  }
  key.SetValue(name, type, NumberBytes(result, type));
}

// Splits a key path at "\", passing over empty levels.
std::vector<std::string> KeyLevels(const std::string& path) {
  std::vector<std::string> levels;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('\\', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) levels.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return levels;
}

std::string JoinLevels(const std::vector<std::string>& levels, std::size_t count) {
  std::string path;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) path += '\\';
    path += levels[i];
  }
  return path;
}

void ApplyValues(os::RegistryKey& key, const RegistryBlock& block,
                 const script::MacroValues& macros) {
  for (const RegistryValue& value : block.values) ApplyRegistryValue(key, value, macros);
}

}  // namespace

uint32_t ParseRegistryNumber(std::string_view text, int base) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  bool hex_prefix = at + 2 < text.size() && text[at] == '0' &&
                    (text[at + 1] == 'x' || text[at + 1] == 'X') && DigitValue(text[at + 2]) < 16;
  if (base == 0) {
    if (hex_prefix) {
      base = 16;
    } else if (at < text.size() && text[at] == '0') {
      base = 8;
    } else {
      base = 10;
    }
  }
  if (base == 16 && hex_prefix) at += 2;
  uint64_t number = 0;
  bool overflow = false;
  for (; at < text.size(); ++at) {
    int digit = DigitValue(text[at]);
    if (digit >= base) break;
    number = number * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (number > 0xFFFFFFFFu) {
      overflow = true;
      number = 0xFFFFFFFFu;
    }
  }
  if (overflow) return 0xFFFFFFFFu;
  uint32_t result = static_cast<uint32_t>(number);
  return negative ? 0u - result : result;
}

void ExpandRegistryText(std::string& text, const script::MacroValues& macros) {
  std::size_t at = text.find('$');
  while (at != std::string::npos && at < kRegistryTextCapacity) {
    std::string_view rest = std::string_view(text).substr(at);
    std::optional<script::Macro> found;
    for (int i = 0; i < script::kMacroCount; ++i) {
      auto macro = static_cast<script::Macro>(i);
      if (os::StartsWithIgnoringCase(rest, script::MacroName(macro))) {
        found = macro;
        break;
      }
    }
    std::size_t next = at + 1;
    if (found) {
      std::string tail(rest);
      script::ExpandPrefix(tail, macros, kRegistryTextCapacity - at);
      text.replace(at, std::string::npos, tail);
      next = at + macros.Value(*found).size();
    }
    if (next >= text.size()) break;
    at = text.find('$', next);
  }
  if (text.size() > kRegistryTextCapacity) text.resize(kRegistryTextCapacity);
}

bool RegistryValueBytes(const RegistryValue& value, std::vector<uint8_t>* bytes) {
  bytes->clear();
  switch (value.type) {
    case script::kRegSz:
    case script::kRegExpandSz:
    case script::kRegMultiSz:
      bytes->assign(value.data.begin(), value.data.end());
      bytes->push_back(0);
      // A multi-string is a list of zero-ended texts ended by one more zero.
      if (value.type == script::kRegMultiSz) bytes->push_back(0);
      return true;
    case script::kRegBinary:
      *bytes = value.binary;
      return true;
    case script::kRegDword:
    case script::kRegDwordBigEndian:
      *bytes = NumberBytes(ParseRegistryNumber(value.data, 0), value.type);
      return true;
    default:
      return false;
  }
}

void ApplyRegistryValue(os::RegistryKey& key, const RegistryValue& value_as_written,
                        const script::MacroValues& macros) {
  RegistryValue value = value_as_written;
  if (value.name) ExpandRegistryText(*value.name, macros);
  if (value.new_name) ExpandRegistryText(*value.new_name, macros);
  if (value.type == script::kRegSz || value.type == script::kRegExpandSz ||
      value.type == script::kRegMultiSz) {
    ExpandRegistryText(value.data, macros);
  }
  const std::string name = ValueName(value.name);
  switch (value.operation) {
    case RegistryValueOperation::New: {
      os::RegistryData existing;
      if (!key.QueryValue(name, &existing)) WriteNew(key, name, value);
      break;
    }
    case RegistryValueOperation::Delete:
      key.DeleteValue(name);
      break;
    case RegistryValueOperation::Rename:
      RenameValue(key, name, ValueName(value.new_name));
      break;
    case RegistryValueOperation::Replace:
      key.DeleteValue(name);
      WriteNew(key, name, value);
      break;
    case RegistryValueOperation::Max:
    case RegistryValueOperation::Min:
    case RegistryValueOperation::Increment:
      AdjustNumber(key, name, value);
      break;
  }
}

void ApplyRegistryBlock(RegistryBlock& block, os::Registry& registry,
                        const script::MacroValues& macros) {
  block.created_keys.clear();
  std::vector<std::string> levels = KeyLevels(block.key_path);
  if (levels.empty()) return;  // never the root key itself
  const std::string path = JoinLevels(levels, levels.size());
  switch (block.operation) {
    case RegistryKeyOperation::New: {
      std::unique_ptr<os::RegistryKey> key;
      for (std::size_t depth = 1; depth <= levels.size(); ++depth) {
        std::string level_path = JoinLevels(levels, depth);
        bool created = false;
        key = registry.CreateKey(block.root, level_path, &created);
        if (!key) return;
        if (created && block.created_keys.size() < kMaxCreatedRegistryKeys) {
          block.created_keys.emplace_back(block.root_name, level_path);
        }
      }
      ApplyValues(*key, block, macros);
      break;
    }
    case RegistryKeyOperation::Delete:
      registry.DeleteKey(block.root, path);
      break;
    case RegistryKeyOperation::Rename:
      // Renaming a key is accepted in a script but not carried out.
      break;
    case RegistryKeyOperation::Query: {
      std::unique_ptr<os::RegistryKey> key = registry.OpenKey(block.root, path);
      if (key) ApplyValues(*key, block, macros);
      break;
    }
  }
}

void LogCreatedRegistryKeys(const RegistryBlock& block, sysedit::InstallLog& log) {
  for (auto it = block.created_keys.rbegin(); it != block.created_keys.rend(); ++it) {
    log.AppendLogLine(sysedit::RegKeyLogEntry(it->first, it->second));
  }
}

int ApplyRegistryBlocks(std::vector<RegistryBlock>& blocks, os::Registry& registry,
                        const script::MacroValues& macros, sysedit::InstallLog& log) {
  int created = 0;
  for (RegistryBlock& block : blocks) {
    ApplyRegistryBlock(block, registry, macros);
    LogCreatedRegistryKeys(block, log);
    created += static_cast<int>(block.created_keys.size());
  }
  blocks.clear();
  return created;
}

int ApplyRegistryBlocks(script::InstallPlan& plan, os::Registry& registry,
                        sysedit::InstallLog& log) {
  return ApplyRegistryBlocks(plan.registry_blocks, registry, plan.macros, log);
}

}  // namespace install::sysedit
