// Names of the resources every language carries, and the command numbers its
// menus use.
#pragma once

namespace tamblor::lang {

inline constexpr int kMenuCount = 4;
inline constexpr const char* kMenuNames[kMenuCount] = {
    "VIEWINDEXMENU", "VIEWAUTOGENINDEXMENU", "VIEWGLOBALINDEXMENU", "VIEWFILEMENU"};

// The toolbar's bitmaps: each button's "up" and "down" pictures.
inline constexpr int kBitmapCount = 10;
inline constexpr const char* kBitmapNames[kBitmapCount] = {
    "IDB_PREV_UP",     "IDB_PREV_DOWN",     "IDB_SELCT_UP",    "IDB_SELCT_DOWN",    "IDB_COPY_UP",
    "IDB_COPY_DOWN",   "IDB_FINDNEXT_UP",   "IDB_FINDNEXT_DOWN", "IDB_FINDPREV_UP", "IDB_FINDPREV_DOWN"};

inline constexpr const char* kDestinationDialog = "DESTINDIALOG";
inline constexpr const char* kAboutDialog = "ABOUTDIALOG";

// Menu commands.
enum Command : int {
  kCmdExit = 1,
  kCmdBack = 6,          // "Parent Dir" / "Prev. Index", Escape
  kCmdSelect = 7,
  kCmdCopyFile = 10,
  kCmdGlobalIndex = 11,
  kCmdHierarchicalIndex = 12,
  kCmdLineWrap = 20,
  kCmdAbout = 40,
  kCmdFirstLanguage = 50,  // the built-in language; library languages follow
};

// Capacities of a language's texts.
inline constexpr int kStringCapacity = 512;
inline constexpr int kLabelCapacity = 32;

}  // namespace tamblor::lang
