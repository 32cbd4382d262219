// The browser's own file-name wildcard test, applied on top of the system's
// directory search.
#pragma once

#include <string>

namespace tamblor::text {

// Compares without regard to case (ASCII letters):
//   "*.*"                     matches every name;
//   a name equal to the pattern matches;
//   a pattern not beginning with "*" and ending with "*" is a prefix test
//     ("readme.*" matches "README.TXT"); any other such pattern an exact test;
//   a pattern beginning with "*" is a suffix test ("*.txt", "*32.dll"); a name
//     shorter than the suffix does not match.
// No other wildcard characters are special.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace tamblor::text
