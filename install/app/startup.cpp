#include "install/app/startup.h"

#include <cstdio>

#include "install/ui/builtin_texts.h"
#include "install/os/ascii_case.h"

namespace install::app {
namespace {

bool IsTokenSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string_view PromptText(std::string_view keyword) { return ui::BuiltinPromptTextFor(keyword); }

constexpr uint32_t kCopyChunk = 32768;
// "~0000", then "~0000001" to "~0000999".
constexpr int kTempCopyNames = 1000;
// Windows calls are given a capacity of 998 in a 1000-byte buffer.
constexpr size_t kPathCapacity = 998;

}  // namespace

CommandLine SplitCommandLine(const std::string& arguments) {
  CommandLine out;
  size_t taken = 0;
  size_t pos = 0;
  while (taken < out.options.size()) {
    while (pos < arguments.size() && IsTokenSeparator(arguments[pos])) ++pos;
    if (pos >= arguments.size()) break;
    if (arguments[pos] == '"') {
      const size_t close = arguments.find('"', pos + 1);
      const size_t end = close == std::string::npos ? arguments.size() : close;
      out.script = arguments.substr(pos + 1, end - pos - 1);
      pos = close == std::string::npos ? end : close + 1;
      continue;
    }
    size_t end = pos;
    while (end < arguments.size() && !IsTokenSeparator(arguments[end])) ++end;
    std::string token = arguments.substr(pos, end - pos);
    pos = end;
    if (token[0] == '-') {
      out.options[taken++] = token.substr(1, kOptionCapacity);
    } else {
      out.script = token;
    }
  }
  return out;
}

std::string QuotedIfNeeded(const std::string& path) {
  return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

std::string ArgumentsAfterProgram(const std::string& command_line) {
  size_t pos = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    const size_t close = command_line.find('"', 1);
    pos = close == std::string::npos ? command_line.size() : close + 1;
  }
  while (pos < command_line.size() && command_line[pos] != ' ' && command_line[pos] != '\t') ++pos;
  while (pos < command_line.size() && (command_line[pos] == ' ' || command_line[pos] == '\t')) ++pos;
  return command_line.substr(pos);
}

std::string TempCopyCompanion(const std::string& program_path, const char* extension) {
  const size_t slash = program_path.rfind('\\');
  const size_t dot = program_path.rfind('.');
  const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_extension ? program_path.substr(0, dot) : program_path) + extension;
}

std::string DefaultScriptPath(const std::string& program_path) {
  size_t dot = program_path.rfind('.');
  if (dot == std::string::npos) return program_path + ".cfg";
  return program_path.substr(0, dot + 1) + "cfg";
}

bool ScriptNeedsDisks(archive::SourceReader& sources, const std::string& script_path) {
  auto script = sources.OpenSource(script_path);
  if (!script) return false;
  while (auto line = sources.ReadSourceLine(*script, 999)) {
    if (os::StartsWithIgnoringCase(*line, "INSERTDISK:")) return true;
  }
  return false;
}

void Startup::Warn(const std::string& text) {
  desktop_.MessageBox(text, " ", ui::kMbOk | ui::kMbIconWarning);
}

StartDecision Startup::Prepare(const std::string& arguments, StartupValues* values) {
  *values = StartupValues{};
  script::MacroValues& macros = values->macros;

  // The program directory, which becomes the current directory.
  std::string module = machine_.GetModulePath().substr(0, kPathCapacity);
  size_t slash = module.rfind('\\');
  if (slash == std::string::npos) {
    Warn(std::string(PromptText("BADDIRPROMPT")));
    return StartDecision::Fail;
  }
  std::string module_name = module.substr(slash + 1);
  macros.program_dir = module.substr(0, slash);
  machine_.SetCurrentDirectory(macros.program_dir.empty() ? "\\" : macros.program_dir);
  macros.program_dir += '\\';

  CommandLine command_line = SplitCommandLine(arguments);
  macros.options = command_line.options;
  if (!command_line.script.empty()) {
    const std::string& token = command_line.script;
    bool bare = !(token.size() > 1 && token[1] == ':') && token.find('\\') == std::string::npos;
    values->script_path = bare ? macros.program_dir + token : token;
  }

  macros.source_drive.clear();
  macros.default_drive.clear();

  // A name without "." as its fourth-last character gets ".exe".
  values->program_path = macros.program_dir + module_name;
  if (module_name.size() < 4 || module_name[module_name.size() - 4] != '.') {
    values->program_path += ".exe";
  }
  sources_.SetInstallArchive(values->program_path);

  if (values->script_path.empty()) values->script_path = DefaultScriptPath(values->program_path);
  macros.source_dir = values->script_path;
  macros.source_drive = values->script_path.substr(0, 1);

  if (values->program_path.find(kTempCopyMark) != std::string::npos) return StartDecision::Continue;

  {
    auto script = sources_.OpenSource(values->script_path);
    if (!script) {
      Warn(std::string(PromptText("FILENOTFOUNDPROMPT")) + values->script_path + ". ");
      return StartDecision::Fail;
    }
  }
  bool needs_disks = ScriptNeedsDisks(sources_, values->script_path);
  os::DriveType drive = machine_.GetDriveType(machine_.GetCurrentDirectory());
  if (drive == os::DriveType::Fixed || !needs_disks) return StartDecision::Continue;
  return Restart(*values);
}

std::unique_ptr<os::File> Startup::ClaimTempCopy(const std::string& temp, TempCopyPaths* paths) {
  for (int n = 0; n < kTempCopyNames; ++n) {
    char base[16];
    std::snprintf(base, sizeof base, n == 0 ? "%s" : "%s%03d", kTempCopyMark, n);
    *paths = TempCopyPaths{temp + base + ".exe", temp + base + ".pif", temp + base + ".bat"};
    const bool free = machine_.GetAttributes(paths->exe) == os::kInvalidAttributes &&
                      machine_.GetAttributes(paths->pif) == os::kInvalidAttributes &&
                      machine_.GetAttributes(paths->bat) == os::kInvalidAttributes;
    if (!free) continue;
    // Created new: a name taken meanwhile is passed over, never written.
    if (auto exe = machine_.Open(paths->exe, os::OpenMode::CreateNew)) return exe;
    if (machine_.GetAttributes(paths->exe) == os::kInvalidAttributes) return nullptr;
  }
  return nullptr;
}

std::string CopyChunks(const ChunkReader& read, int64_t size, std::unique_ptr<os::File> out) {
  std::string chunk(kCopyChunk, '\0');
  int64_t copied = 0;
  for (;;) {
    const int32_t got = read(chunk.data(), kCopyChunk);
    if (got < 0) return std::string(ui::kReadingDiskErrorText);
    if (got > 0 && out->Write(chunk.data(), static_cast<uint32_t>(got)) != got) {
      return std::string(ui::kWritingDiskErrorText);
    }
    copied += got;
    if (static_cast<uint32_t>(got) < kCopyChunk) break;
  }
  if (copied != size) return std::string(ui::kReadingDiskErrorText);
  bool written = out->Flush() && out->Seek(0, 2) == copied;
  written = out->Close() && written;
  return written ? std::string() : std::string(ui::kWritingDiskErrorText);
}

std::string Startup::CopyProgram(const std::string& program_path, std::unique_ptr<os::File> exe) {
  std::unique_ptr<os::File> program = machine_.Open(program_path, os::OpenMode::Read);
  const int64_t size = program ? program->Seek(0, 2) : -1;
  if (size < 0 || program->Seek(0, 0) != 0) return NotFound(program_path);
  return CopyChunks([&](char* buffer, uint32_t count) { return program->Read(buffer, count); }, size,
                    std::move(exe));
}

std::string Startup::CopyDosShellPif(const std::string& program_dir, const std::string& pif_path) {
  auto pif = sources_.OpenSource(program_dir + kDosShellPif);
  if (!pif) return std::string();  // not carried: nothing to copy
  auto out = machine_.Open(pif_path, os::OpenMode::CreateNew);
  if (!out) return NotFound(pif_path);
  created_.push_back(pif_path);
  return CopyChunks([&](char* buffer, uint32_t count) { return sources_.ReadSource(*pif, buffer, count); },
                    pif->size, std::move(out));
}

std::string Startup::WriteCleanUpBatch(const TempCopyPaths& paths) {
  auto bat = machine_.Open(paths.bat, os::OpenMode::CreateNew);
  if (!bat) return NotFound(paths.bat);
  created_.push_back(paths.bat);
  std::string text = "@ECHO OFF\n";
  for (const std::string* path : {&paths.exe, &paths.pif, &paths.bat}) text += "del " + QuotedIfNeeded(*path) + "\n";
  bool written = bat->Write(text.data(), static_cast<uint32_t>(text.size())) == static_cast<int32_t>(text.size());
  written = bat->Flush() && written;
  written = bat->Close() && written;
  return written ? std::string() : std::string(ui::kWritingDiskErrorText);
}

std::string Startup::NotFound(const std::string& path) {
  return std::string(PromptText("FILENOTFOUNDPROMPT")) + path + ". ";
}

StartDecision Startup::Restart(const StartupValues& values) {
  std::string temp;
  if (!machine_.GetTempPath(&temp)) temp = "c:\\";
  temp = temp.substr(0, kPathCapacity);

  // The program file is copied as a plain file, not through its own archive.
  sources_.CloseInstallArchive();
  created_.clear();
  TempCopyPaths paths;
  std::unique_ptr<os::File> exe = ClaimTempCopy(temp, &paths);
  std::string error;
  if (!exe) {
    error = NotFound(paths.exe);
  } else {
    created_.push_back(paths.exe);
    error = CopyProgram(values.program_path, std::move(exe));
  }
  sources_.SetInstallArchive(values.program_path);
  if (error.empty()) error = CopyDosShellPif(values.macros.program_dir, paths.pif);
  if (error.empty()) error = WriteCleanUpBatch(paths);
  if (!error.empty()) {
    // Nothing half-copied is ever started, and nothing is left behind.
    for (const std::string& path : created_) machine_.DeleteFile(path);
    Warn(error);
    return StartDecision::Fail;
  }

  // The program is named apart from its command line, so that a directory
  // with spaces can neither start another program nor split the arguments.
  std::string command = QuotedIfNeeded(paths.exe) + " " + QuotedIfNeeded(values.script_path);
  for (const std::string& option : values.macros.options) {
    if (!option.empty()) command += " -" + option;
  }
  machine_.StartProgram(paths.exe, command, os::kShow);
  return StartDecision::Restarted;
}

void Startup::RecordDirectories(StartupValues* values) {
  script::MacroValues& macros = values->macros;
  size_t slash = macros.source_dir.rfind('\\');
  if (slash != std::string::npos) macros.source_dir.resize(slash);

  auto without_trailing_backslash = [](std::string dir) {
    dir = dir.substr(0, kPathCapacity);
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir;
  };
  macros.windows_dir = without_trailing_backslash(machine_.GetWindowsDirectory());
  macros.help_dir = macros.windows_dir + "\\help";
  macros.system_dir = without_trailing_backslash(machine_.GetSystemDirectory());
}

}  // namespace install::app
