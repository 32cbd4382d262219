// quill explode [IN [OUT]]: decodes a DCL implode stream (stdin/stdout when
// the files are not given).
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "install/engine/explode.h"
#include "tools/quill/command.h"

namespace quill {
namespace {

struct ExplodeFiles {
  FILE* in;
  FILE* out;
  bool write_failed;
};

unsigned ReadInput(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<ExplodeFiles*>(param);
  return static_cast<unsigned>(std::fread(buffer, 1, *size, files.in));
}

void WriteOutput(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<ExplodeFiles*>(param);
  if (*size != 0 && std::fwrite(buffer, 1, *size, files.out) != *size) files.write_failed = true;
}

int RunExplode(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg.size() > 1 && arg[0] == '-') return PrintUsage("explode");
    paths.push_back(arg);
  }
  if (paths.size() > 2) return PrintUsage("explode");
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const bool in_file = !paths.empty() && paths[0] != "-";
  const bool out_file = paths.size() > 1 && paths[1] != "-";
  ExplodeFiles files{stdin, stdout, false};
  if (in_file && !(files.in = std::fopen(paths[0].c_str(), "rb"))) {
    std::fprintf(stderr, "quill explode: cannot open '%s'\n", paths[0].c_str());
    return 1;
  }
  if (out_file && !(files.out = std::fopen(paths[1].c_str(), "wb"))) {
    std::fprintf(stderr, "quill explode: cannot create '%s'\n", paths[1].c_str());
    if (in_file) std::fclose(files.in);
    return 1;
  }
  std::vector<char> work(install::engine::kExplodeWorkSize);
  const int result = install::engine::Explode(ReadInput, WriteOutput, work.data(), &files);
  const bool read_failed = std::ferror(files.in) != 0;
  if (in_file) std::fclose(files.in);
  if (std::fflush(files.out) != 0) files.write_failed = true;
  if (out_file && std::fclose(files.out) != 0) files.write_failed = true;
  if (result != install::engine::kExplodeOk) {
    std::fprintf(stderr, "quill explode: cannot decode: %s (result %d)\n", install::engine::ExplodeResultText(result),
                 result);
  } else if (read_failed) {
    std::fprintf(stderr, "quill explode: read error\n");
  } else if (files.write_failed) {
    std::fprintf(stderr, "quill explode: write error\n");
  }
  if (result != install::engine::kExplodeOk || read_failed || files.write_failed) {
    if (out_file) std::remove(paths[1].c_str());
    return 1;
  }
  return 0;
}

CommandRegistration explode_command{"explode", "explode [IN [OUT]]", RunExplode};

}  // namespace
}  // namespace quill
