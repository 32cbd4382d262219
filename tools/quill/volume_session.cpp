#include "tools/quill/volume_session.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "install/os/ascii_case.h"

namespace quill {
namespace fs = std::filesystem;

namespace {

// Replaces a drive path at `at` (running to the end of the text) by `local`.
std::string Localise(const std::string& text, const std::string& drive, const fs::path& local) {
  size_t at = text.find(drive);
  if (at == std::string::npos) return text;
  std::string rest = text.substr(at + drive.size());
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  return text.substr(0, at) + (local / rest).string();
}

}  // namespace

std::string ConsoleDesktop::Local(const std::string& text) const {
  return Localise(Localise(text, kSetDrive, set_dir_), kOutputDrive, output_dir_);
}

void ConsoleDesktop::Report(const std::string& text) {
  ++messages_;
  std::fflush(stdout);  // the lines printed so far come first
  std::fprintf(stderr, "quill %s: %s\n", command_.c_str(), Local(text).c_str());
}

int ConsoleDesktop::MessageBox(const std::string& text, const char* caption, unsigned style) {
  Report(text);
  return (style & 0x0F) == install::ui::kMbYesNo ? install::ui::kIdYes : install::ui::kIdOk;
}

namespace {

// True when `folder` holds a file named `name` (letter case ignored).
bool FolderHolds(const fs::path& folder, const std::string& name) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (install::os::EqualsIgnoringCase(entry.path().filename().string(), name)) return true;
  }
  return false;
}

}  // namespace

int FolderDisks::RequestNextDisk(bool advance) {
  const std::string next = reader_ ? reader_->volume_header().next_volume : "";
  if (advance) {
    // The disk is "in the drive" either way; a volume found nowhere is
    // reported when the reader asks again.
    if (!next.empty() && !FolderHolds(disk_dir_, next)) SwapToFolderHolding(next);
    return install::archive::kDiskInPlace;
  }
  desktop_.Report("next volume not found: " + (reader_ ? reader_->set_directory() + next : ""));
  return 1;
}

bool FolderDisks::SwapToFolderHolding(const std::string& name) {
  std::error_code error;
  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(disk_dir_.parent_path(), error)) {
    std::error_code type_error;
    if (entry.is_directory(type_error) && entry.path() != disk_dir_) folders.push_back(entry.path());
  }
  std::sort(folders.begin(), folders.end());
  for (const fs::path& folder : folders) {
    if (!FolderHolds(folder, name)) continue;
    disk_dir_ = folder;
    machine_.MapDrive('A', folder, install::os::DriveType::Fixed);
    desktop_.set_set_dir(folder);
    return true;
  }
  return false;
}

VolumeSession::VolumeSession(const std::string& command, const fs::path& first_volume,
                             const fs::path& output_dir)
    : set_dir(fs::weakly_canonical(fs::absolute(first_volume)).parent_path()),
      first_volume_path(std::string(kSetDrive) + first_volume.filename().string()),
      desktop(command, set_dir, output_dir),
      disks(desktop, machine, set_dir),
      sources(machine),
      reader(sources, desktop, disks, quiet) {
  machine.MapDrive('A', set_dir, install::os::DriveType::Fixed);
  if (!output_dir.empty()) machine.MapDrive('E', output_dir, install::os::DriveType::Fixed);
  machine.SetCurrentDirectory(kSetDrive);
  disks.set_reader(&reader);
}

std::string FormatDosDateTime(uint32_t date, uint32_t time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + ((date >> 9) & 127),
                (date >> 5) & 15, date & 31, (time >> 11) & 31, (time >> 5) & 63, (time & 31) * 2);
  return text;
}

}  // namespace quill
