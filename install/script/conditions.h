// The conditions of IF lines, decided on the machine the installer runs on.
//
// While the script is parsed at start-up every condition on the machine is
// decided at once: files, the version of a registered component, a text in a
// file, a file somewhere on the drives, the display, the memory, the Windows
// and DOS versions, and a word (usually a command-line option substituted at
// parse time) compared with a value. Conditions on the user's choices ("group"
// and the answers "$ASKn") are known only during the run: their whole block
// is captured as a DeferredBlock and decided when ReplayDeferredBlocks parses
// it again, after the questions and the group pages.
//
// Every malformed condition is a syntax error of its IF line (-1). Facts
// that cannot be obtained (a registry key, a version resource, a file to
// search) make the condition false or read as "0.0.0.0", never an error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "install/os/machine.h"
#include "install/os/registry.h"
#include "install/os/system_info.h"
#include "install/script/install_plan.h"
#include "install/script/script_cursor.h"
#include "install/script/script_parser.h"
#include "install/ui/desktop.h"

namespace install::script {

// Comparison operators: "=" or "==" equal, ">" greater, "<" less, ">="
// greater or equal, "<=" less or equal, "<>" not equal.
enum class Comparison : int {
  Invalid = -1,
  Equal = 1,
  Greater = 2,
  Less = 3,
  GreaterOrEqual = 4,
  LessOrEqual = 5,
  NotEqual = 6,
};

// Skips separator set A and reads an operator: its first character, and the
// next one as well when that is "=" or ">". Invalid for anything else
// (including "=>", ">>" and the end of the line).
Comparison ReadOperator(ScriptCursor& cursor);

// Whether `order` (negative, zero or positive: left against right) satisfies
// `comparison`; false for Invalid.
bool OrderSatisfies(Comparison comparison, int order);

// Leading decimal number with an optional sign and fraction ("3.95", "-2",
// "7."); 0 without digits. No exponent, no locale.
double DecimalFraction(std::string_view text);

// 2 to the power of `color_bits`, saturated at 2^32 (and 1 below one bit).
uint64_t ColorCount(int color_bits);

// The display tests, with C, W, H the script's numbers (unused ones 0):
//   form 1 (colours):    "<" colours <= C;        ">" colours >= C
//   form 2 (resolution): "<" height <= H, width < W;   ">" height >= H, width >= W
//   form 3 (both):       "<" colours <= C, height < H, width < W;
//                        ">" colours >= C, height >= H, width >= W
enum class DisplayForm { Colors = 1, Resolution = 2, Both = 3 };
bool DisplayMatches(DisplayForm form, bool less, const os::DisplayMode& display, uint64_t colors,
                    uint64_t width, uint64_t height);

struct ConditionServices {
  os::Machine& machine;
  os::SystemInfo& system;
  ui::Desktop& desktop;                // the please-wait box of "locate"
  os::Registry* registry = nullptr;    // none: every component reads as "0.0.0.0"
};

class MachineConditions : public ConditionEvaluator {
 public:
  explicit MachineConditions(const ConditionServices& services) : services_(services) {}

  // Normal mode: 1, 0, 100 (a "group" or "$ask..." condition: the block has
  // been captured) or -1.
  int Evaluate(ScriptCursor& cursor, ScriptParser& parser) override;
  // Replay mode: "group = N N ..." and "$ASKn OP text|range LOW HIGH" only;
  // 1, 0 or -1.
  int EvaluateDeferred(ScriptCursor& cursor, ScriptParser& parser) override;

 private:
  int Version(ScriptCursor& cursor, double machine_version);
  int Memory(ScriptCursor& cursor);
  int Display(ScriptCursor& cursor, const std::string& kind);
  int ComponentVersion(ScriptCursor& cursor);
  std::string InstalledServer(const std::string& clsid, bool thirty_two);
  int Locate(ScriptCursor& cursor, InstallPlan& plan);

  ConditionServices services_;
};

// Replays every deferred block of the plan in capture order, each through a
// parser in replay mode with `services`. 0 when every block was replayed; -1
// at the first that failed (its syntax error or exit message has been
// shown), the remaining blocks left alone.
int ReplayDeferredBlocks(InstallPlan& plan, const ParserServices& services);

}  // namespace install::script
