// The input and output of quill's coding commands (explode, implode): files,
// or standard input and output when a name is left out or is "-", always in
// binary mode. The read and write functions are the coders' callbacks.
//
// An output file is written to a new temporary file beside it and takes its
// place only when the coder succeeded and every byte reached the disk, so a
// failure leaves an existing output as it was. The input is never its own
// output (the same file under any name is refused before anything is read).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace quill {

class CoderFiles {
 public:
  CoderFiles() = default;
  CoderFiles(const CoderFiles&) = delete;
  CoderFiles& operator=(const CoderFiles&) = delete;
  ~CoderFiles();

  // Opens paths[0] for reading and a temporary file for paths[1] (either may
  // be absent). False, after one line on stderr naming the file, when one
  // cannot be opened or both name the same file.
  bool Open(const char* command, const std::vector<std::string>& paths);

  // Callbacks for Explode and Implode; `param` is the CoderFiles.
  static unsigned Read(char* buffer, unsigned* size, void* param);
  static void Write(char* buffer, unsigned* size, void* param);

  // Closes both sides. `coder_failure` is the coder's own failure text, or
  // nullptr when it succeeded. Prints one line for the first failure (the
  // coder's, then a read error, then a write error). On success the output
  // takes its place; on a failure the temporary file is removed and an
  // existing output stays as it was. Returns the exit status: 0, or 1.
  int Finish(const char* coder_failure);

 private:
  // Closes and removes the temporary output, if any.
  void Discard();

  std::string command_;
  std::string out_path_;
  std::string temporary_path_;
  FILE* in_ = stdin;
  FILE* out_ = stdout;
  bool in_file_ = false;
  bool out_file_ = false;
  bool write_failed_ = false;
};

}  // namespace quill
