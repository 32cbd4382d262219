// quill list VOLUME: the members of a compressed volume set, given its first
// volume, one per line: name, compressed size, date and time (tab-separated).
// Later volumes are read from the same directory or from the folders beside it
// (OUT/disk1, OUT/disk2, ... as quill pack writes them). Exit status 0 when the whole
// set was read, 1 for a usage error, 2 when the set is damaged.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/quill/command.h"
#include "tools/quill/volume_session.h"

namespace quill {
namespace {

namespace engine = install::engine;
namespace archive = install::archive;


int RunList(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) return PrintUsage("list");
  const std::filesystem::path volume = args[0];
  std::error_code error;
  if (!std::filesystem::is_regular_file(volume, error)) {
    std::fprintf(stderr, "quill list: %s: cannot open the volume\n", volume.string().c_str());
    return 2;
  }
  VolumeSession session("list", volume, {});
  int opened = session.reader.OpenFirstVolume(session.first_volume_path);
  if (opened != archive::kVolumeOk) {
    if (opened != archive::kVolumeFailed) {
      session.desktop.Report(session.first_volume_path + ": not the first volume of a compressed volume set");
    }
    return 2;
  }
  while (true) {
    archive::MemberHeader member;
    int result = session.reader.ReadMemberHeader(&member);
    if (result == archive::kVolumeSetComplete) break;
    if (result != archive::kVolumeOk) return 2;
    std::printf("%s\t%u\t%s\n", member.name.c_str(), member.compressed_size,
                FormatDosDateTime(member.date, member.time).c_str());
    if (session.reader.SkipMemberData() != 0) return 2;
  }
  session.reader.CloseVolume();
  return 0;
}

CommandRegistration list_registration{"list", "list VOLUME", RunList};

}  // namespace
}  // namespace quill
