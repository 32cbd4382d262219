// Runs the quill program built beside the tests, as a script author would.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quill_test {

inline std::filesystem::path QuillProgram() {
  if (const char* build = std::getenv("QM_BUILD")) return std::filesystem::path(build) / "tools" / "quill";
  // Beside the test program's own build tree: <build>/tests/<this> -> <build>/tools/quill.
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" / "quill";
}

struct QuillRun {
  int status = -1;
  std::string output;  // standard output and standard error together
};

// Runs "quill ARGUMENTS" in `directory` through the shell, after the shell
// commands of `before` (limits, say).
inline QuillRun Quill(const std::string& arguments, const std::filesystem::path& directory,
                      const std::string& before = "") {
  std::string command =
      "cd '" + directory.string() + "' && " + before + "'" + QuillProgram().string() + "' " + arguments + " 2>&1";
  QuillRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// The whole of a file the run wrote, or "<missing>".
inline std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace quill_test
