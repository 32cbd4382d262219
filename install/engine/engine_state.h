// The state of one installation run that the engine's parts share: the
// executor, file installation, destinations and disks. Created per run and
// passed down by reference; nothing here is process-wide.
#pragma once

#include <cstdint>
#include <string>

namespace install::engine {

// Byte progress of the copy. Bytes count only while the run has a total and
// no entry of the script uses an external unpacker (their sizes are unknown).
struct ByteProgress {
  int64_t total = 0;                 // set by the executor; progress counts only above 0
  int64_t done = 0;                  // bytes copied, extracted or skipped so far
  int64_t done_at_last_refresh = 0;  // `done` when the display was last refreshed
  bool no_byte_progress = false;     // some FILE entry is COMPRESSED or SELF-EXTRACT

  bool Counts() const { return !no_byte_progress && total > 0; }
};

// The display is refreshed once more than this many bytes were added since the
// last refresh.
inline constexpr int64_t kProgressRefreshBytes = 50000;

struct EngineState {
  std::string installation_dir;   // the chosen DEFAULTDIR, no "\" added
  char destination_drive = 0;     // its first character
  int32_t free_space = 0;         // bytes free on the destination drive, saturated at INT32_MAX
  int current_disk_index = -1;    // the last disk-change entry reached; -1 before the first
  int position = 0;               // the executor's position in the FileList
  std::string source_dir;         // the directory the script was read from, no "\" at the end
  ByteProgress progress;
};

}  // namespace install::engine
