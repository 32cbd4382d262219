#include "tests/tamblor/support/faulty_machine.h"

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tamblor::testing {
namespace {

const char* NameOf(Fault fault) {
  switch (fault) {
    case Fault::None: return "None";
    case Fault::FailCreate: return "FailCreate";
    case Fault::FailWrite: return "FailWrite";
    case Fault::ShortWrite: return "ShortWrite";
    case Fault::FailClose: return "FailClose";
    case Fault::FailRename: return "FailRename";
    case Fault::FailDelete: return "FailDelete";
    case Fault::FailMakeDirectory: return "FailMakeDirectory";
    case Fault::FailRemoveDirectory: return "FailRemoveDirectory";
  }
  return "?";
}

// One stream handed out: the system's descriptor under a stdio stream of
// our own, so that every transfer passes the machine.
struct Stream {
  FaultyMachine* machine;
  int fd;
  std::string host_path;
  bool writing;
  bool disk_full = false;
  off_t start_size = 0;   // the file's size when opened (appending keeps it)
  int64_t written = 0;    // bytes that reached the file through this stream
};

ssize_t StreamRead(void* cookie, char* buffer, size_t size) {
  auto* stream = static_cast<Stream*>(cookie);
  stream->machine->BeforeRead(stream->host_path);
  return ::read(stream->fd, buffer, size);
}

ssize_t StreamWrite(void* cookie, const char* buffer, size_t size) {
  auto* stream = static_cast<Stream*>(cookie);
  FaultyMachine& machine = *stream->machine;
  Fault fault = machine.Count(&OperationCounts::writes);
  if (fault == Fault::FailWrite || stream->disk_full) {
    errno = ENOSPC;
    return -1;
  }
  size_t count = size;
  if (fault == Fault::ShortWrite) {
    count = size / 2;
    stream->disk_full = true;
  }
  ssize_t done = count == 0 ? 0 : ::write(stream->fd, buffer, count);
  if (done > 0) stream->written += done;
  if (stream->disk_full) errno = ENOSPC;
  return done;
}

int StreamSeek(void* cookie, off64_t* offset, int whence) {
  auto* stream = static_cast<Stream*>(cookie);
  off_t at = ::lseek(stream->fd, static_cast<off_t>(*offset), whence);
  if (at < 0) return -1;
  *offset = at;
  return 0;
}

int StreamClose(void* cookie) {
  auto* stream = static_cast<Stream*>(cookie);
  bool lose_half = stream->writing && stream->machine->Count(&OperationCounts::closes) == Fault::FailClose;
  if (lose_half) {
    int64_t kept = stream->written - stream->written / 2;
    if (::ftruncate(stream->fd, stream->start_size + kept) != 0) lose_half = true;
  }
  int closed = ::close(stream->fd);
  delete stream;
  if (lose_half) {
    errno = ENOSPC;
    return -1;
  }
  return closed;
}

bool Writes(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }

}  // namespace

std::string Describe(const FaultPoint& point) { return std::string(NameOf(point.fault)) + " #" + std::to_string(point.nth); }

std::vector<FaultPoint> FailurePointsOf(const OperationCounts& counts) {
  std::vector<FaultPoint> points;
  auto add = [&points](Fault fault, int count) {
    for (int nth = 1; nth <= count; ++nth) points.push_back(FaultPoint{fault, nth});
  };
  add(Fault::FailCreate, counts.creates);
  add(Fault::FailWrite, counts.writes);
  add(Fault::ShortWrite, counts.writes);
  add(Fault::FailClose, counts.closes);
  add(Fault::FailRename, counts.renames);
  add(Fault::FailDelete, counts.deletes);
  add(Fault::FailMakeDirectory, counts.directory_makes);
  add(Fault::FailRemoveDirectory, counts.directory_removals);
  return points;
}

void FaultyMachine::Arm(const FaultPoint& point) {
  armed_ = point;
  fired_ = false;
  counts_ = OperationCounts{};
}

// The count each fault kind strikes.
static int OperationCounts::*CountOf(Fault fault) {
  switch (fault) {
    case Fault::FailCreate: return &OperationCounts::creates;
    case Fault::FailWrite:
    case Fault::ShortWrite: return &OperationCounts::writes;
    case Fault::FailClose: return &OperationCounts::closes;
    case Fault::FailRename: return &OperationCounts::renames;
    case Fault::FailDelete: return &OperationCounts::deletes;
    case Fault::FailMakeDirectory: return &OperationCounts::directory_makes;
    case Fault::FailRemoveDirectory: return &OperationCounts::directory_removals;
    case Fault::None: break;
  }
  return nullptr;
}

Fault FaultyMachine::Count(int OperationCounts::*count) {
  int nth = ++(counts_.*count);
  if (fired_ || armed_.fault == Fault::None || CountOf(armed_.fault) != count || nth != armed_.nth) return Fault::None;
  fired_ = true;
  return armed_.fault;
}

void FaultyMachine::ShrinkBeforeRead(int nth_read, int64_t size) {
  shrink_at_read_ = nth_read;
  shrink_to_ = size;
  reads_ = 0;
}

void FaultyMachine::BeforeRead(const std::string& host_path) {
  if (++reads_ == shrink_at_read_ && ::truncate(host_path.c_str(), static_cast<off_t>(shrink_to_)) != 0) {
    shrink_at_read_ = 0;  // a file that cannot be cut stays as it is
  }
}

std::FILE* FaultyMachine::OpenFile(const std::string& path, const char* mode) {
  bool writing = Writes(mode);
  if (writing && Count(&OperationCounts::creates) == Fault::FailCreate) {
    errno = EACCES;
    return nullptr;
  }
  std::FILE* plain = HostMachine::OpenFile(path, mode);
  if (!plain) return nullptr;
  auto* stream = new Stream{this, ::dup(::fileno(plain)), ToHostPath(path), writing};
  std::fclose(plain);
  if (stream->fd < 0) {
    delete stream;
    return nullptr;
  }
  stream->start_size = ::lseek(stream->fd, 0, SEEK_END);
  ::lseek(stream->fd, 0, SEEK_SET);
  cookie_io_functions_t functions{StreamRead, StreamWrite, StreamSeek, StreamClose};
  std::FILE* file = ::fopencookie(stream, mode, functions);
  if (!file) StreamClose(stream);
  return file;
}

bool FaultyMachine::RenameFile(const std::string& from, const std::string& to) {
  return Count(&OperationCounts::renames) != Fault::FailRename && HostMachine::RenameFile(from, to);
}

bool FaultyMachine::RemoveFile(const std::string& path) {
  return Count(&OperationCounts::deletes) != Fault::FailDelete && HostMachine::RemoveFile(path);
}

bool FaultyMachine::MakeDirectory(const std::string& path) {
  return Count(&OperationCounts::directory_makes) != Fault::FailMakeDirectory && HostMachine::MakeDirectory(path);
}

bool FaultyMachine::RemoveEmptyDirectory(const std::string& path) {
  return Count(&OperationCounts::directory_removals) != Fault::FailRemoveDirectory &&
         HostMachine::RemoveEmptyDirectory(path);
}

}  // namespace tamblor::testing

namespace tamblor::testing {

int StandInCopy(os::Machine& machine, const std::string& command) {
  std::vector<std::string> quoted;
  for (size_t open = command.find('"'); open != std::string::npos; open = command.find('"', open)) {
    size_t close = command.find('"', open + 1);
    if (close == std::string::npos) return 1;
    quoted.push_back(command.substr(open + 1, close - open - 1));
    open = close + 1;
  }
  if (command.rfind("copy ", 0) != 0 || quoted.size() != 2) return 1;
  std::FILE* from = machine.OpenFile(quoted[0], "rb");
  if (!from) return 1;
  std::FILE* to = machine.OpenFile(quoted[1], "wb");
  if (!to) {
    std::fclose(from);
    return 1;
  }
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, from)) > 0;) std::fwrite(buffer, 1, got, to);
  std::fclose(from);
  std::fclose(to);
  return 0;
}

}  // namespace tamblor::testing
