// The numbers of the language strings, and the built-in (English) texts the
// program carries in its own resources.
#pragma once

namespace tamblor::lang {

enum StringId : int {
  kStrMenuLabel = 1,          // "&English": the item of the Language menu
  kStrLanguageName = 2,       // "English": compared with the LANGUAGE setting
  kStrRootTitle = 3,          // title of the root index (disc title)
  kStrDirectoryTitle = 4,     // title of other indexes (directory)
  kStrIndexFileName = 5,      // index file of a directory
  kStrDeleteDirectory = 6,    // closing a generated index
  kStrArchiveTitle = 7,       // title of a generated index (archive)
  kStrGlobalTitle = 8,        // title of the global index (disc title)
  kStrGlobalIndexName = 9,    // global index file in the disc root
  kStrFileViewTitle = 10,     // title of a file view (path)
  kStrInstallCaption = 11,    // install dialog caption
  kStrInvalidDestination = 12,
  kStrInstallErrorCaption = 13,
  kStrDescriptionFile = 14,   // generated index descriptions 14-20
  kStrDocumentation = 15,
  kStrTextFile = 16,
  kStrBatchFile = 17,
  kStrProgram = 18,
  kStrOtherFile = 19,
  kStrDirectory = 20,
  kStrCopyCaption = 24,
  kStrCopyErrorCaption = 25,
  kStrCantLoadIndex = 26,
  kStrWordSearch = 27,
  kStrWordSearchCaption = 28,
  kStrNoMoreOccurrences = 29,
  kStrInsertDisc = 30,
  kStrLoadFileCaption = 31,
  kStrColumnHeader = 32,
};

struct BuiltInString {
  int id;
  const char* text;
};

// Every built-in string, by increasing id (there are no strings 21 to 23).
inline constexpr BuiltInString kBuiltInStrings[] = {
    {1, "&English"},
    {2, "English"},
    {3, "%s CDROM Root Directory"},
    {4, "Directory: %s"},
    {5, "00_index.txt"},
    {6, "Would you like to delete the directory:\n\"%s\"?\n "},
    {7, "Archive: %s"},
    {8, "%s: Global CDROM Index"},
    {9, "00global.txt"},
    {10, "ViewFile: %s"},
    {11, "Program Install: Destination Query"},
    {12, "Destination directory is invalid."},
    {13, "Tamblor: Program Install"},
    {14, "Description File."},
    {15, "Documentation."},
    {16, "Text File. (Doc?)"},
    {17, "Executable Batch File."},
    {18, "Executable Program."},
    {19, " "},
    {20, "Directory"},
    {24, "Copy File: Destination Query"},
    {25, "Tamblor: Copy File"},
    {26, "Can't Load Index File:\n%s\nExiting Program"},
    {27, "Word Search"},
    {28, "Tamblor: WordSearch"},
    {29, "No more occurrences found."},
    {30, "Locating File: %s.\nPlease insert %s CDROM\nDisc #%d and click OK."},
    {31, "Load File"},
    {32, "| FileName                FileSize    Date        Description                 |\n"},
};

// The built-in text of `id`, nullptr when there is none.
inline const char* BuiltInText(int id) {
  for (const BuiltInString& s : kBuiltInStrings) {
    if (s.id == id) return s.text;
  }
  return nullptr;
}

}  // namespace tamblor::lang
