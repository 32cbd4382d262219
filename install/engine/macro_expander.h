// How engine code expands the script's macros in a path or command without
// depending on the script layer: the run hands in a function that does it
// (the script's full expansion over the plan's macro values).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace install::engine {

// Returns `text` with its macros expanded, cut to `capacity` characters.
using MacroExpander = std::function<std::string(const std::string& text, std::size_t capacity)>;

// `expand` applied when set; otherwise the text as written, cut to `capacity`.
inline std::string ExpandWith(const MacroExpander& expand, const std::string& text,
                              std::size_t capacity) {
  if (expand) return expand(text, capacity);
  return text.substr(0, capacity);
}

}  // namespace install::engine
