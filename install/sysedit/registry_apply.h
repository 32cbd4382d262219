// Carries out the registry sections of a script (RegistryBlock records) after
// all files are installed, and logs every key it created as a REGKEY entry,
// deepest key first, for the uninstall program.
//
// Registry failures are silent: a key that cannot be created or opened skips
// the block's values, a value that cannot be read, written or renamed is left
// as it is, and the installation goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "install/sysedit/install_log.h"
#include "install/os/registry.h"
#include "install/script/install_plan.h"
#include "install/script/macros.h"
#include "install/script/registry_args.h"

namespace install::sysedit {

// RENAME moves values of at most this many bytes; a longer one stays as it is.
inline constexpr std::size_t kRegistryRenameCapacity = 2040;
// A block records at most this many created keys.
inline constexpr std::size_t kMaxCreatedRegistryKeys = 50;
// Names and texts after macro expansion are cut to this many characters.
inline constexpr std::size_t kRegistryTextCapacity = script::RegistryValue::kDataCapacity;

// Reads an unsigned 32-bit number the way the C library's strtoul does on the
// target: leading blanks and a sign are allowed, reading stops at the first
// character that is not a digit of the base, a number too large gives
// 0xFFFFFFFF, and a minus sign negates modulo 2^32. Base 0 takes the base from
// the text: 0x or 0X hexadecimal, a leading 0 octal, otherwise decimal.
uint32_t ParseRegistryNumber(std::string_view text, int base);

// Expands macros anywhere in `text`: at each "$" a macro that starts there is
// replaced by its value and the search goes on after the value; a "$" that
// starts no macro stays. The result is cut to kRegistryTextCapacity.
void ExpandRegistryText(std::string& text, const script::MacroValues& macros);

// The bytes a NEW or REPLACE value writes: strings and their zero byte (a
// multi-string with the second zero byte that ends its list), BINARY's bytes,
// DWORD as 4 bytes (little-endian; REG_DWORD_BIG_ENDIAN big-endian). False for
// the types that write nothing (REG_LINK, REG_RESOURCE_LIST,
// REG_FULL_RESOURCE_DESCRIPTOR) and unknown types.
bool RegistryValueBytes(const script::RegistryValue& value, std::vector<uint8_t>* bytes);

// Applies one value to an open key (macros in the name, new name and string
// data are expanded first).
void ApplyRegistryValue(os::RegistryKey& key, const script::RegistryValue& value,
                        const script::MacroValues& macros);

// Carries out one block and fills its created keys (the key path is used as
// written; empty levels from doubled or trailing "\" are passed over).
void ApplyRegistryBlock(script::RegistryBlock& block, os::Registry& registry,
                        const script::MacroValues& macros);

// Logs the block's created keys, last created first, as REGKEY entries.
void LogCreatedRegistryKeys(const script::RegistryBlock& block, sysedit::InstallLog& log);

// Applies and logs the blocks in order, then empties the list. Returns the
// number of keys created (each given to the log as a REGKEY entry).
int ApplyRegistryBlocks(std::vector<script::RegistryBlock>& blocks, os::Registry& registry,
                        const script::MacroValues& macros, sysedit::InstallLog& log);

// The post-copy step over the plan: the call above with plan.registry_blocks
// and plan.macros (the list is empty afterwards).
int ApplyRegistryBlocks(script::InstallPlan& plan, os::Registry& registry,
                        sysedit::InstallLog& log);

}  // namespace install::sysedit
