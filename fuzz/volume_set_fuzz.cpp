// Fuzz target for compressed volume sets, extracted on the host model
// (libFuzzer).
//
// Input: one byte of settings (overwrite mode in the low two bits), then the
// volume files separated by the line "\n--next volume--\n". The first is
// A:\DATA.1; each further one is written under the next-volume name of the
// one before (when that is a plain name). The set is extracted into C:\OUT
// with the installer's own code, beside an existing C:\OUT\ONE.TXT. Whatever
// the bytes, nothing may be written outside C:\OUT, the source disk must stay
// as it was, no temporary file may be left, and the extraction must end.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "install/engine/file_install.h"
#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace {

namespace fs = std::filesystem;
using namespace install;

constexpr std::string_view kSeparator = "\n--next volume--\n";

class SameDirectoryDisks : public archive::NextDiskRequester {
 public:
  int RequestNextDisk(bool advance) override { return advance && ++requests_ < 64 ? archive::kDiskInPlace : 1; }

 private:
  int requests_ = 0;
};

std::vector<std::string> SplitVolumes(std::string_view text) {
  std::vector<std::string> volumes;
  for (;;) {
    const size_t at = text.find(kSeparator);
    volumes.emplace_back(text.substr(0, at));
    if (at == std::string_view::npos) return volumes;
    text.remove_prefix(at + kSeparator.size());
  }
}

// The next-volume name at the start of a volume, when it is a bare name.
std::string NextName(const std::string& volume) {
  if (volume.size() < archive::kVolumeHeaderSize) return std::string();
  const std::string name(volume.c_str(), strnlen(volume.c_str(), archive::kVolumeNextNameSize));
  return archive::IsSafeVolumeName(name) ? name : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const fs::path& root = fuzz::ScratchDirectory("volumes");
  std::error_code ignored;
  fs::remove_all(root / "a", ignored);
  fs::remove_all(root / "c", ignored);
  fs::create_directories(root / "a");
  fs::create_directories(root / "c" / "OUT");
  test_support::WriteLocalFile(root / "c" / "OUT" / "ONE.TXT", test_support::BytesOf("existing"));
  test_support::WriteLocalFile(root / "c" / "OUTSIDE.TXT", test_support::BytesOf("outside"));

  const std::vector<std::string> volumes =
      SplitVolumes(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::string name = "DATA.1";
  for (size_t i = 0; i < volumes.size() && !name.empty(); ++i) {
    if (fs::exists(root / "a" / name)) break;
    test_support::WriteLocalFile(root / "a" / name, test_support::BytesOf(volumes[i]));
    name = NextName(volumes[i]);
  }
  const std::string disk_before = fuzz::ListFiles(root / "a");

  os::HostMachine machine;
  machine.MapDrive('A', root / "a", os::DriveType::Removable);
  machine.MapDrive('C', root / "c", os::DriveType::Fixed);
  ui::HostDesktop desktop;
  archive::SourceReader sources(machine);
  SameDirectoryDisks disks;
  archive::ProgressHooks progress;
  archive::VolumeSetReader reader(sources, desktop, disks, progress);
  sysedit::InstallLog log(machine);
  engine::EngineState state;
  state.installation_dir = "C:\\OUT";
  engine::FileInstaller installer(machine, desktop, sources, reader, disks, progress, log, state);
  const auto mode = static_cast<script::OverwriteMode>(data[0] & 3);
  installer.ExtractVolumeSet("C:\\OUT\\DATA.1", "A:\\DATA.1", mode, os::kAttrNormal);

  if (fuzz::ListFiles(root / "a") != disk_before) fuzz::Broken("the source disk changed");
  if (test_support::ReadLocalFile(root / "c" / "OUTSIDE.TXT") != test_support::BytesOf("outside")) {
    fuzz::Broken("a file outside C:\\OUT changed");
  }
  const std::string written = fuzz::ListFiles(root / "c");
  size_t start = 0;
  while (start < written.size()) {
    const size_t end = written.find('\n', start);
    const std::string entry = written.substr(start, end - start);
    start = end + 1;
    if (entry != "OUTSIDE.TXT" && entry.rfind("OUT/", 0) != 0) fuzz::Broken("written outside C:\\OUT: " + entry);
    if (entry.find("~INS") != std::string::npos) fuzz::Broken("a temporary file was left: " + entry);
  }
  return 0;
}
