// The installer's built-in message texts.
//
// Two tables: the 17 prompt texts that a script keyword of the same name can
// replace (the plan holds the current text of each), and the texts that no
// keyword replaces. Several end in a space because a name or number is
// appended to them when shown. The fixed texts are header-only constants so
// that every layer can use them without a link dependency.
#pragma once

#include <span>
#include <string_view>

namespace install::app {

// One overridable prompt text: its script keyword and its built-in text.
struct BuiltinPromptText {
  std::string_view keyword;
  std::string_view text;
};

// The 17 prompt texts, in the order the plan's prompt table lists them.
std::span<const BuiltinPromptText> BuiltinPromptTexts();

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

}  // namespace install::app
