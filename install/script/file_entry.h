// FILE and INSERTDISK lines: the files to install and the points where the
// next source disk begins, one FileEntry each, kept in script order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace install::script {

class ScriptCursor;
class GroupMap;

// What to do when the destination file exists.
enum class OverwriteMode : int32_t { No = 0, Yes = 1, Ask = 2, New = 3 };

enum class FileEntryKind : int32_t {
  File = 0,            // a FILE line
  DiskChange = 1,      // INSERTDISK with a disk name only
  DiskChangeCheck = 2, // INSERTDISK with a disk name and a check text
};

enum class Compression : int32_t { None = 0, Compressed = 1, SelfExtract = 2 };

enum class SourceKind : int32_t {
  Relative = 0,  // stored with a "\" put in front
  Rooted = 1,    // began with "\"
  Absolute = 2,  // "X:..." or a macro ("$...")
};

// Attribute bits given to the installed file.
enum : uint8_t {
  kFileAttrReadOnly = 0x01,
  kFileAttrHidden = 0x02,
  kFileAttrSystem = 0x04,
  kFileAttrArchive = 0x20,
  kFileAttrNormal = 0x80,  // no attribute given
};

inline constexpr std::size_t kFileGroupSlots = 12;
inline constexpr uint16_t kNoGroup = 0xFFFF;

// Capacities, in characters; longer texts make the line malformed.
inline constexpr std::size_t kFileNameCapacity = 579;
inline constexpr std::size_t kDiskCheckCapacity = 80;
inline constexpr std::size_t kSourceCapacity = 498;
inline constexpr std::size_t kRelativeSourceCapacity = 79;  // before the "\" is put in front

struct FileEntry {
  FileEntryKind kind = FileEntryKind::File;
  std::string name;        // FILE: the file as written; INSERTDISK: the disk's name
  std::string disk_check;  // INSERTDISK: text that recognises the disk
  Compression compression = Compression::None;
  OverwriteMode overwrite = OverwriteMode::Ask;
  std::array<uint16_t, kFileGroupSlots> groups = FilledGroups();  // group item indexes
  int32_t popup = -1;      // number of the PopupMessage to show; -1 none
  std::string source;      // SOURCE= directory, no trailing "\"
  bool has_source = false;
  SourceKind source_kind = SourceKind::Relative;
  bool error = false;      // the line was malformed
  uint8_t attributes = kFileAttrNormal;

  bool IsDiskChange() const { return kind != FileEntryKind::File; }

 private:
  static std::array<uint16_t, kFileGroupSlots> FilledGroups() {
    std::array<uint16_t, kFileGroupSlots> groups;
    groups.fill(kNoGroup);
    return groups;
  }
};

// What a FILE line takes from the plan at the moment it is read.
struct FileLineContext {
  OverwriteMode default_overwrite = OverwriteMode::Ask;  // the current OVERWRITEFILE
  const GroupMap* group_map = nullptr;  // group number -> item index (GROUP=)
};

// Reads the rest of a FILE line (name, then options) into `out`. Returns 0
// when the line is well formed, 1 when it is malformed (out->error is then
// set and no further option was read). A COMPRESSED or SELF-EXTRACT option
// shows in out->compression; the caller sets the plan's external-unpacking
// flag from it.
int ParseFileLine(ScriptCursor& cursor, const FileLineContext& context, FileEntry* out);

// Reads the rest of an INSERTDISK line. Never rejects the line: the entry is
// kept as far as it was read (its error flag tells a bad tail).
FileEntry ParseInsertDiskLine(ScriptCursor& cursor);

}  // namespace install::script
