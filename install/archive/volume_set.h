// Compressed volume sets: the reader that walks the volumes and member headers
// and hands a member's compressed bytes to the decoder across volume ends.
//
// Format (all numbers little-endian). Each volume file starts with a volume
// header:
//
//    0  14  next volume: file name (no directory) of the next volume,
//           NUL-terminated; empty in the last volume
//   14   2  signature "t" (0x0074)
//   16   2  member count (signed): members of the whole set, from the first
//           volume; ignored in later volumes
//   18   2  volume kind: "t" (0x0074) first volume, "u" (0x0075) continuation
//   20  38  unused
//
// then members, each a member header followed by its compressed stream:
//
//    0 136  name: path relative to the destination directory, NUL-terminated,
//           "\" separating subdirectories
//  136   4  compressed size (bytes of stream after the header)
//  140   4  DOS date
//  144   4  DOS time
//  148  20  unused
//
// A member header never straddles two volumes: when fewer than 168 bytes are
// left in a volume, the next header follows the next volume's header. A
// member's compressed stream may straddle: it continues right after the next
// volume's header. Once as many member headers as the first volume's count
// have been read, the end of a volume ends the set.
//
// Names in headers come from the disk and are not trusted: a member name must
// stay inside the destination directory (IsSafeMemberName) and a next-volume
// name must be a bare file name (IsSafeVolumeName); otherwise the volume is
// reported as an invalid compressed file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "install/archive/disk_request.h"
#include "install/archive/progress_hooks.h"
#include "install/archive/source_stream.h"
#include "install/ui/desktop.h"

namespace install::archive {

inline constexpr uint32_t kVolumeHeaderSize = 58;
inline constexpr uint32_t kVolumeNextNameSize = 14;
inline constexpr uint32_t kMemberHeaderSize = 168;
inline constexpr uint32_t kMemberNameSize = 136;
inline constexpr uint16_t kVolumeSignature = 0x0074;       // "t"
inline constexpr uint16_t kFirstVolumeKind = 0x0074;       // "t"
inline constexpr uint16_t kContinuationVolumeKind = 0x0075;  // "u"
// A set never spans more volumes than this; a chain of next-volume names that
// runs longer (a volume naming itself, say) is treated as damaged.
inline constexpr int kMaxVolumesPerSet = 1000;

// Built-in messages of the set reader (shown in a warning box, default caption).

struct VolumeHeader {
  std::string next_volume;
  bool next_volume_terminated = false;  // a NUL within the 14 bytes
  uint16_t signature = 0;
  int16_t member_count = 0;
  uint16_t kind = 0;
};

struct MemberHeader {
  std::string name;
  bool name_terminated = false;  // a NUL within the 136 bytes
  uint32_t compressed_size = 0;
  uint32_t date = 0;
  uint32_t time = 0;
};

// Decode a header from exactly kVolumeHeaderSize / kMemberHeaderSize bytes.
VolumeHeader ParseVolumeHeader(const uint8_t* bytes);
MemberHeader ParseMemberHeader(const uint8_t* bytes);

// True when a member name is a relative path that stays inside the directory it
// is extracted to: not empty, no leading "\" or "/", no ":" (drive letters,
// streams), no component made only of dots (other than ".") or of dots and
// spaces (the system drops trailing dots and spaces, so ".. " would climb).
bool IsSafeMemberName(const std::string& name);
// True when a next-volume name is a bare file name: not empty, no "\", "/" or
// ":", and not made only of dots and spaces.
bool IsSafeVolumeName(const std::string& name);
// Both also refuse what no file name on Windows holds and what would name
// something other than a file: a control character (below a space, and
// DEL), one of < > " | * ?, and a component that is a DOS device name.

// True when a path component names a DOS device whatever its extension:
// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9 and CLOCK$, in any letter
// case, before the first dot, with trailing spaces ignored ("con .txt").
bool IsDeviceName(const std::string& component);

// True when `path` opens as a source and starts with a whole first-volume
// header whose next-volume name is a safe, non-empty name: the first volume of
// a set that spans several volumes. A source that cannot be opened gives false.
bool IsMultiVolumeStart(SourceReader& sources, const std::string& path);

// Results of the set reader.
enum : int {
  kVolumeOk = 0,
  kVolumeSetComplete = 1,   // ReadMemberHeader: no further member
  kVolumeFailed = -1,       // message shown (or the user cancelled)
  kNotAVolumeSet = -2,      // OpenFirstVolume: not a compressed volume set
  kVolumeNotOpened = -3,    // OpenFirstVolume: the source cannot be opened; no message
};

// Reads one compressed volume set at a time. Lives for the whole run: the name
// of the last continuation volume opened outlasts each set.
class VolumeSetReader {
 public:
  VolumeSetReader(SourceReader& sources, ui::Desktop& desktop, NextDiskRequester& disks,
                  ProgressHooks& progress);
  ~VolumeSetReader();
  VolumeSetReader(const VolumeSetReader&) = delete;
  VolumeSetReader& operator=(const VolumeSetReader&) = delete;

  // Starts a set at its first volume: clears the abort flag, opens `path`,
  // notes its directory and reads the volume header. kVolumeOk, kNotAVolumeSet
  // (short header, wrong signature or kind), kVolumeNotOpened, or kVolumeFailed
  // after "Invalid compressed file " + path (unsafe next-volume name).
  int OpenFirstVolume(const std::string& path);

  // Reads the next member header, moving to the next volume when fewer than
  // 168 bytes are left and the member count is not reached yet.
  // kVolumeOk: *member filled, it is the current member (bytes handed out 0).
  // kVolumeSetComplete: the count is reached and the volume ended.
  // kVolumeFailed: "Reading file error: " + volume path (the volume ended
  // early, or the next one ended before a whole header), "Invalid compressed
  // file " + volume path (unsafe member name), or OpenNextVolume failed.
  int ReadMemberHeader(MemberHeader* member);

  // The decoder's read callback: up to `count` bytes of the current member's
  // compressed stream, continuing into the next volumes when the stream
  // straddles. Never hands out more than the member's compressed size. Returns
  // 0 at the member's end and after a failure (the abort flag is then set;
  // "Reading disk error." has been shown for a read failure).
  uint32_t ReadMemberBytes(void* buffer, uint32_t count);

  // Skips the current member's compressed stream (the member is not
  // extracted). 0, or -1 when a following volume could not be opened or the
  // stream runs past the last volume ("Invalid compressed file ").
  int SkipMemberData();

  // Closes the current volume and opens the next one, asking for its disk.
  // 0, or -1 on cancel or failure ("Invalid compressed file " + path for a
  // short header or the wrong signature or kind).
  int OpenNextVolume();

  // Closes the current volume (the set's end or failure).
  void CloseVolume();

  bool aborted() const { return aborted_; }
  // Set by the decoder's output writer when a write fails.
  void SetAborted() { aborted_ = true; }

  const std::string& last_continuation_volume() const { return last_continuation_volume_; }
  void ClearLastContinuationVolume() { last_continuation_volume_.clear(); }

  const VolumeHeader& volume_header() const { return volume_header_; }
  const MemberHeader& current_member() const { return member_; }
  const std::string& current_volume_path() const { return volume_path_; }
  // The first volume's directory, up to and including its last "\".
  const std::string& set_directory() const { return set_directory_; }
  // Member headers still expected from the first volume's count (negative once
  // headers beyond the count were read).
  int remaining_members() const { return remaining_members_; }
  bool volume_open() const { return volume_ != nullptr; }

 private:
  uint32_t ReadVolume(void* buffer, uint32_t count, bool* failed);
  void ShowWarning(const std::string& text);

  SourceReader& sources_;
  ui::Desktop& desktop_;
  NextDiskRequester& disks_;
  ProgressHooks& progress_;

  std::unique_ptr<SourceStream> volume_;
  std::string volume_path_;
  std::string set_directory_;
  VolumeHeader volume_header_;
  MemberHeader member_;
  int remaining_members_ = 0;
  int volumes_opened_ = 0;
  uint32_t bytes_handed_out_ = 0;
  bool aborted_ = false;
  std::string last_continuation_volume_;
};

}  // namespace install::archive
