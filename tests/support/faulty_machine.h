// A host machine that fails on request, for walking every failure point of a
// write path.
//
// It counts the operations that change files: writes, flushes and closes of
// files opened for writing, creations (opening for writing), renames
// (MoveFile, MoveFileReplacing), attribute and time changes and deletions.
// Armed with a fault, the nth operation of that kind (counted from arming)
// fails the way a real machine fails:
//   FailWrite      the write writes nothing and returns -1
//   ShortWrite     the write writes half the bytes (a full disk) and says so
//   FailFlush      the flush returns false, the data stays as written
//   FailClose      the file closes, but the last half of what was written
//                  through it never reaches the disk (held back by the
//                  system, lost on a full disk); Close() returns false. A file destroyed without Close() loses the
//                  same, silently, as a program that never asks would.
//   FailCreate     opening for writing fails (no access)
//   FailRename     the rename fails and nothing moves (a sharing violation)
//   FailSetAttributes / FailSetTime / FailDelete   the call fails, nothing changes
//
// It also notes a file that was renamed while written data had not been
// flushed: after a power loss such a file may be empty under its new name.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "install/os/host/host_machine.h"

namespace test_support {

enum class Fault {
  None,
  FailWrite,
  ShortWrite,
  FailFlush,
  FailClose,
  FailCreate,
  FailRename,
  FailSetAttributes,
  FailSetTime,
  FailDelete,
};

struct FaultPoint {
  Fault fault = Fault::None;
  int nth = 0;
};

// How many operations of each kind happened since the counts were reset.
struct OperationCounts {
  int writes = 0;
  int flushes = 0;
  int closes = 0;
  int creates = 0;
  int renames = 0;
  int attribute_sets = 0;
  int time_sets = 0;
  int deletes = 0;
};

// "FailWrite #3"
std::string Describe(const FaultPoint& point);

// Every failure point a run with these counts passes: each fault kind at
// each of its operations.
std::vector<FaultPoint> FailurePointsOf(const OperationCounts& counts);

class FaultyMachine : public install::os::HostMachine {
 public:
  // Arms `point` (replacing what was armed) and resets the counts;
  // Fault::None disarms.
  void Arm(const FaultPoint& point);
  // Arms one more fault beside those armed (for failures that follow one
  // another), without resetting the counts.
  void AlsoArm(const FaultPoint& point) { armed_.push_back(Armed{point, false}); }
  // True once an armed fault has happened.
  bool fired() const;
  const OperationCounts& counts() const { return counts_; }
  // Renames of a file whose written data had not been flushed.
  int unflushed_renames() const { return unflushed_renames_; }

  // Called by the files this machine hands out.
  bool Hit(Fault fault);
  void NoteWritten(const std::string& local_path) { unflushed_.insert(local_path); }
  void NoteFlushed(const std::string& local_path) { unflushed_.erase(local_path); }

  std::unique_ptr<install::os::File> Open(const std::string& path, install::os::OpenMode mode) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  bool SetDosFileTime(const std::string& path, install::os::DosDateTime when) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;

 private:
  std::string LocalOf(const std::string& path) const;

  struct Armed {
    FaultPoint point;
    bool fired = false;
  };
  std::vector<Armed> armed_;
  OperationCounts counts_;
  std::set<std::string> unflushed_;
  int unflushed_renames_ = 0;
};

}  // namespace test_support
