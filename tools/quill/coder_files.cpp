#include "tools/quill/coder_files.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace quill {

bool CoderFiles::Open(const char* command, const std::vector<std::string>& paths) {
  command_ = command;
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  in_file_ = !paths.empty() && paths[0] != "-";
  out_file_ = paths.size() > 1 && paths[1] != "-";
  if (in_file_ && !(in_ = std::fopen(paths[0].c_str(), "rb"))) {
    std::fprintf(stderr, "quill %s: cannot open '%s'\n", command, paths[0].c_str());
    in_file_ = false;
    return false;
  }
  if (out_file_) {
    out_path_ = paths[1];
    if (!(out_ = std::fopen(out_path_.c_str(), "wb"))) {
      std::fprintf(stderr, "quill %s: cannot create '%s'\n", command, out_path_.c_str());
      if (in_file_) std::fclose(in_);
      in_file_ = out_file_ = false;
      return false;
    }
  }
  return true;
}

unsigned CoderFiles::Read(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<CoderFiles*>(param);
  return static_cast<unsigned>(std::fread(buffer, 1, *size, files.in_));
}

void CoderFiles::Write(char* buffer, unsigned* size, void* param) {
  auto& files = *static_cast<CoderFiles*>(param);
  if (*size != 0 && std::fwrite(buffer, 1, *size, files.out_) != *size) files.write_failed_ = true;
}

int CoderFiles::Finish(const char* coder_failure) {
  const bool read_failed = std::ferror(in_) != 0;
  if (in_file_) std::fclose(in_);
  if (std::fflush(out_) != 0) write_failed_ = true;
  if (out_file_ && std::fclose(out_) != 0) write_failed_ = true;
  const char* failure = coder_failure ? coder_failure
                        : read_failed ? "read error"
                        : write_failed_ ? "write error"
                                        : nullptr;
  if (!failure) return 0;
  std::fprintf(stderr, "quill %s: %s\n", command_.c_str(), failure);
  if (out_file_) std::remove(out_path_.c_str());
  return 1;
}

}  // namespace quill
