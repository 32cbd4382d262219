#include "tools/quill/coder_files.h"

#include <fcntl.h>

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace quill {
namespace {

namespace fs = std::filesystem;

// A new file that no other file held (opened exclusively), for writing.
FILE* CreateNew(const std::string& path) {
#ifdef _WIN32
  int fd = _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE* f = _fdopen(fd, "wb");
  if (!f) _close(fd);
#else
  int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
  if (fd < 0) return nullptr;
  FILE* f = fdopen(fd, "wb");
  if (!f) ::close(fd);
#endif
  return f;
}

// Flushes `f` through to the disk.
bool SyncToDisk(FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

// A temporary file beside `path` ("NAME.~q0", "NAME.~q1", ...), created new.
FILE* CreateBeside(const std::string& path, std::string* temporary) {
  for (int n = 0; n < 1000; ++n) {
    *temporary = path + ".~q" + std::to_string(n);
    if (FILE* f = CreateNew(*temporary)) return f;
    std::error_code error;
    if (!fs::exists(*temporary, error)) break;  // the directory refuses, not the name
  }
  temporary->clear();
  return nullptr;
}

}  // namespace

CoderFiles::~CoderFiles() {
  if (in_file_) std::fclose(in_);
  Discard();
}

bool CoderFiles::Open(const char* command, const std::vector<std::string>& paths) {
  command_ = command;
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const bool in_file = !paths.empty() && paths[0] != "-";
  const bool out_file = paths.size() > 1 && paths[1] != "-";
  std::error_code error;
  if (in_file && out_file && fs::equivalent(paths[0], paths[1], error)) {
    std::fprintf(stderr, "quill %s: '%s' is both the input and the output\n", command, paths[1].c_str());
    return false;
  }
  if (in_file) {
    if (!(in_ = std::fopen(paths[0].c_str(), "rb"))) {
      in_ = stdin;
      std::fprintf(stderr, "quill %s: cannot open '%s'\n", command, paths[0].c_str());
      return false;
    }
    in_file_ = true;
  }
  if (out_file) {
    out_path_ = paths[1];
    if (!(out_ = CreateBeside(out_path_, &temporary_path_))) {
      out_ = stdout;
      std::fprintf(stderr, "quill %s: cannot create '%s'\n", command, out_path_.c_str());
      return false;
    }
    out_file_ = true;
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

void CoderFiles::Discard() {
  if (!out_file_) return;
  if (out_) std::fclose(out_);
  out_ = stdout;
  out_file_ = false;
  std::remove(temporary_path_.c_str());
}

int CoderFiles::Finish(const char* coder_failure) {
  const bool read_failed = std::ferror(in_) != 0;
  if (in_file_) std::fclose(in_);
  in_file_ = false;
  in_ = stdin;
  if (out_file_ ? !SyncToDisk(out_) : std::fflush(out_) != 0) write_failed_ = true;
  if (out_file_ && std::fclose(out_) != 0) write_failed_ = true;
  if (out_file_) out_ = nullptr;
  const char* failure = coder_failure ? coder_failure
                        : read_failed ? "read error"
                        : write_failed_ ? "write error"
                                        : nullptr;
  std::error_code error;
  if (!failure && out_file_) {
    fs::rename(temporary_path_, out_path_, error);
    if (error) failure = "cannot replace the output";
  }
  if (!failure) {
    out_file_ = false;
    return 0;
  }
  std::fprintf(stderr, "quill %s: %s\n", command_.c_str(), failure);
  Discard();
  return 1;
}

}  // namespace quill
