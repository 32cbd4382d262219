// File name wildcards as the system's directory search reads them.
#pragma once

#include <string_view>

namespace install::os {

// True when `name` (a bare file name) matches `pattern`, letters compared
// without regard to ASCII case:
//   "*"  any run of characters; a "*" right before a "." stops at the name's
//        last dot (so "*." matches only names without an extension);
//   "?"  one character, or none at the end of the name or before a dot;
//   "."  a dot; one followed by "*", "?" or the pattern's end also matches the
//        end of a name that has no further dot ("*.*" matches every name,
//        "README.*" matches "README").
bool MatchesWildcard(std::string_view pattern, std::string_view name);

bool HasWildcard(std::string_view text);

}  // namespace install::os
