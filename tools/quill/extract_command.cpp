// quill extract [-d DIR] VOLUME: extracts every member of a compressed volume
// set, given its first volume, into DIR (default: the current directory),
// reading later volumes from the same directory or from the folders beside it
// (OUT/disk1, OUT/disk2, ... as quill pack writes them). Existing files are replaced;
// dates come from the set. A member whose name would land outside DIR is
// refused and nothing is written outside DIR. Progress goes to standard error
// when it is a terminal. Exit status 0 when every member was extracted, 1 for a usage error, 2
// when the set is damaged or a member was refused.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "install/engine/file_install.h"
#include "install/sysedit/install_log.h"
#include "tools/quill/command.h"
#include "tools/quill/console_progress.h"
#include "tools/quill/volume_session.h"

namespace quill {
namespace {

namespace engine = install::engine;
namespace archive = install::archive;
namespace sysedit = install::sysedit;
namespace fs = std::filesystem;

// Counts the members written and shows each one as progress.
class ExtractProgress : public archive::ProgressHooks {
 public:
  explicit ExtractProgress(const ConsoleDesktop& desktop) : desktop_(desktop) {}
  void ShowFileBeingInstalled(const std::string& path) override {
    ++members_;
    console_.Show(desktop_.Local(path));
  }
  void Finish() {
    console_.Finish(std::to_string(members_) + " files extracted");
  }

 private:
  const ConsoleDesktop& desktop_;
  ConsoleProgress console_;
  int members_ = 0;
};

int RunExtract(const std::vector<std::string>& args) {
  fs::path output = ".";
  std::vector<std::string> volumes;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-d") {
      if (++i == args.size()) return PrintUsage("extract");
      output = args[i];
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return PrintUsage("extract");
    } else {
      volumes.push_back(args[i]);
    }
  }
  if (volumes.size() != 1) return PrintUsage("extract");
  const fs::path volume = volumes[0];
  std::error_code error;
  if (!fs::is_regular_file(volume, error)) {
    std::fprintf(stderr, "quill extract: %s: cannot open the volume\n", volume.string().c_str());
    return 2;
  }
  fs::create_directories(output, error);
  if (!fs::is_directory(output, error)) {
    std::fprintf(stderr, "quill extract: %s: cannot create the directory\n", output.string().c_str());
    return 2;
  }
  output = fs::canonical(output, error);

  VolumeSession session("extract", volume, output);
  ExtractProgress progress(session.desktop);
  // The set reader keeps its own (quiet) hooks; the installer reports the
  // members it writes to `progress`.
  sysedit::InstallLog log(session.machine);  // stays off
  engine::EngineState state;
  state.installation_dir = "E:";
  engine::FileInstaller installer(session.machine, session.desktop, session.sources, session.reader,
                                  session.disks, progress, log, state);

  int result = installer.ExtractVolumeSet(std::string(kOutputDrive) + "set", session.first_volume_path,
                                          install::script::OverwriteMode::Yes, install::os::kAttrNormal);
  progress.Finish();
  if (result == engine::kInstallDone) return 0;
  if (result == engine::kNotVolumeSet) {
    session.desktop.Report(session.first_volume_path + ": not the first volume of a compressed volume set");
  } else if (session.desktop.messages() == 0) {
    // The decoder stops on damaged data without a message of its own.
    session.desktop.Report(session.reader.current_volume_path() + ": member " +
                           session.reader.current_member().name + ": damaged compressed data");
  }
  std::fprintf(stderr, "quill extract: stopped; the set was not extracted completely\n");
  return 2;
}

CommandRegistration extract_registration{"extract", "extract [-d DIR] VOLUME", RunExtract};

}  // namespace
}  // namespace quill
