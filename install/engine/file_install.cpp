#include "install/engine/file_install.h"

#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "install/engine/create_directories.h"
#include "install/archive/explode.h"
#include "install/os/ascii_case.h"
#include "install/ui/builtin_texts.h"

namespace install::engine {
namespace {

using script::Compression;
using script::OverwriteMode;

std::string DirectoryOf(const std::string& path) {
  size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '\\') return directory + name;
  return directory + "\\" + name;
}

// Files whose version texts decide under New before their dates do. The
// extension is the text after the first dot of the file name.
bool HasVersionedExtension(const std::string& path) {
  std::string name = archive::FileNameOfPath(path);
  size_t dot = name.find('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot + 1);
  return os::EqualsIgnoringCase(extension, "dll") || os::EqualsIgnoringCase(extension, "vbx") ||
         os::EqualsIgnoringCase(extension, "ocx");
}

bool IsLater(os::DosDateTime a, os::DosDateTime b) {
  return a.date > b.date || (a.date == b.date && a.time > b.time);
}

}  // namespace

struct FileInstaller::ExplodeTarget {
  FileInstaller* installer = nullptr;
  os::File* out = nullptr;
  uint32_t compressed_size = 0;
  uint32_t handed_out = 0;  // as the set reader counts it
  int64_t written = 0;      // bytes the decoder wrote to the destination
};

FileInstaller::FileInstaller(os::Machine& machine, ui::Desktop& desktop, archive::SourceReader& sources,
                             archive::VolumeSetReader& volumes, archive::NextDiskRequester& disks,
                             archive::ProgressHooks& progress, sysedit::InstallLog& log, EngineState& state)
    : machine_(machine), desktop_(desktop), sources_(sources), volumes_(volumes), disks_(disks),
      progress_(progress), log_(log), state_(state) {}

void FileInstaller::Warn(const std::string& text) {
  desktop_.MessageBox(text, nullptr, ui::kMbOk | ui::kMbIconWarning);
}

void FileInstaller::AddProgress(uint32_t bytes) {
  ByteProgress& p = state_.progress;
  if (!p.Counts()) return;
  p.done += bytes;
  if (p.done - p.done_at_last_refresh > kProgressRefreshBytes) {
    p.done_at_last_refresh = p.done;
    progress_.RefreshProgress();
  }
}

void FileInstaller::RefreshWhenCounting() {
  if (state_.progress.Counts()) progress_.RefreshProgress();
}

std::string FileInstaller::SourcePathOf(const script::FileEntry& entry,
                                        const std::string& name) const {
  std::string path;
  switch (entry.source_kind) {
    case script::SourceKind::Absolute:
      path = (!entry.source.empty() && entry.source[0] == '$') ? Expand(entry.source) : entry.source;
      return Join(path, name);
    case script::SourceKind::Rooted:
      path = state_.source_dir.substr(0, std::min<size_t>(2, state_.source_dir.size())) + entry.source;
      return Join(path, name);
    case script::SourceKind::Relative:
      path = state_.source_dir;
      if (entry.has_source) path += entry.source;
      return Join(path, name);
  }
  return name;
}

int FileInstaller::InstallEntryFiles(const script::FileEntry& entry) {
  const std::string name = Expand(entry.name);
  size_t cut = name.find_last_of('\\');
  const std::string directory_part = cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
  const std::string name_part = cut == std::string::npos ? name : name.substr(cut + 1);

  // The continuation volume of a set installed earlier is part of that set.
  const std::string& consumed = volumes_.last_continuation_volume();
  if (!consumed.empty() && os::EqualsIgnoringCase(consumed, name_part)) return kEntryContinue;

  const std::string& installation_dir = state_.installation_dir;
  std::string destination_dir = installation_dir;
  if (!directory_part.empty()) {
    bool absolute = directory_part[0] == '\\' || (directory_part.size() >= 2 && directory_part[1] == ':');
    std::string directory = directory_part;
    if (absolute) {
      bool is_root = directory == "\\" || (directory.size() == 3 && directory[1] == ':');
      if (!is_root) directory.pop_back();
      destination_dir = directory;
      if (CreateDirectories(destination_dir, std::string(), machine_, desktop_, log_,
                            texts_.bad_dir) != kDirectoriesOk) {
        return kEntryStop;
      }
    } else {
      directory.pop_back();
      destination_dir = Join(installation_dir, directory);
      if (CreateDirectories(destination_dir, installation_dir, machine_, desktop_, log_,
                            texts_.bad_dir) != kDirectoriesOk) {
        return kEntryStop;
      }
    }
  }
  machine_.SetCurrentDirectory(installation_dir);
  return WalkSources(entry, destination_dir, name_part);
}

int FileInstaller::WalkSources(const script::FileEntry& entry, const std::string& destination_dir,
                               const std::string& name_part) {
  if (name_part.empty()) return kEntryContinue;
  const std::string source_path = SourcePathOf(entry, name_part);
  const std::string source_dir = DirectoryOf(source_path);

  struct Match {
    std::string name;
    std::string source;
    bool is_directory = false;
  };
  std::vector<Match> matches;
  while (true) {
    matches.clear();
    // An exact name (or an install-archive member) opens directly; only a name
    // that does not open is searched for, so a pattern never finds a member.
    if (std::unique_ptr<archive::SourceStream> stream = sources_.OpenSource(source_path)) {
      archive::SourceReader::CloseSource(std::move(stream));
      matches.push_back(Match{archive::FileNameOfPath(name_part), source_path, false});
    } else {
      for (const os::FindData& found : machine_.FindFiles(source_path)) {
        matches.push_back(Match{found.name, source_dir + found.name,
                                (found.attributes & os::kAttrDirectory) != 0});
      }
    }
    if (!matches.empty()) break;
    if (state_.current_disk_index != -1) {
      if (disks_.RequestNextDisk(false) == archive::kDiskInPlace) continue;
      return kEntryStop;
    }
    desktop_.MessageBox(texts_.file_not_found + source_path + ". ", " ",
                        ui::kMbOk | ui::kMbIconWarning);
    return kEntryContinue;
  }

  std::optional<Match> pending_set;
  for (const Match& match : matches) {
    if (match.is_directory) continue;
    if (entry.compression != Compression::None && ReachesCommandInterpreter(match.name)) {
      // A name on the disk must not add commands of its own.
      Warn(std::string(ui::kInvalidCompressedFileText) + match.source);
    } else if (entry.compression != Compression::None) {
      RunAndWait(machine_,
                 UnpackerCommandLine(unpacker_, entry.compression, entry.overwrite, match.source,
                                     destination_dir),
                 os::kShowMaximized);
      progress_.RefreshProgress();
    } else if (archive::IsMultiVolumeStart(sources_, match.source)) {
      pending_set = match;  // only the last set start of an entry is installed
    } else {
      if (InstallFile(Join(destination_dir, match.name), match.source, entry.overwrite,
                      entry.attributes) != kInstallDone) {
        return kEntryStop;
      }
      progress_.RefreshProgress();
    }
    if (desktop_.PumpMessages()) return kEntryStop;
  }
  if (pending_set) {
    if (InstallFile(Join(destination_dir, pending_set->name), pending_set->source, entry.overwrite,
                    entry.attributes) != kInstallDone) {
      return kEntryStop;
    }
    progress_.RefreshProgress();
  }
  return kEntryContinue;
}

bool FileInstaller::AskOverwrite(const std::string& destination) {
  int answer = desktop_.MessageBox(texts_.file_exist + destination + "?", "",
                                   ui::kMbYesNo | ui::kMbIconQuestion);
  if (after_question_) after_question_();
  return answer == ui::kIdYes;
}

bool FileInstaller::SourceIsNewer(const std::string& source, const std::string& destination,
                                  os::DosDateTime source_time) {
  if (HasVersionedExtension(source)) {
    std::string source_version, destination_version;
    if (machine_.GetFileVersionText(source, &source_version) &&
        machine_.GetFileVersionText(destination, &destination_version)) {
      int order = os::CompareIgnoringCase(source_version, destination_version);
      if (order != 0) return order > 0;
    }
  }
  os::DosDateTime existing;
  if (!machine_.GetDosFileTime(destination, &existing)) existing = os::DosDateTime{};
  return IsLater(source_time, existing);
}

std::unique_ptr<os::File> FileInstaller::OpenReplacement(const std::string& destination,
                                                          std::string* temporary) {
  const uint32_t attributes = machine_.GetAttributes(destination);
  std::unique_ptr<os::File> out;
  if (attributes == os::kInvalidAttributes || !(attributes & os::kAttrDirectory)) {
    *temporary = TemporaryNameBeside(machine_, destination);
    // Created new: a file that took the name meanwhile is never written over.
    if (!temporary->empty()) out = machine_.Open(*temporary, os::OpenMode::CreateNew);
  }
  if (!out) Warn(std::string(ui::kCannotCreateFileText) + destination);
  return out;
}

bool FileInstaller::FinishReplacement(std::unique_ptr<os::File> out, int64_t expected_size) {
  bool ok = out->Flush() && out->Seek(0, 2) == expected_size;
  ok = out->Close() && ok;
  return ok;
}

void FileInstaller::DiscardTemporary(const std::string& temporary) {
  if (machine_.DeleteFile(temporary)) return;
  machine_.SetAttributes(temporary, os::kAttrNormal);
  machine_.DeleteFile(temporary);
}

void FileInstaller::CountSkipped(int64_t bytes) {
  if (!state_.progress.Counts()) return;
  state_.progress.done += bytes;
  progress_.RefreshProgress();
}

int FileInstaller::CommitDestination(const std::string& temporary, const std::string& destination,
                                     os::DosDateTime when, uint32_t attributes) {
  // The date and attributes go on the new file before it takes the old one's
  // place; the old one's guarding attributes are cleared only for the move
  // and come back when it fails.
  const uint32_t old_attributes = machine_.GetAttributes(destination);
  const uint32_t guarding = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem;
  const bool guarded = old_attributes != os::kInvalidAttributes && (old_attributes & guarding);
  bool ok = machine_.SetDosFileTime(temporary, os::DosDateTime{when.date & 0xFFFF, when.time & 0xFFFF}) &&
            machine_.SetAttributes(temporary, attributes);
  bool cleared = false;
  if (ok && guarded) ok = cleared = machine_.SetAttributes(destination, os::kAttrNormal);
  if (ok) ok = machine_.MoveFileReplacing(temporary, destination);
  if (!ok) {
    if (cleared) machine_.SetAttributes(destination, old_attributes);
    DiscardTemporary(temporary);
    Warn(std::string(ui::kCannotCreateFileText) + destination);
    return kInstallFailed;
  }
  log_.AppendLogLine(sysedit::FileLogEntry(destination));
  return kInstallDone;
}

int FileInstaller::InstallFile(const std::string& destination, const std::string& source,
                               OverwriteMode mode, uint32_t attributes) {
  int extracted = ExtractVolumeSet(destination, source, mode, attributes);
  if (extracted == kInstallDone || extracted == kInstallFailed) return extracted;

  std::unique_ptr<archive::SourceStream> stream = sources_.OpenSource(source);
  if (!stream) {
    // Found a moment ago, gone now: reported like a missing file.
    desktop_.MessageBox(texts_.file_not_found + source + ". ", " ", ui::kMbOk | ui::kMbIconWarning);
    return kInstallDone;
  }
  const os::DosDateTime source_time{stream->date, stream->time};

  bool write = true;
  if (mode != OverwriteMode::Yes && machine_.Open(destination, os::OpenMode::Read)) {
    switch (mode) {
      case OverwriteMode::No:
        write = false;
        break;
      case OverwriteMode::Ask:
        write = AskOverwrite(destination);
        break;
      default:
        write = SourceIsNewer(source, destination, source_time);
        break;
    }
  }
  if (!write) {
    CountSkipped(stream->size);
    return kInstallDone;
  }

  std::string temporary;
  std::unique_ptr<os::File> out = OpenReplacement(destination, &temporary);
  if (!out) return kInstallFailed;

  std::vector<uint8_t> buffer(kCopyBufferSize);
  progress_.ShowFileBeingInstalled(destination);
  state_.progress.done_at_last_refresh = state_.progress.done;
  std::string_view error;
  int64_t copied = 0;
  while (true) {
    int32_t got = sources_.ReadSource(*stream, buffer.data(), kCopyBufferSize);
    if (got < 0) {
      error = ui::kReadingDiskErrorText;
      break;
    }
    if (got > 0 && out->Write(buffer.data(), static_cast<uint32_t>(got)) != got) {
      error = ui::kWritingDiskErrorText;
      break;
    }
    copied += got;
    AddProgress(static_cast<uint32_t>(got));
    if (static_cast<uint32_t>(got) < kCopyBufferSize) break;
  }
  RefreshWhenCounting();
  // A source that ended before its size was read back short.
  if (error.empty() && copied != stream->size) error = ui::kReadingDiskErrorText;
  if (error.empty() && !FinishReplacement(std::move(out), copied)) error = ui::kWritingDiskErrorText;
  out.reset();
  archive::SourceReader::CloseSource(std::move(stream));
  if (!error.empty()) {
    DiscardTemporary(temporary);
    Warn(std::string(error));
    return kInstallFailed;
  }
  return CommitDestination(temporary, destination, source_time, attributes);
}

unsigned FileInstaller::ExplodeReadMember(char* buffer, unsigned* size, void* param) {
  auto* target = static_cast<ExplodeTarget*>(param);
  uint32_t left = target->compressed_size - std::min(target->handed_out, target->compressed_size);
  target->handed_out += std::min<uint32_t>(*size, left);
  return target->installer->volumes_.ReadMemberBytes(buffer, *size);
}

void FileInstaller::ExplodeWriteMember(char* buffer, unsigned* size, void* param) {
  auto* target = static_cast<ExplodeTarget*>(param);
  FileInstaller& self = *target->installer;
  if (self.volumes_.aborted() || *size == 0) return;
  int32_t put = target->out->Write(buffer, *size);
  if (put < 0 || static_cast<uint32_t>(put) != *size) {
    self.volumes_.SetAborted();
    self.Warn(std::string(ui::kWritingDiskErrorText));
    return;
  }
  target->written += *size;
  self.AddProgress(*size);
}

int FileInstaller::ExtractVolumeSet(const std::string& destination, const std::string& source,
                                    OverwriteMode mode, uint32_t attributes) {
  int opened = volumes_.OpenFirstVolume(source);
  if (opened == archive::kNotAVolumeSet || opened == archive::kVolumeNotOpened) return kNotVolumeSet;
  if (opened != archive::kVolumeOk) return kInstallFailed;
  const std::string destination_dir = DirectoryOf(destination);

  std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[archive::kExplodeWorkSize]());
  if (!work) {
    Warn(std::string(ui::kNoMemoryUnshrinkingText));
    volumes_.CloseVolume();
    return kInstallFailed;
  }
  auto fail = [this] {
    volumes_.CloseVolume();
    return kInstallFailed;
  };

  while (true) {
    if (desktop_.PumpMessages()) return fail();
    // The set reader refuses a member whose name is absolute, names a drive or
    // climbs out with ".." ("Invalid compressed file "), so the destinations
    // below stay inside the destination directory.
    archive::MemberHeader member;
    int header = volumes_.ReadMemberHeader(&member);
    if (header == archive::kVolumeSetComplete) {
      volumes_.CloseVolume();
      return kInstallDone;
    }
    if (header != archive::kVolumeOk) return fail();

    std::string name = member.name;
    for (char& c : name) {
      if (c == '/') c = '\\';
    }
    const std::string member_destination = destination_dir + name;
    if (name.find('\\') != std::string::npos &&
        CreateDirectoryPath(DirectoryOf(member_destination), machine_, desktop_, log_,
                            texts_.bad_dir) != kDirectoriesOk) {
      return fail();
    }

    bool write = true;
    if (mode != OverwriteMode::Yes) {
      if (std::unique_ptr<os::File> existing = machine_.Open(member_destination, os::OpenMode::Read)) {
        int64_t length = existing->Seek(0, 2);
        existing.reset();
        os::DosDateTime existing_time;
        if (!machine_.GetDosFileTime(member_destination, &existing_time)) existing_time = {};
        if (mode == OverwriteMode::No) {
          write = false;
        } else if (mode == OverwriteMode::Ask) {
          write = AskOverwrite(member_destination);
        } else {
          write = IsLater(os::DosDateTime{member.date, member.time}, existing_time);
        }
        if (!write) {
          CountSkipped(length > 0 ? length : 0);
          if (volumes_.SkipMemberData() != 0) return fail();
          continue;
        }
      }
    }

    std::string temporary;
    std::unique_ptr<os::File> out = OpenReplacement(member_destination, &temporary);
    if (!out) return fail();
    progress_.ShowFileBeingInstalled(member_destination);
    progress_.RefreshProgress();
    bool ok = true;
    ExplodeTarget target{this, out.get(), member.compressed_size, 0, 0};
    if (member.compressed_size > 0) {
      state_.progress.done_at_last_refresh = state_.progress.done;
      int result = archive::Explode(ExplodeReadMember, ExplodeWriteMember, work.get(), &target);
      if (result > 0 || volumes_.aborted()) {
        ok = false;
      } else if (target.handed_out < member.compressed_size && volumes_.SkipMemberData() != 0) {
        // The stream ended before its recorded size: the rest is skipped so
        // the next member header is read where it starts.
        ok = false;
      }
    }
    RefreshWhenCounting();
    if (ok && !FinishReplacement(std::move(out), target.written)) {
      Warn(std::string(ui::kWritingDiskErrorText));
      ok = false;
    }
    out.reset();
    if (!ok) {
      DiscardTemporary(temporary);
      return fail();
    }
    if (CommitDestination(temporary, member_destination, os::DosDateTime{member.date, member.time},
                          attributes) != kInstallDone) {
      return fail();
    }
  }
}

std::string UnpackerCommandLine(int unpacker, Compression compression, OverwriteMode mode,
                                const std::string& source, const std::string& destination_dir) {
  const bool self_extract = compression == Compression::SelfExtract;
  const std::string quoted_source = QuotedForCommand(source);
  // The closing quote comes before the final "\", which would otherwise
  // escape it.
  const std::string quoted_dir = QuotedForCommand(destination_dir) + "\\";
  std::string line = "dosshell.pif /C ";
  if (unpacker == kUnpackLha) {
    if (!self_extract) line += "lha x ";
    if (!self_extract && mode == OverwriteMode::Yes) line += "/c1 ";
    line += quoted_source + " " + quoted_dir;
    return line;
  }
  if (!self_extract) line += "pkunzip ";
  line += quoted_source + " -d ";
  if (mode == OverwriteMode::Yes) line += "-o ";
  if (mode == OverwriteMode::New) line += "-n ";
  line += quoted_dir;
  return line;
}

std::string QuotedForCommand(const std::string& path) {
  return path.find_first_of(kCommandSpecialCharacters) == std::string::npos ? path : "\"" + path + "\"";
}

bool ReachesCommandInterpreter(const std::string& name) {
  return name.find_first_of("&|<>") != std::string::npos;
}

void RunAndWait(os::Machine& machine, const std::string& command_line, int show) {
  machine.StartProcess(command_line, show, /*wait=*/true, nullptr);
}

std::string TemporaryNameBeside(os::Machine& machine, const std::string& path) {
  const std::string directory = DirectoryOf(path);
  for (int i = 0; i < 10000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "~INS%04d.TMP", i);
    std::string candidate = directory + name;
    if (machine.GetAttributes(candidate) == os::kInvalidAttributes) return candidate;
  }
  return std::string();
}

}  // namespace install::engine
