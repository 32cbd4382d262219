// The input and output of quill's coding commands (explode, implode): files,
// or standard input and output when a name is left out or is "-", always in
// binary mode. The read and write functions are the coders' callbacks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace quill {

class CoderFiles {
 public:
  // Opens paths[0] for reading and paths[1] for writing (either may be absent).
  // False, after one line on stderr naming the file, when one cannot be opened.
  bool Open(const char* command, const std::vector<std::string>& paths);

  // Callbacks for Explode and Implode; `param` is the CoderFiles.
  static unsigned Read(char* buffer, unsigned* size, void* param);
  static void Write(char* buffer, unsigned* size, void* param);

  // Closes both sides. `coder_failure` is the coder's own failure text, or
  // nullptr when it succeeded. Prints one line for the first failure (the
  // coder's, then a read error, then a write error), removes a partly written
  // output file, and returns the exit status: 0, or 1 on any failure.
  int Finish(const char* coder_failure);

 private:
  std::string command_;
  std::string out_path_;
  FILE* in_ = stdin;
  FILE* out_ = stdout;
  bool in_file_ = false;
  bool out_file_ = false;
  bool write_failed_ = false;
};

}  // namespace quill
