#include "install/app/startup.h"

#include <cstdio>

#include "install/ui/builtin_texts.h"
#include "install/os/ascii_case.h"

namespace install::app {
namespace {

bool IsTokenSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string_view PromptText(std::string_view keyword) { return ui::BuiltinPromptTextFor(keyword); }

constexpr uint32_t kCopyChunk = 32768;
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

void Startup::CopyChunks(archive::SourceStream& from, const std::string& to) {
  auto out = machine_.Open(to, os::OpenMode::Create);
  std::string chunk(kCopyChunk, '\0');
  for (;;) {
    int32_t got = sources_.ReadSource(from, chunk.data(), kCopyChunk);
    if (got <= 0) break;
    if (out) out->Write(chunk.data(), static_cast<uint32_t>(got));
    if (static_cast<uint32_t>(got) < kCopyChunk) break;
  }
}

StartDecision Startup::Restart(const StartupValues& values) {
  std::string temp;
  if (!machine_.GetTempPath(&temp)) temp = "c:\\";
  temp = temp.substr(0, kPathCapacity);
  const std::string exe_path = temp + kTempCopyExe;
  const std::string pif_path = temp + kTempCopyPif;
  const std::string bat_path = temp + kTempCopyBat;

  // The program file is copied as a plain file, not through its own archive.
  sources_.CloseInstallArchive();
  if (auto program = machine_.Open(values.program_path, os::OpenMode::Read)) {
    auto out = machine_.Open(exe_path, os::OpenMode::Create);
    std::string chunk(kCopyChunk, '\0');
    for (;;) {
      int32_t got = program->Read(chunk.data(), kCopyChunk);
      if (got <= 0) break;
      if (out) out->Write(chunk.data(), static_cast<uint32_t>(got));
      if (static_cast<uint32_t>(got) < kCopyChunk) break;
    }
  }

  sources_.SetInstallArchive(values.program_path);
  if (auto pif = sources_.OpenSource(values.macros.program_dir + kDosShellPif)) {
    CopyChunks(*pif, pif_path);
  }

  auto bat = machine_.Open(bat_path, os::OpenMode::Create);
  if (!bat) {
    Warn(std::string(PromptText("FILENOTFOUNDPROMPT")) + bat_path + ". ");
    return StartDecision::Fail;
  }
  std::string text = "@ECHO OFF\n";
  for (const std::string* path : {&exe_path, &pif_path, &bat_path}) text += "del " + *path + "\n";
  bat->Write(text.data(), static_cast<uint32_t>(text.size()));
  bat.reset();

  std::string command = exe_path + " " + values.script_path;
  for (const std::string& option : values.macros.options) {
    if (!option.empty()) command += " -" + option;
  }
  machine_.StartProcess(command, os::kShow, false, nullptr);
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
