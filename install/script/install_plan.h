// The in-memory form of an installation script: settings, message texts,
// screens and the ordered item lists. Created with its defaults at start-up,
// filled by the script parser, read by the installation run.
//
// Capacities: texts are std::string; the limits the script language gives a
// text are checked by the parser (a longer text is an error of its line).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/script/dialog_template.h"
#include "install/script/dos_edit_args.h"
#include "install/script/file_entry.h"
#include "install/script/group_map.h"
#include "install/script/ini_edit_args.h"
#include "install/script/macros.h"
#include "install/script/program_item_args.h"
#include "install/script/registry_args.h"
#include "install/script/script_reader.h"
#include "install/ui/builtin_texts.h"

namespace install::script {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct TitleFont {
  std::string face = "Arial";
  int italic = 0;
  int underline = 0;
  int bold = 0;
  int point_size = 0;  // 0: the main window chooses
};

// Placement codes of the screen graphic: 0 default, 1 TOPLEFT, 2 TOPMIDDLE,
// 3 TOPRIGHT, 4 MIDDLERIGHT, 5 BOTTOMRIGHT, 6 BOTTOMMIDDLE, 7 BOTTOMLEFT,
// 8 MIDDLELEFT, 9 TILE, 10 FULLSCREEN.
struct ScreenGraphic {
  std::string path;
  int placement = 0;
};

struct IntroScreen {
  std::string path;
  int seconds = 0;  // 0: until a key or click
};

// Ask modes of a destination directory.
enum : int { kAskNothing = 0, kAskDirectoryOnly = 1, kAskDriveOnly = 2, kAskDriveAndDirectory = 3 };

struct DestinationDir {
  static constexpr std::size_t kPathCapacity = 499;     // characters
  static constexpr std::size_t kPromptCapacity = 1099;  // characters
  std::string path;
  std::string prompt;
  int has_own_prompt = 0;
  int ask_mode = kAskDriveAndDirectory;
};

struct AskPrompt {
  static constexpr std::size_t kAnswerCapacity = 497;
  static constexpr std::size_t kPromptCapacity = 499;
  std::string default_answer;
  std::string prompt;
};

// A command line to run, macros expanded before use (up to 999 characters).
struct RunCommand {
  static constexpr std::size_t kCapacity = 999;
  std::string command;
};

struct DeleteEntry {
  static constexpr std::size_t kCapacity = 499;
  std::string path;
};

struct RenameEntry {
  static constexpr std::size_t kCapacity = 999;
  std::string old_path;
  std::string new_path;
};

// The message texts a script can replace (built-in until a keyword replaces one).
using PromptTexts = ui::PromptTexts;

struct GroupHeader {
  DialogTemplate dialog;
  int exclusive = 0;
  int items_before = 0;  // group items defined before the header block
};

struct GroupPage {
  DialogTemplate dialog;
  int page_number = -1;
  uint32_t bit_mask = 1;  // 1 << first_item (0 when first_item >= 32)
  int first_item = 0;
  int end_item = 0;  // index after the page's last item
  int exclusive = 0;
};

struct PopupMessage {
  static constexpr std::size_t kFaceCapacity = 30;
  int number = 0;  // the POPID that refers to it
  std::string face = "MS Sans Serif";
  int size = 10;
  DialogTemplate dialog;
};

// IF, ELSE and ENDIF state; all 0 outside an IF.
struct IfState {
  int skipping = 0;
  int else_skips = 0;
  int else_allowed = 0;
  int if_open = 0;
};

enum : int { kUnpackerPkware = 0, kUnpackerLha = 1 };
enum : int { kRebootNone = 0, kRebootWindows = 1, kRebootSystem = 2 };

struct InstallPlan {
  static constexpr std::size_t kTitleCapacity = 499;
  static constexpr std::size_t kFontFaceCapacity = 30;
  static constexpr std::size_t kReadmeCapacity = 498;
  static constexpr int kMaxGroupPages = 16;
  static constexpr int kMaxGroupItems = 100;
  static constexpr int kMaxPopups = 16;
  static constexpr std::size_t kScratchSize = 4096;

  // Empty lists, every other field as declared below. The built-in prompt
  // texts and the machine facts are set by the plan creation of the start-up
  // code.
  InstallPlan();
  InstallPlan(const InstallPlan&) = delete;
  InstallPlan& operator=(const InstallPlan&) = delete;

  // --- Machine facts (fixed after creation) ---
  double windows_version = 0;
  double dos_version = 0;
  char hard_disk_letter = 'C';  // 'A' when drive A: is a fixed disk

  // --- Appearance ---
  std::string title;
  TitleFont title_font;
  Rgb title_color{128, 128, 255};
  Rgb screen_color_from{0, 0, 255};
  Rgb screen_color_to{0, 0, 0};
  std::string screen_font_face = "MS Sans Serif";  // FONTNAME
  std::optional<ScreenGraphic> screen_graphic;
  std::optional<IntroScreen> intro_screen;

  // --- Destinations and answers ---
  // [0] DEFAULTDIR, [1] DIR2, [2] DIR3.
  std::array<std::optional<DestinationDir>, 3> destinations;
  std::array<std::optional<AskPrompt>, 5> asks;  // ASK1..ASK5
  // Every macro value: $DEFAULTDIR$, $DIR2$, $DIR3$, $DEFAULTDRIVE$ and
  // $ASK1$..$ASK5$ set by the keywords above, the start-up values, and the
  // results of the search and locate conditions.
  MacroValues macros;

  // --- Requirements ---
  int min_cpu = 0;              // 0 none, else 386, 486, ...
  int32_t disk_space = -1;      // overall MINDISKSPACE; 1 once a parse starts
  std::array<int32_t, 100> group_disk_space;  // per group number, -1 = not given
  // After the parse: one requirement per group item, or the overall one
  // alone when there are no group items.
  std::vector<int32_t> item_disk_space;
  int32_t progress_total = 0;   // PROGRESSBAR

  // --- Behaviour ---
  OverwriteMode default_overwrite = OverwriteMode::Ask;  // of the FILE entries that follow
  int unpacker = kUnpackerPkware;
  int reboot_mode = kRebootNone;
  RunCommand run_at_start;
  std::vector<RunCommand> run_at_exit;
  std::string readme;
  int uninstall = 0;
  std::string uninstall_title = "UnInstall";
  std::string uninstall_begin = "Do you want this application removed from your system?";
  std::string uninstall_end = "This application has been successfully removed from your system.";
  PromptTexts prompts;
  std::vector<std::string> reg_servers;  // RegServerList
  int uses_external_unpacker = 0;  // some FILE entry is COMPRESSED or SELF-EXTRACT

  // --- Installation items, script order ---
  std::vector<FileEntry> file_list;
  int file_count = 0;  // FILE entries (INSERTDISK not counted)
  std::vector<ProgramItemEntry> program_items;
  std::vector<IniEntry> ini_edits;
  std::vector<AddTextEntry> text_insertions;
  std::vector<RegistryBlock> registry_blocks;
  std::vector<DeleteEntry> deletions;
  std::vector<RenameEntry> renames;
  AutoexecEdits autoexec_edits;
  ConfigEdits config_edits;
  std::vector<DeferredBlock> deferred_blocks;  // capture order

  // --- Screens ---
  std::optional<DialogTemplate> first_screen;
  std::optional<DialogTemplate> last_screen;
  std::optional<DialogTemplate> exit_message;
  std::optional<GroupHeader> group_header;
  std::vector<GroupPage> group_pages;  // at most 16
  int group_item_count = 0;            // at most 100
  GroupMap group_map;
  std::array<uint8_t, 100> group_selected{};   // chosen by the user
  std::array<uint8_t, 100> group_preselected{};  // "[X]" in the script
  int groups_chosen = 0;
  std::vector<PopupMessage> popups;  // at most 16

  // --- Parser state shared with the other parsers ---
  int line_number = 0;
  IfState if_state;
  int found = 0;  // the last locate condition found its file
  // One-use font for the next first or last screen.
  std::string next_screen_face;
  int next_screen_size = 0;
};

}  // namespace install::script
