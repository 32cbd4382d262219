// The installer's built-in message texts, in one place.
//
// The 17 prompt texts that a script keyword of the same name can replace live
// in PromptTexts (the plan holds one, starting from the built-in texts); one
// table gives each its keyword, its capacity and its built-in text. The texts
// that no keyword replaces are constants below. Several end in a space
// because a name or number is appended to them when shown.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace install::ui {

// The message texts a script can replace. Each holds fewer characters than
// its capacity (500 or 1000 bytes with the terminator).
struct PromptTexts {
  // Every text at its built-in value.
  PromptTexts();

  // The text replaced by prompt keyword `keyword` (letter case ignored), or
  // nullptr when `keyword` is not one of the 17. `capacity` receives 500 or
  // 1000.
  std::string* ForKeyword(std::string_view keyword, std::size_t* capacity = nullptr);

  std::string copy_file;       // COPYFILEPROMPT
  std::string autoexec;        // AUTOEXECPROMPT
  std::string config;          // CONFIGPROMPT
  std::string ini_file;        // INIFILEPROMPT
  std::string cpu;             // CPUPROMPT
  std::string bad_dir;         // BADDIRPROMPT
  std::string bad_drive;       // BADDRIVEPROMPT
  std::string ok;              // OKPROMPT
  std::string cancel;          // CANCELPROMPT
  std::string file_exist;      // FILEEXISTPROMPT
  std::string file_not_found;  // FILENOTFOUNDPROMPT
  std::string insert_disk;     // INSERTDISKPROMPT
  std::string locate;          // LOCATEPROMPT
  std::string no_group;        // NOGROUPPROMPT
  std::string no_space;        // NOSPACEPROMPT
  std::string quit;            // QUITPROMPT
  std::string reboot;          // REBOOTPROMPT
};

// One replaceable prompt: its script keyword, its capacity in bytes with the
// terminator, where PromptTexts holds it, and its built-in text.
struct PromptTextSlot {
  std::string_view keyword;
  std::size_t capacity;
  std::string PromptTexts::*text;
  std::string_view builtin;
};

// The 17 prompts, in the order scripts and the plan's dump list them.
std::span<const PromptTextSlot> PromptTextTable();

// The built-in text of a prompt keyword (letter case ignored); an empty view
// when `keyword` is not one of the 17.
std::string_view BuiltinPromptTextFor(std::string_view keyword);

// --- Texts that no keyword replaces -----------------------------------------
// Destination question, drive and directory asked / drive only / directory only.
inline constexpr std::string_view kAskDriveAndDirectoryText =
    "Please enter the destination drive and directory:";
inline constexpr std::string_view kAskDriveText = "Please enter the destination drive:";
inline constexpr std::string_view kAskDirectoryText = "Please enter the destination directory:";
// Disk name of an INSERTDISK line without one.
inline constexpr std::string_view kNextDiskText = "the next disk";
// Caption of a script error; the line number follows.
inline constexpr std::string_view kSyntaxErrorCaption = "Syntax error, line: ";
// A replayed block without the end of its first screen.
inline constexpr std::string_view kMissingEndFirstScreenText = "Missing EndFirstScreen ";
inline constexpr std::string_view kReadingDiskErrorText = "Reading disk error.";
inline constexpr std::string_view kWritingDiskErrorText = "Writing disk error.";
inline constexpr std::string_view kNoMemoryUnshrinkingText = "Not enough memory unshrinking files";
// The following three are followed by a file name.
inline constexpr std::string_view kReadingFileErrorText = "Reading file error: ";
inline constexpr std::string_view kCannotCreateFileText = "Cannot create file ";
inline constexpr std::string_view kInvalidCompressedFileText = "Invalid compressed file ";
// No storage for a screen template.
inline constexpr std::string_view kNotEnoughMemoryText = "Not Enough Memory";
// A self-registering server failed; its path comes first.
inline constexpr std::string_view kNotRegisteredText = " has not been successfully registered.";

}  // namespace install::ui
