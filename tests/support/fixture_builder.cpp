#include "tests/support/fixture_builder.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <system_error>

#include "install/archive/implode.h"

namespace test_support {
namespace {

constexpr uint32_t kEntryHeaderSize = 276;
constexpr uint32_t kEntryNameSize = 256;
constexpr uint32_t kVolumeHeaderSize = 58;
constexpr uint32_t kMemberHeaderSize = 168;
constexpr uint32_t kMemberNameSize = 136;
constexpr uint32_t kVolumeNameSize = 14;
const char kMagic[8] = {'[', 'T', 'a', 'r', 's', 'k', ']', '\0'};

void AppendMagic(Bytes& out) { out.insert(out.end(), kMagic, kMagic + sizeof kMagic); }

// A text field of `field_size` bytes: the text, a NUL when it fits, then
// `filler` bytes to the end. A text as long as the field has no NUL.
void AppendText(Bytes& out, const std::string& text, size_t field_size, uint8_t filler) {
  size_t copied = std::min(text.size(), field_size);
  out.insert(out.end(), text.begin(), text.begin() + copied);
  if (copied < field_size) out.push_back(0);
  for (size_t used = copied + 1; used < field_size; ++used) out.push_back(filler);
}

std::string VolumeName(const VolumeSetOptions& options, size_t index) {
  if (index < options.volume_names.size()) return options.volume_names[index];
  std::string first = options.volume_names.empty() ? "DATA.1" : options.volume_names[0];
  std::string stem = first.substr(0, first.find_last_of('.'));
  return stem + "." + std::to_string(index + 1);
}

uint32_t Budget(const VolumeSetOptions& options, size_t index) {
  if (options.budgets.empty()) return UINT32_MAX;
  return options.budgets[std::min(index, options.budgets.size() - 1)];
}

}  // namespace

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

void PutLe16(Bytes& out, size_t at, uint16_t value) {
  out.at(at) = uint8_t(value);
  out.at(at + 1) = uint8_t(value >> 8);
}

void PutLe32(Bytes& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.at(at + i) = uint8_t(value >> (8 * i));
}

void AppendLe16(Bytes& out, uint16_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void AppendLe32(Bytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

bool WriteLocalFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

std::optional<Bytes> ReadLocalFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// --- Install archive -------------------------------------------------------

Bytes BuildProgramWithArchive(const Bytes& program, const std::vector<ArchiveMember>& members,
                              const ArchiveOptions& options, ArchiveLayout* layout) {
  ArchiveLayout where;
  Bytes out = program;
  where.archive_offset = uint32_t(out.size());
  AppendMagic(out);
  for (size_t i = 0; i < members.size(); ++i) {
    const ArchiveMember& member = members[i];
    uint32_t entry = uint32_t(out.size());
    uint32_t next = i + 1 < members.size() ? uint32_t(entry + kEntryHeaderSize + member.data.size()) : 0;
    where.entry_offsets.push_back(entry);
    where.data_offsets.push_back(entry + kEntryHeaderSize);
    AppendLe32(out, next);
    AppendLe32(out, member.attributes);
    AppendLe32(out, member.time);
    AppendLe32(out, member.date);
    AppendLe32(out, uint32_t(member.data.size()));
    AppendText(out, member.name, kEntryNameSize, options.name_filler);
    out.insert(out.end(), member.data.begin(), member.data.end());
  }
  where.directory_offset = where.entry_offsets.empty() ? 0 : where.entry_offsets[0];
  AppendMagic(out);
  uint32_t directory =
      options.corruption == ArchiveCorruption::ZeroDirectoryOffset ? 0 : where.directory_offset;
  AppendLe32(out, directory);
  AppendLe32(out, where.directory_offset);
  where.file_size = uint32_t(out.size());

  if (!where.entry_offsets.empty()) {
    uint32_t last = where.entry_offsets.back();
    switch (options.corruption) {
      case ArchiveCorruption::LoopingChain:
        PutLe32(out, last, where.entry_offsets.front());
        break;
      case ArchiveCorruption::NextPastEnd:
        PutLe32(out, last, where.file_size + 1000);
        break;
      case ArchiveCorruption::SizePastEnd:
        PutLe32(out, where.entry_offsets.front() + 16, where.file_size);
        break;
      default:
        break;
    }
  }
  if (layout) *layout = where;
  return out;
}

// --- Compressed volume sets ------------------------------------------------

VolumeMember ImplodedMember(const std::string& name, const Bytes& plain, uint32_t date,
                            uint32_t time) {
  VolumeMember member{name, {}, date, time};
  install::archive::ImplodeBuffer(plain.data(), plain.size(), install::archive::kImplodeBinary, 4096,
                                 member.compressed);
  return member;
}

Bytes MakeVolumeHeader(const std::string& next_volume, int16_t member_count, uint16_t kind,
                       uint16_t signature) {
  Bytes out;
  AppendText(out, next_volume, kVolumeNameSize, 0);
  AppendLe16(out, signature);
  AppendLe16(out, uint16_t(member_count));
  AppendLe16(out, kind);
  out.resize(kVolumeHeaderSize, 0);
  return out;
}

Bytes MakeMemberHeader(const std::string& name, uint32_t compressed_size, uint32_t date,
                       uint32_t time) {
  Bytes out;
  AppendText(out, name, kMemberNameSize, 0);
  AppendLe32(out, compressed_size);
  AppendLe32(out, date);
  AppendLe32(out, time);
  out.resize(kMemberHeaderSize, 0);
  return out;
}

std::vector<VolumeFile> BuildVolumeSet(const std::vector<VolumeMember>& members,
                                       const VolumeSetOptions& options) {
  std::vector<VolumeFile> volumes;
  auto start_volume = [&]() -> bool {
    if (!volumes.empty() && options.pad_volume_ends) {
      Bytes& previous = volumes.back().bytes;
      previous.resize(std::max<size_t>(previous.size(), Budget(options, volumes.size() - 1)), 0);
    }
    if (Budget(options, volumes.size()) < kVolumeHeaderSize + kMemberHeaderSize) return false;
    volumes.push_back(VolumeFile{VolumeName(options, volumes.size()), Bytes(kVolumeHeaderSize, 0)});
    return true;
  };
  auto room = [&]() -> uint32_t {
    uint32_t budget = Budget(options, volumes.size() - 1);
    uint32_t used = uint32_t(volumes.back().bytes.size());
    return budget > used ? budget - used : 0;
  };

  if (!start_volume()) return {};
  for (const VolumeMember& member : members) {
    if (room() < kMemberHeaderSize && !start_volume()) return {};
    Bytes header = MakeMemberHeader(member.name, uint32_t(member.compressed.size()), member.date,
                                    member.time);
    volumes.back().bytes.insert(volumes.back().bytes.end(), header.begin(), header.end());
    size_t written = 0;
    while (written < member.compressed.size()) {
      if (room() == 0 && !start_volume()) return {};
      size_t part = std::min<size_t>(room(), member.compressed.size() - written);
      Bytes& bytes = volumes.back().bytes;
      bytes.insert(bytes.end(), member.compressed.begin() + written,
                   member.compressed.begin() + written + part);
      written += part;
    }
  }

  int16_t count = options.member_count.value_or(int16_t(members.size()));
  for (size_t i = 0; i < volumes.size(); ++i) {
    std::string next = i + 1 < volumes.size() ? volumes[i + 1].name : std::string();
    Bytes header = MakeVolumeHeader(next, count, i == 0 ? 0x0074 : 0x0075);
    std::copy(header.begin(), header.end(), volumes[i].bytes.begin());
  }
  return volumes;
}

bool WriteVolumeSet(const std::filesystem::path& directory, const std::vector<VolumeFile>& volumes) {
  for (const VolumeFile& volume : volumes) {
    if (!WriteLocalFile(directory / volume.name, volume.bytes)) return false;
  }
  return true;
}

// --- Temporary directory ---------------------------------------------------

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        base / ("qm-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate;
      return;
    }
  }
  path_ = base / "qm-test-fallback";
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::filesystem::path TempDir::Write(const std::string& relative, const Bytes& bytes) const {
  std::filesystem::path full = path_ / relative;
  WriteLocalFile(full, bytes);
  return full;
}

std::filesystem::path TempDir::Write(const std::string& relative, const std::string& text) const {
  return Write(relative, BytesOf(text));
}

}  // namespace test_support
