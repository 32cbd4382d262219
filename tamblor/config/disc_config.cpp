#include "tamblor/config/disc_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tamblor/config/config_lines.h"
#include "tamblor/os/ascii_case.h"

namespace tamblor::config {
namespace {

enum class Key { DiscTitle, UnzipRoot, UnzipProg, TransDir, Language, Uncompress, WinExt, RockRidge, MultiDiscs };

struct KeyName {
  const char* text;
  Key key;
};

// The order of the test: the first key that begins the line decides, so a line
// "LANGUAGES ..." is a LANGUAGE line.
constexpr KeyName kKeys[] = {
    {"DISC_TITLE", Key::DiscTitle}, {"UNZIP_ROOT", Key::UnzipRoot}, {"UNZIP_PROG", Key::UnzipProg},
    {"TRANS_DIR", Key::TransDir},   {"LANGUAGE", Key::Language},    {"UNCOMPRESS", Key::Uncompress},
    {"WIN_EXT", Key::WinExt},       {"ROCKRIDGE", Key::RockRidge},  {"MULTIDISCS", Key::MultiDiscs},
};

bool IsWhite(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::string> QuotedValue(std::string_view line) {
  size_t open = line.find('"');
  if (open == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(open + 1);
  size_t close = rest.find('"');
  if (close != std::string_view::npos) rest = rest.substr(0, close);
  return std::string(rest.substr(0, kMaxValue));
}

std::optional<std::string> SecondQuotedValue(std::string_view line) {
  size_t open = line.find('"');
  if (open == std::string_view::npos) return std::nullopt;
  size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return QuotedValue(line.substr(close + 1));
}

DiscConfig::DiscConfig(os::Machine& machine, char drive) : machine_(machine), drive_(drive) {}

void DiscConfig::Read(const std::string& path) {
  config_path_ = path;
  if (machine_.FindAttributes(path) == os::kInvalidAttributes) return;
  std::FILE* file = machine_.OpenFile(path, "rb");
  if (!file) {
    std::fprintf(stderr, "Cannot open file '%s': %s\n", path.c_str(), std::strerror(errno));
    std::exit(-1);
  }
  ConfigLines lines(file);
  while (std::optional<std::string> line = lines.Next()) ApplyLine(*line);
  std::fclose(file);
}

void DiscConfig::ApplyLine(std::string_view line) {
  const KeyName* match = nullptr;
  for (const KeyName& key : kKeys) {
    if (os::StartsWithNoCase(line, key.text)) {
      match = &key;
      break;
    }
  }
  if (!match) return;  // comments need no marker

  auto add_handler = [](std::vector<ExtensionHandler>& list, std::string extension, std::string program) {
    // The extension field holds 7 characters; a longer one cannot be stored.
    if (extension.size() > kMaxExtension) return;
    list.push_back(ExtensionHandler{std::move(extension), std::move(program)});
  };

  switch (match->key) {
    case Key::DiscTitle:
      if (auto value = QuotedValue(line)) disc_title_ = *value;
      break;
    case Key::UnzipRoot:
      if (auto value = QuotedValue(line)) unzip_root_ = *value;
      break;
    case Key::UnzipProg:
      if (auto value = QuotedValue(line)) add_handler(uncompress_handlers_, ".zip", *value);
      break;
    case Key::TransDir:
      if (auto value = QuotedValue(line)) translation_dir_ = *value;
      break;
    case Key::Language: {
      std::string_view rest = line.substr(std::strlen(match->text));
      while (!rest.empty() && IsWhite(rest.front())) rest.remove_prefix(1);
      language_ = std::string(rest.substr(0, kMaxValue));
      break;
    }
    case Key::Uncompress:
    case Key::WinExt: {
      auto extension = QuotedValue(line);
      auto program = SecondQuotedValue(line);
      if (!extension || !program) break;
      add_handler(match->key == Key::Uncompress ? uncompress_handlers_ : windows_handlers_, *extension, *program);
      break;
    }
    case Key::RockRidge:
      rock_ridge_ = true;
      break;
    case Key::MultiDiscs:
      multi_disc_ = true;
      break;
  }
}

std::string DiscConfig::RootPath() const { return std::string(1, drive_) + ":\\"; }

std::string DiscConfig::ProgramPath(const std::string& program) const {
  if (!program.empty() && program[0] == '\\') return std::string(1, drive_) + ":" + program;
  return program;
}

std::optional<std::string> DiscConfig::UncompressProgram(std::string_view path) const {
  for (const ExtensionHandler& handler : uncompress_handlers_) {
    if (os::EndsWithNoCase(path, handler.extension)) return ProgramPath(handler.program);
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> DiscConfig::WindowsCommand(std::string_view path,
                                                                   std::string_view argument) const {
  for (const ExtensionHandler& handler : windows_handlers_) {
    if (!os::EndsWithNoCase(path, handler.extension)) continue;
    std::string command = ProgramPath(handler.program) + " " + std::string(argument);
    if (command.size() > kMaxCommandBuffer) command.resize(kMaxCommandBuffer);
    // Every blank ends a word; the first word starts at the first character,
    // so a command line beginning with a blank has an empty first word.
    std::vector<std::string> words;
    size_t start = 0;
    bool in_word = true;
    for (size_t i = 0; i <= command.size(); ++i) {
      bool end = i == command.size() || command[i] == ' ';
      if (end) {
        if (in_word && words.size() < kMaxArguments) words.push_back(command.substr(start, i - start));
        in_word = false;
      } else if (!in_word) {
        start = i;
        in_word = true;
      }
    }
    return words;
  }
  return std::nullopt;
}

}  // namespace tamblor::config
