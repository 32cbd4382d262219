// The disk prompts: "Please insert " and a disk's name, shown at the
// disk-change points of the FileList and whenever the engine needs the next
// (or the same) source disk. A disk-change entry with a check text is only
// accepted when the source drive's volume label equals that text.
//
// The first prompt of a run closes the install archive and switches it off:
// from then on every source is looked up on the disks only.
#pragma once

#include <string>

#include "install/archive/disk_request.h"
#include "install/engine/engine_state.h"
#include "install/archive/source_stream.h"
#include "install/os/machine.h"
#include "install/script/install_plan.h"
#include "install/ui/desktop.h"

namespace install::engine {

// Results of the prompts.
enum : int { kDiskPromptInPlace = 0, kDiskPromptQuit = 1, kDiskPromptScratch = -1 };

class DiskPrompter : public archive::NextDiskRequester {
 public:
  DiskPrompter(const script::InstallPlan& plan, EngineState& state, os::Machine& machine,
               ui::Desktop& desktop, archive::SourceReader& sources)
      : plan_(plan), state_(state), machine_(machine), desktop_(desktop), sources_(sources) {}

  // Asks for the disk of the disk-change entry at the current disk index.
  // `file_name` (may be null) is the file that was not found: a disk known by
  // its name only is then asked for with the file-not-found text in front.
  // When the current disk index does not designate a disk-change entry, the
  // prompt asks for "the next disk" and the result is kDiskPromptScratch once
  // confirmed. Returns kDiskPromptInPlace, or kDiskPromptQuit when the user
  // chose to quit.
  int DiskPrompt(const std::string* file_name);

  // The next-disk request. `advance`: the executor position moves one on and
  // becomes the current disk index first. Then the current disk index moves
  // forward over FILE entries to the next disk-change entry, the executor
  // position is set to it and its disk is asked for. Returns
  // kDiskPromptInPlace, or kDiskPromptQuit when there is no further
  // disk-change entry or the user chose to quit.
  int NextDiskPrompt(bool advance);

  // archive::NextDiskRequester, for the volume-set reader: NextDiskPrompt with
  // negative results turned into archive::kDiskInPlace.
  int RequestNextDisk(bool advance) override;

 private:
  // Shows `text` until the disk is accepted or the user quits. `check` is the
  // volume label to insist on (null: none). Returns `accepted` or
  // kDiskPromptQuit.
  int RunPromptLoop(const std::string& text, const std::string* check, int accepted);
  bool LabelMatches(const std::string& check);

  const script::InstallPlan& plan_;
  EngineState& state_;
  os::Machine& machine_;
  ui::Desktop& desktop_;
  archive::SourceReader& sources_;
};

}  // namespace install::engine
