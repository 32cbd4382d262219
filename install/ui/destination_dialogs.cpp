#include "install/ui/destination_dialogs.h"

#include "install/ui/builtin_texts.h"

namespace install::ui {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string CutAtFirstOf(std::string text, const char* stops) {
  const std::size_t at = text.find_first_of(stops);
  if (at != std::string::npos) text.resize(at);
  return text;
}

std::string Capped(std::string text) {
  if (text.size() > kDestinationPathCapacity) text.resize(kDestinationPathCapacity);
  return text;
}

}  // namespace

DestinationFields SplitDestinationPath(int ask_mode, const std::string& path) {
  DestinationFields fields;
  switch (ask_mode) {
    case 1: {
      if (!path.empty()) {
        char letter = path[0];
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
        fields.fixed = std::string(1, letter) + ":\\";
      }
      const std::size_t slash = path.find('\\');
      if (slash != std::string::npos) fields.entry = path.substr(slash + 1);
      break;
    }
    case 2:
      if (!path.empty()) {
        fields.entry = path.substr(0, 1);
        fields.fixed = path.substr(1);
      }
      break;
    default:
      fields.entry = path;
      break;
  }
  return fields;
}

std::optional<std::string> DestinationFromEntry(int ask_mode, const std::string& old_path,
                                                const std::string& typed) {
  const std::string text = typed.substr(0, kDestinationEntryCapacity);
  switch (ask_mode) {
    case 1: {
      const std::string drive = old_path.empty() ? std::string() : old_path.substr(0, 1);
      return Capped(CutAtFirstOf(drive + ":\\" + text, " ,"));
    }
    case 2: {
      if (text.empty() || !IsAsciiLetter(text[0])) return std::nullopt;
      std::string path = old_path.empty() ? std::string(":\\") : old_path.substr(1);
      return Capped(CutAtFirstOf(text.substr(0, 1) + path, " ,"));
    }
    case 3: {
      if (text.empty() || !IsAsciiLetter(text[0])) return std::nullopt;
      if (text.size() > 1 && text[1] != ':') return std::nullopt;
      if (text.size() > 2 && text[2] != '\\') return std::nullopt;
      return Capped(CutAtFirstOf(text, ","));
    }
    default:
      return old_path;
  }
}

std::string DefaultDestinationPrompt(int ask_mode) {
  switch (ask_mode) {
    case 1:
      return std::string(ui::kAskDirectoryText);
    case 2:
      return std::string(ui::kAskDriveText);
    default:
      return std::string(ui::kAskDriveAndDirectoryText);
  }
}

}  // namespace install::ui
