#include "tests/support/faulty_machine.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace test_support {
namespace {

namespace fs = std::filesystem;
using install::os::File;
using install::os::OpenMode;

const char* NameOf(Fault fault) {
  switch (fault) {
    case Fault::None: return "None";
    case Fault::FailWrite: return "FailWrite";
    case Fault::ShortWrite: return "ShortWrite";
    case Fault::FailFlush: return "FailFlush";
    case Fault::FailClose: return "FailClose";
    case Fault::FailCreate: return "FailCreate";
    case Fault::FailRename: return "FailRename";
    case Fault::FailSetAttributes: return "FailSetAttributes";
    case Fault::FailSetTime: return "FailSetTime";
    case Fault::FailDelete: return "FailDelete";
  }
  return "?";
}

int* CounterOf(OperationCounts& counts, Fault fault) {
  switch (fault) {
    case Fault::FailWrite:
    case Fault::ShortWrite: return &counts.writes;
    case Fault::FailFlush: return &counts.flushes;
    case Fault::FailClose: return &counts.closes;
    case Fault::FailCreate: return &counts.creates;
    case Fault::FailRename: return &counts.renames;
    case Fault::FailSetAttributes: return &counts.attribute_sets;
    case Fault::FailSetTime: return &counts.time_sets;
    case Fault::FailDelete: return &counts.deletes;
    case Fault::None: break;
  }
  return nullptr;
}

// A file opened for writing on the faulty machine.
class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> inner, FaultyMachine& machine, std::string local)
      : inner_(std::move(inner)), machine_(machine), local_(std::move(local)) {
    size_at_open_ = std::max<int64_t>(0, inner_->Seek(0, 2));
    inner_->Seek(0, 0);
  }
  ~FaultyFile() override {
    if (open_) Close();
  }

  int32_t Read(void* buffer, uint32_t count) override { return inner_->Read(buffer, count); }
  int32_t Write(const void* buffer, uint32_t count) override {
    // One hit per write, whichever of the two write faults is armed.
    if (machine_.Hit(Fault::FailWrite)) return -1;
    if (count > 0) machine_.NoteWritten(local_);
    if (machine_.Hit(Fault::ShortWrite)) return inner_->Write(buffer, count / 2);
    return inner_->Write(buffer, count);
  }
  int64_t Seek(int64_t offset, int origin) override { return inner_->Seek(offset, origin); }
  bool Flush() override {
    if (machine_.Hit(Fault::FailFlush)) return false;
    if (!inner_->Flush()) return false;
    machine_.NoteFlushed(local_);
    return true;
  }
  bool Close() override {
    if (!open_) return false;
    open_ = false;
    const bool ok = inner_->Close();
    if (!machine_.Hit(Fault::FailClose)) return ok;
    // What this handle added is half lost.
    std::error_code error;
    const auto size = static_cast<int64_t>(fs::file_size(local_, error));
    if (!error && size > size_at_open_) {
      fs::resize_file(local_, static_cast<uintmax_t>(size_at_open_ + (size - size_at_open_) / 2), error);
    }
    return false;
  }
  bool Truncate() override { return inner_->Truncate(); }

 private:
  std::unique_ptr<File> inner_;
  FaultyMachine& machine_;
  std::string local_;
  int64_t size_at_open_ = 0;
  bool open_ = true;
};

}  // namespace

std::string Describe(const FaultPoint& point) {
  return std::string(NameOf(point.fault)) + " #" + std::to_string(point.nth);
}

std::vector<FaultPoint> FailurePointsOf(const OperationCounts& counts) {
  std::vector<FaultPoint> points;
  for (Fault fault : {Fault::FailWrite, Fault::ShortWrite, Fault::FailFlush, Fault::FailClose,
                      Fault::FailCreate, Fault::FailRename, Fault::FailSetAttributes,
                      Fault::FailSetTime, Fault::FailDelete}) {
    OperationCounts copy = counts;
    const int n = *CounterOf(copy, fault);
    for (int nth = 1; nth <= n; ++nth) points.push_back(FaultPoint{fault, nth});
  }
  return points;
}

void FaultyMachine::Arm(const FaultPoint& point) {
  armed_.clear();
  if (point.fault != Fault::None) armed_.push_back(Armed{point, false});
  counts_ = OperationCounts{};
}

bool FaultyMachine::fired() const {
  for (const Armed& armed : armed_) {
    if (armed.fired) return true;
  }
  return false;
}

bool FaultyMachine::Hit(Fault fault) {
  // The two write faults share the write counter: count a write once.
  if (fault != Fault::ShortWrite) ++*CounterOf(counts_, fault);
  for (Armed& armed : armed_) {
    if (armed.point.fault == fault && !armed.fired && *CounterOf(counts_, fault) == armed.point.nth) {
      armed.fired = true;
      return true;
    }
  }
  return false;
}

std::unique_ptr<File> FaultyMachine::Open(const std::string& path, OpenMode mode) {
  if (mode == OpenMode::Read) return HostMachine::Open(path, mode);
  if (Hit(Fault::FailCreate)) return nullptr;
  std::unique_ptr<File> inner = HostMachine::Open(path, mode);
  if (!inner) return nullptr;
  return std::make_unique<FaultyFile>(std::move(inner), *this, LocalOf(path));
}

bool FaultyMachine::SetAttributes(const std::string& path, uint32_t attributes) {
  if (Hit(Fault::FailSetAttributes)) return false;
  return HostMachine::SetAttributes(path, attributes);
}

bool FaultyMachine::SetDosFileTime(const std::string& path, install::os::DosDateTime when) {
  if (Hit(Fault::FailSetTime)) return false;
  return HostMachine::SetDosFileTime(path, when);
}

bool FaultyMachine::DeleteFile(const std::string& path) {
  if (Hit(Fault::FailDelete)) return false;
  const std::string local = LocalOf(path);
  const bool deleted = HostMachine::DeleteFile(path);
  if (deleted) unflushed_.erase(local);
  return deleted;
}

bool FaultyMachine::MoveFile(const std::string& from, const std::string& to) {
  if (Hit(Fault::FailRename)) return false;
  const std::string moved = LocalOf(from);
  if (!HostMachine::MoveFile(from, to)) return false;
  if (unflushed_.erase(moved)) ++unflushed_renames_;
  return true;
}

bool FaultyMachine::MoveFileReplacing(const std::string& from, const std::string& to) {
  if (Hit(Fault::FailRename)) return false;
  const std::string moved = LocalOf(from);
  if (!HostMachine::MoveFileReplacing(from, to)) return false;
  if (unflushed_.erase(moved)) ++unflushed_renames_;
  return true;
}

std::string FaultyMachine::LocalOf(const std::string& path) const {
  auto local = ToLocal(path);
  return local ? local->string() : std::string();
}

}  // namespace test_support
