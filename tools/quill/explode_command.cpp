// quill explode [IN [OUT]]: decodes a DCL implode stream (stdin/stdout when
// the files are not given).
#include <string>
#include <vector>

#include "install/archive/explode.h"
#include "tools/quill/coder_files.h"
#include "tools/quill/command.h"

namespace quill {
namespace {

int RunExplode(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg.size() > 1 && arg[0] == '-') return PrintUsage("explode");
    paths.push_back(arg);
  }
  if (paths.size() > 2) return PrintUsage("explode");
  CoderFiles files;
  if (!files.Open("explode", paths)) return 1;
  std::vector<char> work(install::archive::kExplodeWorkSize);
  const int result = install::archive::Explode(CoderFiles::Read, CoderFiles::Write, work.data(), &files);
  std::string failure;
  if (result != install::archive::kExplodeOk) {
    failure = std::string("cannot decode: ") + install::archive::ExplodeResultText(result) + " (result " +
              std::to_string(result) + ")";
  }
  return files.Finish(failure.empty() ? nullptr : failure.c_str());
}

CommandRegistration explode_command{"explode", "explode [IN [OUT]]", RunExplode};

}  // namespace
}  // namespace quill
