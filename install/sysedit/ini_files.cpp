#include "install/sysedit/ini_files.h"

#include <optional>

#include "install/os/ascii_case.h"
#include "install/sysedit/text_file.h"

namespace install::sysedit {
namespace {

bool IsSentinel(std::string_view text) {
  // A list of key names: its first name.
  const std::size_t end = text.find('\0');
  if (end != std::string_view::npos) text = text.substr(0, end);
  return os::EqualsIgnoringCase(text, kProfileSentinel);
}

// The bytes of a file before a change, to be put back when the change fails.
struct FileSnapshot {
  bool existed = false;
  std::optional<std::string> bytes;  // nullopt: unknown (it could not be read)
};

FileSnapshot TakeSnapshot(os::Machine& machine, const std::string& path) {
  FileSnapshot snapshot;
  snapshot.existed = machine.GetAttributes(path) != os::kInvalidAttributes;
  if (snapshot.existed) snapshot.bytes = ReadFileBytes(machine, path);
  return snapshot;
}

void PutBackSnapshot(os::Machine& machine, const std::string& path, const FileSnapshot& snapshot) {
  if (!snapshot.existed) {
    machine.DeleteFile(path);
    return;
  }
  if (!snapshot.bytes || ReadFileBytes(machine, path) == snapshot.bytes) return;
  WriteWholeFile(machine, path, *snapshot.bytes);
}

// Writes the key and flushes the file. False (the file as it was, warned)
// when the profile functions report a failure.
bool WriteKey(SystemEditServices& services, const std::string& section, const std::string& key,
              const std::string& value, const std::string& profile_file, const std::string& path) {
  const FileSnapshot snapshot = TakeSnapshot(services.machine, path);
  const bool written =
      services.profile->WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), profile_file);
  services.profile->WritePrivateProfileString(nullptr, nullptr, nullptr, profile_file);
  if (written) return true;
  PutBackSnapshot(services.machine, path, snapshot);
  WarnAboutFile(services.desktop, ui::kCannotCreateFileText, path);
  return false;
}

}  // namespace

std::string IniFilePath(const std::string& file, const std::string& windows_dir) {
  if ((!file.empty() && file[0] == '\\') || (file.size() >= 2 && file[1] == ':')) return file;
  if (!windows_dir.empty() && windows_dir.back() == '\\') return windows_dir + file;
  return windows_dir + "\\" + file;
}

int ApplyIniEntry(const script::IniEntry& entry, const script::MacroValues& macros,
                  const ui::PromptTexts& prompts, SystemEditServices& services) {
  if (!services.profile) return kEditFailed;
  os::Profile& profile = *services.profile;
  std::string value = entry.value, file = entry.file, section = entry.section, key = entry.key;
  script::ExpandAll(value, macros, script::IniEntry::kValueCapacity);
  script::ExpandAll(file, macros, script::IniEntry::kFileCapacity);
  script::ExpandAll(section, macros, script::IniEntry::kSectionCapacity);
  script::ExpandAll(key, macros, script::IniEntry::kKeyCapacity);
  if (entry.mode == script::EditMode::EditThenAsk &&
      services.desktop.MessageBox(prompts.ini_file + file + "?", "", ui::kMbYesNo | ui::kMbIconQuestion) ==
          ui::kIdNo) {
    return kEditRejected;
  }

  // WIN.INI goes to the profile functions as written; any other file by the
  // full name that is checked for being new (so that the file logged as new
  // is the file written).
  const bool win_ini = os::EqualsIgnoringCase(file, "WIN.INI");
  const std::string path = IniFilePath(file, macros.windows_dir);
  const std::string& profile_file = win_ini ? file : path;
  const bool new_file = !win_ini && services.machine.GetAttributes(path) == os::kInvalidAttributes;
  const bool new_section = IsSentinel(
      profile.GetPrivateProfileString(section.c_str(), nullptr, kProfileSentinel, kProfileBufferSize, profile_file));
  const std::string current =
      profile.GetPrivateProfileString(section.c_str(), key.c_str(), kProfileSentinel, kProfileBufferSize, profile_file);
  if (os::EqualsIgnoringCase(current, value)) return kEditDone;

  std::string new_value = value, log_entry;
  if (IsSentinel(current)) {
    log_entry = IniKeyLogEntry(section, key, value, file);
  } else if (entry.add) {
    if (os::UpperCopy(current).find(os::UpperCopy(value)) != std::string::npos) return kEditDone;
    new_value = current + " " + value;
    log_entry = IniKeyLogEntry(section, key, value, file, new_value);
  } else {
    log_entry = IniKeyLogEntry(section, key, value, file, current);
  }
  if (!WriteKey(services, section, key, new_value, profile_file, path)) return kEditFailed;
  if (new_file) services.log.AppendLogLine(FileLogEntry(path));
  services.log.AppendLogLine(log_entry);
  if (new_section) services.log.AppendLogLine(IniSectionLogEntry(section, file));
  return kEditDone;
}

}  // namespace install::sysedit
