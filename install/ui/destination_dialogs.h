// The destination question: where the installation (or its second and third
// directory) goes. The dialogs themselves belong to the user interface; the
// engine asks through DestinationDialogs. The decisions the dialog makes —
// how the current path is split over its fields and what path an OK makes of
// the typed text — are the portable functions below, shared by every
// implementation.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace install::ui {

// Results of DestinationDialogs::AskDestination (the dialog's end codes).
enum : int { kDestinationConfirmed = 1, kDestinationCancelled = 2 };

// The longest path the dialog's text field gives back, in characters.
inline constexpr std::size_t kDestinationEntryCapacity = 497;
// The longest destination path, in characters.
inline constexpr std::size_t kDestinationPathCapacity = 499;

struct DestinationQuestion {
  int ask_mode = 3;     // 1 directory only, 2 drive only, 3 drive and directory
  std::string prompt;   // the script's prompt, or the default of the ask mode
  std::string path;     // the proposal
};

class DestinationDialogs {
 public:
  virtual ~DestinationDialogs() = default;
  // Shows the destination dialog of the question's ask mode (template
  // DestinationTemplateId). On OK the dialog checks the typed path, creates
  // the directory with its missing levels (logging them), stores the path in
  // *chosen and returns kDestinationConfirmed; a bad drive or a directory
  // that cannot be created keeps the dialog open. Cancel asks whether to quit
  // and returns kDestinationCancelled only after Yes. *chosen is untouched
  // when cancelled.
  virtual int AskDestination(const DestinationQuestion& question, std::string* chosen) = 0;
};

// 250 directory only, 300 drive only, 350 drive and directory.
constexpr int DestinationTemplateId(int ask_mode) { return 200 + 50 * ask_mode; }

// What the dialog shows of the current path.
//  mode 1: `fixed` = drive letter (upper case) + ":\", `entry` = the rest of
//          the path after "X:\" (empty when no "\" follows the drive);
//  mode 2: `entry` = the drive letter, `fixed` = ":" and the rest;
//  mode 3: `entry` = the whole path, `fixed` empty.
struct DestinationFields {
  std::string entry;
  std::string fixed;
};
DestinationFields SplitDestinationPath(int ask_mode, const std::string& path);

// The path that OK makes of the text typed into the entry field (already
// upper case, as the field makes it), given the path shown when the dialog
// opened:
//  mode 1: old drive letter + ":\" + text, cut at the first space or comma;
//  mode 2: the old path with the typed drive letter, cut at the first space
//          or comma; the first character must be a letter;
//  mode 3: the text cut at the first comma (spaces stay); it must begin with
//          a letter, followed by ":" or the end, then "\" or the end.
// The text is read up to kDestinationEntryCapacity characters and the result
// cut to kDestinationPathCapacity. nullopt: not a valid drive (the dialog
// shows the bad-drive message and stays open). Any other mode gives the old
// path unchanged.
std::optional<std::string> DestinationFromEntry(int ask_mode, const std::string& old_path,
                                                const std::string& text);

// The question's prompt: the record's own prompt, or the default text of the
// ask mode.
std::string DefaultDestinationPrompt(int ask_mode);

}  // namespace install::ui
