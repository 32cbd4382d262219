// quill pack [--disk-size BYTES] [--dict 1024|2048|4096] [--ascii] SOURCE OUT BASENAME
//
// Makes the media of a distribution: every file under the folder SOURCE is
// imploded into one compressed volume set, written as OUT/disk1/BASENAME.1,
// OUT/disk2/BASENAME.2, ..., each volume at most BYTES long (default 1457664,
// a 1.44 MB floppy). Member names are the paths relative to SOURCE with "\"
// between folders, in ascending order compared without letter case; dates and
// times are the files' last-write times as DOS date and time.
//
// A member header never straddles two volumes; a member's compressed data
// may. The least disk size accepted holds a volume header and one member
// header (226 bytes). Names that the installer's machine cannot hold (longer
// than 135 characters, characters other than printable ASCII or those that
// Windows forbids in file names, a part ending in a dot or a space, two names
// that differ only in letter case) are refused with a message and nothing is
// written; so is a BASENAME too long for the names of the continuation
// volumes (at most 13 characters with the dot and number).
//
// Prints one line per member (name, size, compressed size, volumes) and one
// per volume (path, size). Exit status 0 when the set was written, 1 for a
// usage error, 2 when the input was refused or writing failed (the volumes of
// this run are then removed again).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "install/archive/implode.h"
#include "install/archive/little_endian.h"
#include "install/archive/volume_set.h"
#include "install/os/ascii_case.h"
#include "install/os/host/host_machine.h"
#include "tools/quill/command.h"
#include "tools/quill/console_progress.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
namespace archive = install::archive;

constexpr uint32_t kFloppyDiskSize = 1457664;
constexpr uint32_t kSmallestDiskSize = archive::kVolumeHeaderSize + archive::kMemberHeaderSize;
constexpr uint32_t kLargestDiskSize = 0x7FFFFFFF;
constexpr std::size_t kMaxMembers = 32767;  // the member count is a signed 16-bit field
constexpr std::size_t kMaxMemberNameLength = archive::kMemberNameSize - 1;
constexpr std::size_t kMaxVolumeNameLength = archive::kVolumeNextNameSize - 1;
constexpr char kForbiddenInNames[] = "\\/:*?\"<>|";

struct PackSettings {
  uint32_t disk_size = kFloppyDiskSize;
  unsigned dictionary = 4096;
  unsigned literal_mode = archive::kImplodeBinary;
  fs::path source;
  fs::path out;
  std::string basename;
};

struct Member {
  std::string name;  // relative to SOURCE, "\" between folders
  fs::path path;
  uint64_t size = 0;
  install::os::DosDateTime time;
  std::vector<uint8_t> compressed;
  uint32_t compressed_size = 0;
  std::size_t first_volume = 0;
  std::size_t last_volume = 0;
};

void Fail(const std::string& text) { std::fprintf(stderr, "quill pack: %s\n", text.c_str()); }

bool ParseDiskSize(const std::string& text, uint32_t* size) {
  if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), install::os::IsDecimalDigit)) {
    return false;
  }
  uint64_t value = std::stoull(text);
  if (value < kSmallestDiskSize || value > kLargestDiskSize) return false;
  *size = static_cast<uint32_t>(value);
  return true;
}

// 0 with the settings filled, 1 after a usage message.
int ParseSettings(const std::vector<std::string>& args, PackSettings* settings) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--ascii") {
      settings->literal_mode = archive::kImplodeAscii;
    } else if (arg == "--dict" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (value != "1024" && value != "2048" && value != "4096") return PrintUsage("pack");
      settings->dictionary = static_cast<unsigned>(std::stoul(value));
    } else if (arg == "--disk-size" && i + 1 < args.size()) {
      if (!ParseDiskSize(args[++i], &settings->disk_size)) {
        Fail("--disk-size takes a number of bytes from " + std::to_string(kSmallestDiskSize) +
             " (a volume header and one member header) to " + std::to_string(kLargestDiskSize));
        return PrintUsage("pack");
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return PrintUsage("pack");
    } else {
      words.push_back(arg);
    }
  }
  if (words.size() != 3) return PrintUsage("pack");
  settings->source = words[0];
  settings->out = words[1];
  settings->basename = words[2];
  return 0;
}

// Why a file name (or one part of it) cannot be stored; empty when it can.
std::string PartProblem(const std::string& part) {
  for (char c : part) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) return "holds a character other than printable ASCII";
    if (std::string_view(kForbiddenInNames).find(c) != std::string_view::npos) {
      return std::string("holds '") + c + "', which file names on Windows cannot";
    }
  }
  if (archive::IsDeviceName(part)) return "is a device name, which Windows gives to no file";
  if (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
    return "has a part ending in a dot or a space, which Windows drops";
  }
  return "";
}

// Why a member cannot be stored under the relative path `parts`; empty when it can.
std::string MemberNameProblem(const std::vector<std::string>& parts, const std::string& name) {
  for (const std::string& part : parts) {
    std::string problem = PartProblem(part);
    if (!problem.empty()) return problem;
  }
  if (name.size() > kMaxMemberNameLength) {
    return "is longer than " + std::to_string(kMaxMemberNameLength) + " characters";
  }
  if (!archive::IsSafeMemberName(name)) return "does not stay inside the destination directory";
  return "";
}

bool ReadMemberFacts(const fs::directory_entry& entry, const fs::path& source, Member* member) {
  std::vector<std::string> parts;
  for (const fs::path& part : entry.path().lexically_relative(source)) parts.push_back(part.string());
  for (const std::string& part : parts) member->name += (member->name.empty() ? "" : "\\") + part;
  member->path = entry.path();
  std::string problem = MemberNameProblem(parts, member->name);
  if (!problem.empty()) {
    Fail(entry.path().string() + ": cannot be stored: its name " + problem);
    return false;
  }
  std::error_code size_error;
  std::error_code time_error;
  member->size = entry.file_size(size_error);
  auto written = entry.last_write_time(time_error);
  if (size_error || time_error) {
    Fail(entry.path().string() + ": " + (size_error ? size_error : time_error).message());
    return false;
  }
  if (member->size > 0xFFFFFFFFu) {
    Fail(entry.path().string() + ": cannot be stored: larger than 4 GB");
    return false;
  }
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      fs::file_time_type::clock::to_sys(written).time_since_epoch());
  member->time = install::os::DosFromUnixTime(seconds.count());
  return true;
}

// Every regular file under `source`, in the order of the set; false after a
// message.
bool CollectMembers(const fs::path& source, std::vector<Member>* members) {
  std::error_code error;
  fs::recursive_directory_iterator walk(source, error), end;
  for (; !error && walk != end; walk.increment(error)) {
    const fs::directory_entry& entry = *walk;
    std::error_code type_error;
    if (entry.is_directory(type_error)) continue;
    if (!entry.is_regular_file(type_error)) {
      Fail(entry.path().string() + ": not a regular file");
      return false;
    }
    Member member;
    if (!ReadMemberFacts(entry, source, &member)) return false;
    members->push_back(std::move(member));
  }
  if (error) {
    Fail(source.string() + ": " + error.message());
    return false;
  }
  std::sort(members->begin(), members->end(), [](const Member& a, const Member& b) {
    return install::os::CompareIgnoringCase(a.name, b.name) < 0;
  });
  for (std::size_t i = 1; i < members->size(); ++i) {
    if (install::os::EqualsIgnoringCase((*members)[i - 1].name, (*members)[i].name)) {
      Fail((*members)[i - 1].name + " and " + (*members)[i].name +
           ": the names differ only in letter case and would be one file on the target");
      return false;
    }
  }
  if (members->empty()) Fail(source.string() + ": holds no files to pack");
  if (members->size() > kMaxMembers) {
    Fail(source.string() + ": holds more than " + std::to_string(kMaxMembers) + " files");
  }
  return !members->empty() && members->size() <= kMaxMembers;
}

bool CompressMembers(const PackSettings& settings, std::vector<Member>& members) {
  ConsoleProgress progress;
  for (std::size_t i = 0; i < members.size(); ++i) {
    Member& member = members[i];
    progress.Show("packing " + std::to_string(i + 1) + "/" + std::to_string(members.size()) + ": " +
                  member.name);
    std::ifstream in(member.path, std::ios::binary);
    std::vector<uint8_t> plain(member.size);
    in.read(reinterpret_cast<char*>(plain.data()), static_cast<std::streamsize>(plain.size()));
    if (!in || in.peek() != std::ifstream::traits_type::eof()) {
      progress.Clear();
      Fail(member.path.string() + ": cannot be read (or changed while being packed)");
      return false;
    }
    // An empty file is stored as a member without compressed data.
    if (!plain.empty() && archive::ImplodeBuffer(plain.data(), plain.size(), settings.literal_mode,
                                                 settings.dictionary, member.compressed) != archive::kImplodeOk) {
      progress.Clear();
      Fail(member.path.string() + ": cannot be compressed (out of memory)");
      return false;
    }
    if (member.compressed.size() > 0xFFFFFFFFu) {
      progress.Clear();
      Fail(member.path.string() + ": cannot be stored: compressed to more than 4 GB");
      return false;
    }
    member.compressed_size = static_cast<uint32_t>(member.compressed.size());
  }
  return true;
}

// Lays the members out over volumes of at most `disk_size` bytes.
class VolumeBuilder {
 public:
  explicit VolumeBuilder(uint32_t disk_size) : disk_size_(disk_size) { StartVolume(); }

  // Appends the member's header and data, moving its data out of it.
  void Add(Member& member) {
    if (Room() < archive::kMemberHeaderSize) StartVolume();
    member.first_volume = volumes_.size() - 1;
    uint8_t header[archive::kMemberHeaderSize] = {};
    std::copy(member.name.begin(), member.name.end(), header);
    archive::PutLe32(header + archive::kMemberNameSize, member.compressed_size);
    archive::PutLe32(header + archive::kMemberNameSize + 4, member.time.date);
    archive::PutLe32(header + archive::kMemberNameSize + 8, member.time.time);
    Append(header, sizeof header);
    std::size_t written = 0;
    while (written < member.compressed.size()) {
      if (Room() == 0) StartVolume();
      std::size_t part = std::min<std::size_t>(Room(), member.compressed.size() - written);
      Append(member.compressed.data() + written, part);
      written += part;
    }
    member.last_volume = volumes_.size() - 1;
    std::vector<uint8_t>().swap(member.compressed);
  }

  // The volumes with their headers filled in: the next volume's name, the
  // member count and the kind (first or continuation).
  std::vector<std::vector<uint8_t>> Finish(const std::string& basename, std::size_t member_count) {
    for (std::size_t i = 0; i < volumes_.size(); ++i) {
      uint8_t* header = volumes_[i].data();
      if (i + 1 < volumes_.size()) {
        std::string next = basename + "." + std::to_string(i + 2);
        std::copy(next.begin(), next.end(), header);
      }
      archive::PutLe16(header + archive::kVolumeNextNameSize, archive::kVolumeSignature);
      archive::PutLe16(header + archive::kVolumeNextNameSize + 2, static_cast<uint16_t>(member_count));
      archive::PutLe16(header + archive::kVolumeNextNameSize + 4,
                       i == 0 ? archive::kFirstVolumeKind : archive::kContinuationVolumeKind);
    }
    return std::move(volumes_);
  }

  std::size_t volume_count() const { return volumes_.size(); }

 private:
  std::size_t Room() const { return disk_size_ - volumes_.back().size(); }
  void StartVolume() { volumes_.emplace_back(archive::kVolumeHeaderSize, 0); }
  void Append(const uint8_t* bytes, std::size_t count) {
    volumes_.back().insert(volumes_.back().end(), bytes, bytes + count);
  }

  uint32_t disk_size_;
  std::vector<std::vector<uint8_t>> volumes_;
};

std::string VolumeName(const std::string& basename, std::size_t index) {
  return basename + "." + std::to_string(index + 1);
}

fs::path VolumePath(const PackSettings& settings, std::size_t index) {
  return settings.out / ("disk" + std::to_string(index + 1)) / VolumeName(settings.basename, index);
}

bool CheckBasename(const std::string& basename, std::size_t volume_count) {
  std::string problem = PartProblem(basename);
  if (basename.empty()) problem = "is empty";
  if (problem.empty() && volume_count > 1 &&
      VolumeName(basename, volume_count - 1).size() > kMaxVolumeNameLength) {
    problem = "is too long: the set needs " + std::to_string(volume_count) + " volumes, and the name " +
              VolumeName(basename, volume_count - 1) + " is longer than the " +
              std::to_string(kMaxVolumeNameLength) + " characters a volume header holds";
  }
  if (!problem.empty()) Fail("the base name " + basename + " " + problem);
  return problem.empty();
}

// Writes every volume; on a failure removes what this run wrote.
bool WriteVolumes(const PackSettings& settings, const std::vector<std::vector<uint8_t>>& volumes) {
  std::vector<fs::path> written;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    fs::path path = VolumePath(settings, i);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) written.push_back(path);
    out.write(reinterpret_cast<const char*>(volumes[i].data()), static_cast<std::streamsize>(volumes[i].size()));
    out.close();
    if (!out) {
      Fail(path.string() + ": cannot be written");
      for (const fs::path& done : written) fs::remove(done, error);
      return false;
    }
  }
  return true;
}

std::string VolumeRange(const Member& member) {
  std::string range = std::to_string(member.first_volume + 1);
  if (member.last_volume != member.first_volume) {
    range += '-';
    range += std::to_string(member.last_volume + 1);
  }
  return range;
}

void PrintReport(const PackSettings& settings, const std::vector<Member>& members,
                 const std::vector<std::vector<uint8_t>>& volumes) {
  uint64_t size = 0;
  uint64_t compressed = 0;
  for (const Member& member : members) {
    std::printf("%s\t%llu\t%u\tvolume %s\n", member.name.c_str(),
                static_cast<unsigned long long>(member.size), member.compressed_size, VolumeRange(member).c_str());
    size += member.size;
    compressed += member.compressed_size;
  }
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    std::printf("%s\t%zu\n", VolumePath(settings, i).string().c_str(), volumes[i].size());
  }
  std::printf("%zu files, %llu bytes, compressed to %llu bytes, in %zu volumes\n", members.size(),
              static_cast<unsigned long long>(size), static_cast<unsigned long long>(compressed),
              volumes.size());
}

// True when `inner` is `outer` or lies inside it.
bool LiesInside(const fs::path& inner, const fs::path& outer) {
  std::error_code error;
  fs::path a = fs::weakly_canonical(fs::absolute(inner), error);
  fs::path b = fs::weakly_canonical(fs::absolute(outer), error);
  auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
  return mismatch.first == b.end();
}

int RunPack(const std::vector<std::string>& args) {
  PackSettings settings;
  if (ParseSettings(args, &settings) != 0) return 1;
  std::error_code error;
  if (!fs::is_directory(settings.source, error)) {
    Fail(settings.source.string() + ": not a folder");
    return 2;
  }
  if (LiesInside(settings.out, settings.source)) {
    Fail(settings.out.string() + ": lies inside " + settings.source.string() +
         "; its volumes would become members of the next set");
    return 2;
  }
  if (!CheckBasename(settings.basename, 1)) return 2;

  std::vector<Member> members;
  if (!CollectMembers(settings.source, &members) || !CompressMembers(settings, members)) return 2;
  VolumeBuilder builder(settings.disk_size);
  for (Member& member : members) builder.Add(member);
  if (!CheckBasename(settings.basename, builder.volume_count())) return 2;
  std::vector<std::vector<uint8_t>> volumes = builder.Finish(settings.basename, members.size());
  if (!WriteVolumes(settings, volumes)) return 2;
  PrintReport(settings, members, volumes);
  return 0;
}

CommandRegistration pack_registration{
    "pack", "pack [--disk-size BYTES] [--dict 1024|2048|4096] [--ascii] SOURCE OUT BASENAME", RunPack};

}  // namespace
}  // namespace quill
