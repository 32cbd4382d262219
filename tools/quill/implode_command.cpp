// quill implode [--ascii] [--dict 1024|2048|4096] [IN [OUT]]: encodes a file
// as a DCL implode stream (stdin/stdout when the files are not given).
#include <string>
#include <vector>

#include "install/archive/implode.h"
#include "tools/quill/coder_files.h"
#include "tools/quill/command.h"

namespace quill {
namespace {

int RunImplode(const std::vector<std::string>& args) {
  unsigned mode = install::archive::kImplodeBinary;
  unsigned dict = 4096;
  std::vector<std::string> paths;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ascii") {
      mode = install::archive::kImplodeAscii;
    } else if (args[i] == "--dict" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (value == "1024") dict = 1024;
      else if (value == "2048") dict = 2048;
      else if (value == "4096") dict = 4096;
      else return PrintUsage("implode");
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return PrintUsage("implode");
    } else {
      paths.push_back(args[i]);
    }
  }
  if (paths.size() > 2) return PrintUsage("implode");
  CoderFiles files;
  if (!files.Open("implode", paths)) return 1;
  const int result = install::archive::Implode(CoderFiles::Read, CoderFiles::Write, &files, mode, dict);
  const char* failure = result == install::archive::kImplodeNoMemory ? "out of memory"
                        : result != install::archive::kImplodeOk     ? "bad settings"
                                                                    : nullptr;
  return files.Finish(failure);
}

CommandRegistration implode_command{"implode", "implode [--ascii] [--dict 1024|2048|4096] [IN [OUT]]", RunImplode};

}  // namespace
}  // namespace quill
