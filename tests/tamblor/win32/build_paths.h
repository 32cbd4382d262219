// Where the Win32 tests find the program and the German language library: the
// build tree, named by QM_BUILD (a local path, reached through drive Z:).
#pragma once

#include <cstdlib>
#include <string>

namespace tamblor::testing {

// "Z:\..." for a local path.
inline std::string FromLocalPath(const std::string& local) {
  std::string path = "Z:" + local;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

inline std::string BuildDir() {
  const char* build = std::getenv("QM_BUILD");
  return build ? FromLocalPath(build) : std::string();
}

inline std::string ProgramPath() { return BuildDir() + "\\tamblor\\tamblor.exe"; }
inline std::string GermanLibraryDir() { return BuildDir() + "\\tests\\lang"; }
// RUNS32.DLL: a language whose entry point leaves a mark when it runs.
inline std::string CodeLibraryDir() { return BuildDir() + "\\tests\\lang-code"; }

}  // namespace tamblor::testing
