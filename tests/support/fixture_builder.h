// Fixture builders for the installer's tests: install archives appended to a
// program file, compressed volume sets split over several volume files, and a
// temporary directory that removes itself.
//
// How the fixtures are laid out (all numbers little-endian):
//
// Program file with an install archive (BuildProgramWithArchive):
//   [program bytes, any content]                   archive offset = their length
//   "[Tarsk]" NUL                                   8 bytes, leading magic
//   for each member, in the order given:
//     entry header 276 bytes: next (absolute offset of the following header,
//       0 after the last), attributes, time, date, size, name (256 bytes, the
//       name, a NUL, then `name_filler` bytes to the end)
//     the member's bytes, uncompressed
//   trailer 16 bytes: "[Tarsk]" NUL, directory offset (absolute offset of the
//     first entry header), second offset (equal to the directory offset)
// Corruptions change only the numbers: the last entry's next pointing back to
// the first (loop), or past the end of the file; the first entry's size running
// past the file; the trailer's directory offset 0.
//
// Compressed volume set (BuildVolumeSet): volume files named by the caller
// (missing names become "<stem>.<n>"), each at most its byte budget long:
//   volume header 58 bytes: next volume name (14 bytes, NUL-terminated, empty
//     in the last volume), "t", member count (the number of members unless
//     overridden), kind "t" in the first volume and "u" in the others, 38 zeros
//   member headers (168 bytes: name in 136 bytes, compressed size, date, time,
//     20 zeros), each followed by the member's bytes as given (already
//     compressed: raw test bytes, or a DCL stream from ImplodedMember). A
//     header never straddles a volume: when fewer than 168 bytes of budget
//     are left the volume ends (optionally padded with zeros up to the
//     budget). Member bytes straddle: they fill the volume to its budget and
//     continue after the next header.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const std::string& text);
void PutLe16(Bytes& out, size_t at, uint16_t value);
void PutLe32(Bytes& out, size_t at, uint32_t value);
void AppendLe16(Bytes& out, uint16_t value);
void AppendLe32(Bytes& out, uint32_t value);

// Writes a local file (creating its directory); false on failure.
bool WriteLocalFile(const std::filesystem::path& path, const Bytes& bytes);
std::optional<Bytes> ReadLocalFile(const std::filesystem::path& path);

// --- Install archive -------------------------------------------------------

struct ArchiveMember {
  std::string name;
  Bytes data;
  uint32_t attributes = 0x20;
  uint32_t time = 0;
  uint32_t date = 0;
};

enum class ArchiveCorruption {
  None,
  LoopingChain,         // the last entry's next points back to the first entry
  NextPastEnd,          // the last entry's next points beyond the end of the file
  SizePastEnd,          // the first entry's size runs past the end of the file
  ZeroDirectoryOffset,  // the trailer's directory offset is 0
};

struct ArchiveOptions {
  ArchiveCorruption corruption = ArchiveCorruption::None;
  // Fills the name field after the name's NUL (the builder of the shipped
  // archive leaves whatever was in memory there).
  uint8_t name_filler = 0;
};

// Where things landed, as absolute offsets in the program file.
struct ArchiveLayout {
  uint32_t archive_offset = 0;
  uint32_t directory_offset = 0;
  std::vector<uint32_t> entry_offsets;
  std::vector<uint32_t> data_offsets;
  uint32_t file_size = 0;
};

// The program bytes followed by the archive. `layout` may be null.
Bytes BuildProgramWithArchive(const Bytes& program, const std::vector<ArchiveMember>& members,
                              const ArchiveOptions& options = {}, ArchiveLayout* layout = nullptr);

// --- Compressed volume sets ------------------------------------------------

struct VolumeMember {
  std::string name;  // longer than 135 characters is written without its NUL
  Bytes compressed;
  uint32_t date = 0;
  uint32_t time = 0;
};

// A member whose bytes are `plain` compressed with the engine's DCL encoder
// (binary literals, 4096-byte dictionary).
VolumeMember ImplodedMember(const std::string& name, const Bytes& plain, uint32_t date = 0,
                            uint32_t time = 0);

struct VolumeSetOptions {
  // Names of the volume files, first volume first. When the set needs more
  // volumes, the rest are named "<stem of the first name>.<number from 2>".
  std::vector<std::string> volume_names = {"DATA.1"};
  // Byte budget of each volume (header included); the last budget applies to
  // all further volumes. Each must be at least 58 + 168 + 1.
  std::vector<uint32_t> budgets = {1u << 20};
  // Member count written in the first volume header (default: the members).
  std::optional<int16_t> member_count;
  // Pads each volume that ended early (fewer than 168 bytes left) with zeros
  // up to its budget.
  bool pad_volume_ends = false;
};

struct VolumeFile {
  std::string name;
  Bytes bytes;
};

// Builds the volume files. Returns an empty list when a budget is too small.
std::vector<VolumeFile> BuildVolumeSet(const std::vector<VolumeMember>& members,
                                       const VolumeSetOptions& options = {});
// Writes the files into `directory`; false on failure.
bool WriteVolumeSet(const std::filesystem::path& directory, const std::vector<VolumeFile>& volumes);

// Single headers, for hand-made sets.
Bytes MakeVolumeHeader(const std::string& next_volume, int16_t member_count, uint16_t kind,
                       uint16_t signature = 0x0074);
Bytes MakeMemberHeader(const std::string& name, uint32_t compressed_size, uint32_t date = 0,
                       uint32_t time = 0);

// --- Temporary directory ---------------------------------------------------

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `relative` (directories created) and returns its full local path.
  std::filesystem::path Write(const std::string& relative, const Bytes& bytes) const;
  std::filesystem::path Write(const std::string& relative, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
