// The browser's path rules: "/" and "\" both separate, a trailing separator is
// dropped except in a drive root, and a path holds fewer than 260 characters.
#pragma once

#include <string>
#include <string_view>

namespace tamblor::views {

inline constexpr size_t kPathCapacity = 260;  // paths have at most 259 characters

// True for "X:\" (exactly three characters, a letter, a colon and "\").
bool IsDriveRoot(std::string_view path);
// Every "/" becomes "\"; a trailing "\" is removed unless the path is a drive root.
std::string NormalisePath(std::string_view path);
// `directory` + "\" (left out when the directory already ends with one) +
// `name`, normalised.
std::string JoinPath(std::string_view directory, std::string_view name);
// True when the path fits the browser's path buffers.
inline bool FitsPath(std::string_view path) { return path.size() < kPathCapacity; }

}  // namespace tamblor::views
