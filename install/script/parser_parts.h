// What the parts of the script parser share: capacities, the keywords
// accepted and ignored, the named colours and placements, and small word
// helpers. Included only by the parser's own files.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "install/os/ascii_case.h"
#include "install/script/script_parser.h"

namespace install::script::parsing {

using LineResult = ScriptParser::LineResult;

constexpr int kDeferred = 100;
constexpr std::size_t kPathCapacity = 499;
constexpr std::size_t kDefaultDirCapacityChars = 498;  // $DEFAULTDIR$ holds no more
constexpr std::size_t kCommandCapacity = 999;
constexpr std::size_t kFaceCapacity = 30;
constexpr std::size_t kTitleFaceCapacity = 31;  // a font face name holds 31 characters
constexpr std::size_t kUninstallTextCapacity = 999;

// Accepted anywhere, doing nothing.
constexpr std::array<std::string_view, 19> kIgnoredKeywords = {
    "SCREENFILLCHAR",   "WINDOWBACKGROUND", "WINDOWFOREGROUND", "SCREENBACKGROUND",
    "SCREENFOREGROUND", "TITLEBACKGROUND",  "TITLEFOREGROUND",  "BOTTOMBACKGROUND",
    "BOTTOMFOREGROUND", "PROMPTBACKGROUND", "PROMPTFOREGROUND", "EnterKeyPrompt",
    "EscPrompt",        "F2KeyPrompt",      "PressKeyPrompt",   "PressKeyQuitPrompt",
    "ReadmePrompt",     "YesNoPrompt",      "YesNoKey",
};

struct NamedColor {
  std::string_view name;
  Rgb rgb;
};
constexpr std::array<NamedColor, 8> kNamedColors = {{
    {"Black", {0, 0, 0}},
    {"Blue", {0, 0, 255}},
    {"Green", {0, 255, 0}},
    {"Cyan", {0, 255, 255}},
    {"Red", {255, 0, 0}},
    {"Magenta", {255, 0, 255}},
    {"Yellow", {255, 255, 0}},
    {"White", {255, 255, 255}},
}};

constexpr std::array<std::string_view, 10> kPlacements = {
    "TOPLEFT",     "TOPMIDDLE",    "TOPRIGHT",   "MIDDLERIGHT", "BOTTOMRIGHT",
    "BOTTOMMIDDLE", "BOTTOMLEFT", "MIDDLELEFT", "TILE",        "FULLSCREEN",
};

inline bool IsKeywordOf(std::string_view word, std::string_view keyword) {
  return os::EqualsIgnoringCase(word, keyword);
}

inline bool StartsWithDigit(std::string_view text) { return !text.empty() && os::IsDecimalDigit(text[0]); }

// The first word of a line for IF capture: letters and digits after leading
// spaces and tabs.
inline std::string LeadingAlnumWord(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::size_t start = i;
  while (i < line.size() && ((line[i] >= 'A' && line[i] <= 'Z') ||
                             (line[i] >= 'a' && line[i] <= 'z') || os::IsDecimalDigit(line[i])))
    ++i;
  return line.substr(start, i - start);
}

// A path of the source directory: dir + "\" (unless it ends in one) + name.
inline std::string InSourceDir(const std::string& source_dir, const std::string& name) {
  std::string path = source_dir;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path + name;
}


}  // namespace install::script::parsing
