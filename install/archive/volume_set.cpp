#include "install/archive/volume_set.h"

#include "install/ui/builtin_texts.h"

#include <algorithm>
#include <cstring>

#include "install/archive/little_endian.h"
#include "install/os/ascii_case.h"

namespace install::archive {
namespace {

// Volume header field offsets.
constexpr size_t kVolumeNextName = 0;
constexpr size_t kVolumeSignatureAt = 14;
constexpr size_t kVolumeCount = 16;
constexpr size_t kVolumeKind = 18;

// Member header field offsets.
constexpr size_t kMemberName = 0;
constexpr size_t kMemberCompressedSize = 136;
constexpr size_t kMemberDate = 140;
constexpr size_t kMemberTime = 144;


// A NUL-terminated text field of `size` bytes; *terminated tells whether the
// NUL was there.
std::string TextField(const uint8_t* p, size_t size, bool* terminated) {
  const char* text = reinterpret_cast<const char*>(p);
  size_t length = strnlen(text, size);
  *terminated = length < size;
  return std::string(text, length);
}

// A path component the system would read as "." or "..": only dots, once its
// trailing dots and spaces are dropped.
bool IsDotsOnly(const std::string& component) {
  return !component.empty() && component.find_first_not_of(". ") == std::string::npos;
}

// Reads until `count` bytes arrived, the stream ended or a read failed.
uint32_t ReadFully(SourceReader& sources, SourceStream& stream, void* buffer, uint32_t count,
                   bool* failed) {
  *failed = false;
  uint32_t done = 0;
  while (done < count) {
    int32_t got = sources.ReadSource(stream, static_cast<uint8_t*>(buffer) + done, count - done);
    if (got < 0) {
      *failed = true;
      break;
    }
    if (got == 0) break;
    done += uint32_t(got);
  }
  return done;
}

// A control character (which would also forge lines in a listing) or one
// of the characters Windows file names cannot hold.
bool HasCharacterNoNameHolds(const std::string& name) {
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::strchr("<>\"|*?", c) != nullptr) return true;
  }
  return false;
}

bool IsFirstVolumeHeader(const VolumeHeader& header) {
  return header.signature == kVolumeSignature && header.kind == kFirstVolumeKind;
}

bool HasUsableNextName(const VolumeHeader& header) {
  return header.next_volume_terminated &&
         (header.next_volume.empty() || IsSafeVolumeName(header.next_volume));
}

}  // namespace

VolumeHeader ParseVolumeHeader(const uint8_t* bytes) {
  VolumeHeader header;
  header.next_volume =
      TextField(bytes + kVolumeNextName, kVolumeNextNameSize, &header.next_volume_terminated);
  header.signature = Le16(bytes + kVolumeSignatureAt);
  header.member_count = int16_t(Le16(bytes + kVolumeCount));
  header.kind = Le16(bytes + kVolumeKind);
  return header;
}

MemberHeader ParseMemberHeader(const uint8_t* bytes) {
  MemberHeader member;
  member.name = TextField(bytes + kMemberName, kMemberNameSize, &member.name_terminated);
  member.compressed_size = Le32(bytes + kMemberCompressedSize);
  member.date = Le32(bytes + kMemberDate);
  member.time = Le32(bytes + kMemberTime);
  return member;
}

bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = os::UpperAscii(c);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

bool IsSafeMemberName(const std::string& name) {
  if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
  if (name.find(':') != std::string::npos || HasCharacterNoNameHolds(name)) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    std::string component = name.substr(start, end - start);
    if (component != "." && IsDotsOnly(component)) return false;
    if (IsDeviceName(component)) return false;
    start = end + 1;
  }
  return true;
}

bool IsSafeVolumeName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos && !IsDotsOnly(name) &&
         !HasCharacterNoNameHolds(name) && !IsDeviceName(name);
}

bool IsMultiVolumeStart(SourceReader& sources, const std::string& path) {
  std::unique_ptr<SourceStream> stream = sources.OpenSource(path);
  if (!stream) return false;
  uint8_t bytes[kVolumeHeaderSize] = {};
  bool failed;
  uint32_t got = ReadFully(sources, *stream, bytes, kVolumeHeaderSize, &failed);
  SourceReader::CloseSource(std::move(stream));
  if (got < kVolumeHeaderSize) return false;
  VolumeHeader header = ParseVolumeHeader(bytes);
  return IsFirstVolumeHeader(header) && !header.next_volume.empty() && HasUsableNextName(header);
}

VolumeSetReader::VolumeSetReader(SourceReader& sources, ui::Desktop& desktop,
                                 NextDiskRequester& disks, ProgressHooks& progress)
    : sources_(sources), desktop_(desktop), disks_(disks), progress_(progress) {}

VolumeSetReader::~VolumeSetReader() = default;

void VolumeSetReader::ShowWarning(const std::string& text) {
  desktop_.MessageBox(text, nullptr, ui::kMbOk | ui::kMbIconWarning);
}

uint32_t VolumeSetReader::ReadVolume(void* buffer, uint32_t count, bool* failed) {
  if (!volume_) {
    *failed = true;
    return 0;
  }
  return ReadFully(sources_, *volume_, buffer, count, failed);
}

void VolumeSetReader::CloseVolume() { volume_.reset(); }

int VolumeSetReader::OpenFirstVolume(const std::string& path) {
  CloseVolume();
  aborted_ = false;
  remaining_members_ = 0;
  volumes_opened_ = 0;
  bytes_handed_out_ = 0;
  member_ = MemberHeader();
  volume_header_ = VolumeHeader();

  volume_ = sources_.OpenSource(path);
  if (!volume_) return kVolumeNotOpened;
  volume_path_ = path;
  size_t cut = path.find_last_of("\\/");
  set_directory_ = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);

  uint8_t bytes[kVolumeHeaderSize] = {};
  bool failed;
  if (ReadVolume(bytes, kVolumeHeaderSize, &failed) < kVolumeHeaderSize) {
    CloseVolume();
    return kNotAVolumeSet;
  }
  VolumeHeader header = ParseVolumeHeader(bytes);
  if (!IsFirstVolumeHeader(header)) {
    CloseVolume();
    return kNotAVolumeSet;
  }
  if (!HasUsableNextName(header)) {
    ShowWarning(std::string(ui::kInvalidCompressedFileText) + path);
    CloseVolume();
    return kVolumeFailed;
  }
  volume_header_ = header;
  remaining_members_ = header.member_count;
  volumes_opened_ = 1;
  return kVolumeOk;
}

int VolumeSetReader::ReadMemberHeader(MemberHeader* member) {
  uint8_t bytes[kMemberHeaderSize] = {};
  bool failed;
  uint32_t got = ReadVolume(bytes, kMemberHeaderSize, &failed);
  if (got < kMemberHeaderSize) {
    // Once the count is reached the volume's end is the set's end.
    if (remaining_members_ <= 0) return kVolumeSetComplete;
    if (volume_header_.next_volume.empty()) {
      ShowWarning(std::string(ui::kReadingFileErrorText) + volume_path_);
      return kVolumeFailed;
    }
    if (OpenNextVolume() != 0) return kVolumeFailed;
    if (ReadVolume(bytes, kMemberHeaderSize, &failed) < kMemberHeaderSize) {
      ShowWarning(std::string(ui::kReadingFileErrorText) + volume_path_);
      return kVolumeFailed;
    }
  }
  MemberHeader header = ParseMemberHeader(bytes);
  if (!header.name_terminated || !IsSafeMemberName(header.name)) {
    ShowWarning(std::string(ui::kInvalidCompressedFileText) + volume_path_);
    return kVolumeFailed;
  }
  --remaining_members_;
  bytes_handed_out_ = 0;
  member_ = header;
  *member = header;
  return kVolumeOk;
}

uint32_t VolumeSetReader::ReadMemberBytes(void* buffer, uint32_t count) {
  // After a failure the decoder only runs down; it gets no more input.
  if (aborted_) return 0;
  uint32_t left = member_.compressed_size - std::min(bytes_handed_out_, member_.compressed_size);
  uint32_t request = std::min(count, left);
  bytes_handed_out_ += request;
  if (request == 0) return 0;

  uint8_t* out = static_cast<uint8_t*>(buffer);
  bool failed;
  uint32_t total = ReadVolume(out, request, &failed);
  if (failed) {
    aborted_ = true;
    ShowWarning(std::string(ui::kReadingDiskErrorText));
    return 0;
  }
  // The stream straddles into the next volume(s); in the last volume a short
  // read is handed on as it is.
  while (total < request && !volume_header_.next_volume.empty()) {
    if (OpenNextVolume() != 0) {
      aborted_ = true;
      return 0;
    }
    uint32_t got = ReadVolume(out + total, request - total, &failed);
    if (failed || got == 0) {
      ShowWarning(std::string(ui::kReadingDiskErrorText));
      aborted_ = true;
      return 0;
    }
    total += got;
  }
  return total;
}

int VolumeSetReader::SkipMemberData() {
  progress_.ShowFileBeingInstalled(member_.name);
  progress_.RefreshProgress();
  uint32_t remaining =
      member_.compressed_size - std::min(bytes_handed_out_, member_.compressed_size);
  while (true) {
    if (!volume_) return -1;
    int64_t position = sources_.TellSource(*volume_);
    int64_t length = sources_.SeekSource(*volume_, 0, 2);
    if (position < 0 || length < 0) {
      ShowWarning(std::string(ui::kReadingDiskErrorText));
      return -1;
    }
    uint64_t available = length > position ? uint64_t(length - position) : 0;
    if (available >= remaining) {
      if (sources_.SeekSource(*volume_, position + remaining, 0) < 0) {
        ShowWarning(std::string(ui::kReadingDiskErrorText));
        return -1;
      }
      bytes_handed_out_ = member_.compressed_size;
      return 0;
    }
    remaining -= uint32_t(available);
    if (volume_header_.next_volume.empty()) {
      // The member claims more data than the set holds.
      ShowWarning(std::string(ui::kInvalidCompressedFileText) + volume_path_);
      return -1;
    }
    if (OpenNextVolume() != 0) return -1;
  }
}

int VolumeSetReader::OpenNextVolume() {
  CloseVolume();
  const std::string next_name = volume_header_.next_volume;
  if (next_name.empty()) return -1;
  const std::string next_path = set_directory_ + next_name;
  last_continuation_volume_ = next_name;
  if (++volumes_opened_ > kMaxVolumesPerSet) {
    ShowWarning(std::string(ui::kInvalidCompressedFileText) + next_path);
    return -1;
  }

  if (desktop_.PumpMessages()) return -1;
  if (disks_.RequestNextDisk(true) != kDiskInPlace) return -1;
  while (!(volume_ = sources_.OpenSource(next_path))) {
    if (disks_.RequestNextDisk(false) != kDiskInPlace) return -1;
  }
  volume_path_ = next_path;

  progress_.RefreshProgress();
  uint8_t bytes[kVolumeHeaderSize] = {};
  bool failed;
  uint32_t got = ReadVolume(bytes, kVolumeHeaderSize, &failed);
  VolumeHeader header = ParseVolumeHeader(bytes);
  if (got < kVolumeHeaderSize || header.signature != kVolumeSignature ||
      header.kind != kContinuationVolumeKind || !HasUsableNextName(header)) {
    ShowWarning(std::string(ui::kInvalidCompressedFileText) + next_path);
    CloseVolume();
    return -1;
  }
  volume_header_ = header;
  return 0;
}

}  // namespace install::archive
