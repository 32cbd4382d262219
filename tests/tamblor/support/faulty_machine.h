// The browser's machine model failing on request, for walking every failure
// point of a write path, and shrinking a file while it is read, for the
// readers.
//
// It counts the operations that change files: creations (opening for writing
// or appending), writes of files so opened (each time the stream hands bytes
// to the system), their closes, renames, deletions of files, and directories
// made and removed. Armed with a fault, the nth operation of that kind
// (counted from arming) fails the way a real machine fails:
//   FailCreate           opening for writing fails (no access), nothing is made
//   FailWrite            the write writes nothing and fails
//   ShortWrite           the write writes half its bytes and the disk is full
//                        from then on: every later write of that file fails
//   FailClose            the file closes, but the last half of what was
//                        written through it never reaches the disk; fclose
//                        answers EOF
//   FailRename / FailDelete / FailMakeDirectory / FailRemoveDirectory
//                        the call fails and nothing changes
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tamblor/os/host/host_machine.h"

namespace tamblor::testing {

enum class Fault {
  None,
  FailCreate,
  FailWrite,
  ShortWrite,
  FailClose,
  FailRename,
  FailDelete,
  FailMakeDirectory,
  FailRemoveDirectory,
};

struct FaultPoint {
  Fault fault = Fault::None;
  int nth = 0;
};

struct OperationCounts {
  int creates = 0;
  int writes = 0;
  int closes = 0;
  int renames = 0;
  int deletes = 0;
  int directory_makes = 0;
  int directory_removals = 0;
};

// "FailWrite #3"
std::string Describe(const FaultPoint& point);

// Every failure point a run with these counts passes: each fault kind at each
// of its operations.
std::vector<FaultPoint> FailurePointsOf(const OperationCounts& counts);

class FaultyMachine : public os::host::HostMachine {
 public:
  // Arms `point` (replacing what was armed) and resets the counts;
  // Fault::None disarms.
  void Arm(const FaultPoint& point);
  bool fired() const { return fired_; }
  const OperationCounts& counts() const { return counts_; }

  // Files opened for reading from now on are cut to `size` bytes just before
  // their `nth_read` read from the system (counted over all of them): the
  // file shrinks while it is open, as when another program rewrites it.
  void ShrinkBeforeRead(int nth_read, int64_t size);
  int reads() const { return reads_; }

  std::FILE* OpenFile(const std::string& path, const char* mode) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;

  // Called by the streams this machine hands out: counts one operation and
  // answers the armed fault when it strikes this one, Fault::None otherwise.
  Fault Count(int OperationCounts::*count);
  void BeforeRead(const std::string& host_path);

 private:
  FaultPoint armed_;
  bool fired_ = false;
  OperationCounts counts_;
  int shrink_at_read_ = 0;
  int64_t shrink_to_ = 0;
  int reads_ = 0;
};

}  // namespace tamblor::testing

namespace tamblor::testing {

// The command interpreter's copy as the tests stand it in: `copy "SOURCE"
// "TARGET"` through the machine's files, so that its faults strike it. Like
// an interpreter that never checks what it wrote, it answers 0 whenever both
// files opened; 1 when one did not or the command is no such copy.
int StandInCopy(os::Machine& machine, const std::string& command);

}  // namespace tamblor::testing
