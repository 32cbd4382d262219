// quill implode [--ascii] [--dict 1024|2048|4096] [IN [OUT]]: encodes a file
// as a DCL implode stream (stdin/stdout when the files are not given).
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "install/engine/implode.h"
#include "tools/quill/command.h"

namespace quill {
namespace {

struct ImplodeFiles {
  FILE* in;
  FILE* out;
  bool write_failed;
};

unsigned ReadInput(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<ImplodeFiles*>(param);
  return static_cast<unsigned>(std::fread(buffer, 1, *size, files.in));
}

void WriteOutput(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<ImplodeFiles*>(param);
  if (*size != 0 && std::fwrite(buffer, 1, *size, files.out) != *size) files.write_failed = true;
}

int RunImplode(const std::vector<std::string>& args) {
  unsigned mode = install::engine::kImplodeBinary;
  unsigned dict = 4096;
  std::vector<std::string> paths;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ascii") {
      mode = install::engine::kImplodeAscii;
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
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const bool in_file = !paths.empty() && paths[0] != "-";
  const bool out_file = paths.size() > 1 && paths[1] != "-";
  ImplodeFiles files{stdin, stdout, false};
  if (in_file && !(files.in = std::fopen(paths[0].c_str(), "rb"))) {
    std::fprintf(stderr, "quill implode: cannot open '%s'\n", paths[0].c_str());
    return 1;
  }
  if (out_file && !(files.out = std::fopen(paths[1].c_str(), "wb"))) {
    std::fprintf(stderr, "quill implode: cannot create '%s'\n", paths[1].c_str());
    if (in_file) std::fclose(files.in);
    return 1;
  }
  const int result = install::engine::Implode(ReadInput, WriteOutput, &files, mode, dict);
  const bool read_failed = std::ferror(files.in) != 0;
  if (in_file) std::fclose(files.in);
  if (std::fflush(files.out) != 0) files.write_failed = true;
  if (out_file && std::fclose(files.out) != 0) files.write_failed = true;
  const char* failure = result == install::engine::kImplodeNoMemory ? "out of memory"
                        : result != install::engine::kImplodeOk     ? "bad settings"
                        : read_failed                               ? "read error"
                        : files.write_failed                        ? "write error"
                                                                    : nullptr;
  if (failure) {
    std::fprintf(stderr, "quill implode: %s\n", failure);
    if (out_file) std::remove(paths[1].c_str());
    return 1;
  }
  return 0;
}

CommandRegistration implode_command{"implode", "implode [--ascii] [--dict 1024|2048|4096] [IN [OUT]]", RunImplode};

}  // namespace
}  // namespace quill
