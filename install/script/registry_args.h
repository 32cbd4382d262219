// The registry sections of a script, one RegistryBlock each:
//
//   BEGINREGISTRY
//   KEY  NEW|DELETE|RENAME|QUERY "ROOT\key\path" ["new name"]
//   VALUE type NEW|DELETE|RENAME|REPLACE|MAX|MIN|INCREMENT "name" ["data" | "new name"]
//   ENDREGISTRY
//
// One KEY line, before any VALUE line; REM lines and lines without a keyword
// are skipped. The name "DEFAULT" (any case) stands for the key's unnamed
// value. Macros stay as written; they are expanded when the block is applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace install::script {

class ScriptCursor;

enum class RegistryKeyOperation : int32_t { New, Delete, Rename, Query };
enum class RegistryValueOperation : int32_t { New, Delete, Rename, Replace, Max, Min, Increment };

// Registry data type numbers (the Win32 REG_* values).
enum : uint32_t {
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegLink = 6,
  kRegMultiSz = 7,
  kRegResourceList = 8,
  kRegFullResourceDescriptor = 9,
};

struct RegistryValue {
  static constexpr std::size_t kDataCapacity = 1023;

  uint32_t type = kRegSz;
  RegistryValueOperation operation = RegistryValueOperation::New;
  std::optional<std::string> name;      // nullopt: the unnamed (default) value
  // The data as written (not for DELETE and RENAME). DWORD types convert it
  // when applied (0x.. hexadecimal, 0.. octal, else decimal).
  std::string data;
  // BINARY: groups of 8 binary digits, one byte each, up to the first zero
  // byte (which is not included).
  std::vector<uint8_t> binary;
  std::optional<std::string> new_name;  // RENAME: nullopt = the unnamed value
};

struct RegistryBlock {
  static constexpr std::size_t kMaxValues = 50;

  uint32_t root = 0;            // predefined root key handle (0x80000000, ...)
  RegistryKeyOperation operation = RegistryKeyOperation::New;
  std::string root_name;        // the root as written
  std::string key_path;         // after the first "\" of the key text
  std::string new_key_name;     // RENAME only
  std::vector<RegistryValue> values;
  // (root name, key path up to a newly created level), filled when applied.
  std::vector<std::pair<std::string, std::string>> created_keys;
};

// The handle value of a root key name (letter case ignored); 0 when unknown.
uint32_t RegistryRootHandle(std::string_view root_name);
// The type number of a type word (letter case ignored); 0 when unknown.
uint32_t RegistryTypeNumber(std::string_view type_word);
// Groups of 8 binary digits to bytes, up to the first zero byte.
std::vector<uint8_t> BinaryDigitsToBytes(std::string_view digits);

// Hands the block reader the next line of the script: 1 with a line, 0 at
// the end of the script.
using BlockLineReader = std::function<int(std::string& line)>;

// Reads the lines after BEGINREGISTRY up to ENDREGISTRY into `out`. Each line
// is loaded into `cursor`, so on an error the cursor holds the offending
// line. *lines_consumed counts every line read (ENDREGISTRY or the offending
// line included). Returns 1 when the section ended with ENDREGISTRY, 0 for a
// syntax error: any other keyword, VALUE before KEY, a second KEY, ENDREGISTRY
// without KEY, an unknown operation, type or root, a key text without "\" or
// without a path after it, a missing name, data or new name, data beyond
// RegistryValue::kDataCapacity, a 51st value, or the end of the script.
int ParseRegistrySection(ScriptCursor& cursor, const BlockLineReader& read_line,
                         int* lines_consumed, RegistryBlock* out);

}  // namespace install::script
