// What the browser's reader targets share: the input as a file on drive E: of
// the fault-injecting machine model, which can shrink it while it is read,
// and a fatal file error that breaks the run (the readers must never need it
// for a file that opened).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tamblor/text/fatal_exit.h"
#include "tests/tamblor/support/faulty_machine.h"

namespace fuzz {

// Writes `bytes` to E:\<name> on `machine` (drive E: over the target's
// scratch directory) and, when `shrink_at_read` is not 0, arms the machine to
// cut the file to `shrink_to` bytes before that read.
inline void PutDiscFile(tamblor::testing::FaultyMachine& machine, const char* target, const std::string& name,
                        const std::string& bytes, int shrink_at_read, int64_t shrink_to) {
  const std::string disc = ScratchDirectory(target).string();
  std::ofstream(disc + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
  machine.MapDrive('E', disc, tamblor::os::DriveType::CdRom);
  machine.ShrinkBeforeRead(shrink_at_read, shrink_to);
  tamblor::text::SetFatalExitHook([](int) { Broken("a fatal file error while reading a file that opened"); });
}

}  // namespace fuzz
