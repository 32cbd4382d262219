// Names read from a disc's own files (translation tables, index entries) that
// the browser turns into paths: one check for what such a name may be.
#pragma once

#include <string_view>

namespace tamblor::os {

// True when `component` names a DOS device whatever its extension: CON, PRN,
// AUX, NUL, COM1 to COM9, LPT1 to LPT9 and CLOCK$, in any letter case, before
// the first dot, trailing blanks ignored ("con .txt").
bool IsDeviceName(std::string_view component);

// True when `name` is one plain component of a path: not empty, not only
// dots and blanks (".", "..", "..." the system reads as a directory), without "\", "/" or ":", without a control character (below a blank,
// and DEL) or one of < > " | * ?, and not a device name. Such a name can
// never leave the directory it is joined to.
bool IsPlainFileName(std::string_view name);

// True when a component of `path` (split at "\" and "/", after an "X:"
// drive) holds a control character or names a DOS device: such a path, read
// from an index entry, would open a device or make a name no listing can show.
bool NamesADeviceOrControlCharacter(std::string_view path);

}  // namespace tamblor::os
