// What `quill list` and `quill extract` share: a compressed volume set opened
// from a local file on the host machine, its next volumes looked up in the
// same directory without asking for disks, and the reader's messages printed
// with local paths.
#pragma once

#include <filesystem>
#include <string>

#include "install/engine/engine_state.h"
#include "install/archive/source_stream.h"
#include "install/archive/volume_set.h"
#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"

namespace quill {

// The set's directory is drive A:, the output directory (extract) drive E:.
inline constexpr char kSetDrive[] = "A:\\";
inline constexpr char kOutputDrive[] = "E:\\";

// Prints every message box as "quill COMMAND: TEXT" on stderr, with drive
// paths turned back into local ones; the dialogs of a run are never shown.
class ConsoleDesktop : public install::ui::HostDesktop {
 public:
  ConsoleDesktop(std::string command, std::filesystem::path set_dir, std::filesystem::path output_dir)
      : command_(std::move(command)), set_dir_(std::move(set_dir)), output_dir_(std::move(output_dir)) {}
  int MessageBox(const std::string& text, const char* caption, unsigned style) override;
  int messages() const { return messages_; }
  // The local folder that drive A: stands for (it changes with a disk swap).
  void set_set_dir(std::filesystem::path dir) { set_dir_ = std::move(dir); }
  // `text` with its drive paths made local.
  std::string Local(const std::string& text) const;
  void Report(const std::string& text);

 private:
  std::string command_;
  std::filesystem::path set_dir_;
  std::filesystem::path output_dir_;
  int messages_ = 0;
};

// Next volumes are in the same directory as the first, or each in a folder
// of its own beside it (OUT/disk1/APP.1, OUT/disk2/APP.2, as `quill pack`
// writes them): then drive A: is moved to that folder, as if the disk had
// been swapped. A volume found in neither place ends the set with a line
// naming it.
class FolderDisks : public install::archive::NextDiskRequester {
 public:
  FolderDisks(ConsoleDesktop& desktop, install::os::HostMachine& machine, std::filesystem::path disk_dir)
      : desktop_(desktop), machine_(machine), disk_dir_(std::move(disk_dir)) {}
  void set_reader(const install::archive::VolumeSetReader* reader) { reader_ = reader; }
  int RequestNextDisk(bool advance) override;

 private:
  // Moves drive A: to the folder beside the current one that holds `name`;
  // false when there is none.
  bool SwapToFolderHolding(const std::string& name);

  ConsoleDesktop& desktop_;
  install::os::HostMachine& machine_;
  std::filesystem::path disk_dir_;
  const install::archive::VolumeSetReader* reader_ = nullptr;
};

struct VolumeSession {
  VolumeSession(const std::string& command, const std::filesystem::path& first_volume,
                const std::filesystem::path& output_dir);

  std::filesystem::path set_dir;
  std::string first_volume_path;  // on drive A:
  install::os::HostMachine machine;
  ConsoleDesktop desktop;
  FolderDisks disks;
  install::archive::ProgressHooks quiet;
  install::archive::SourceReader sources;
  install::archive::VolumeSetReader reader;
};

// "YYYY-MM-DD HH:MM:SS" of a DOS date and time.
std::string FormatDosDateTime(uint32_t date, uint32_t time);

}  // namespace quill
