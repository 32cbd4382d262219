// The services of the machine the browser runs on.
//
// Every path is a Windows path ("E:\DOCS\README.TXT", "E:\", or relative to the
// current directory) in the 8-bit ANSI character set; names compare without
// regard to letter case. Nothing here throws.
//
// Two implementations: os/win32 (the real calls) and os/host (a model of a
// Windows machine over directories of the local file system: drive letters
// mapped to folders, case-insensitive lookup, recorded commands), used by the
// native tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace tamblor::os {

// Win32 file attribute bits.
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
  kInvalidAttributes = 0xFFFFFFFFu,
};

// True when `path` holds a wildcard character ("*" or "?").
inline bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// Values of GetDriveType.
enum class DriveType : int {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// Broken-down local time (the fields of struct tm, year in full).
struct LocalTime {
  int year = 0;    // e.g. 1996
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Machine {
 public:
  virtual ~Machine() = default;

  // --- Files (through the C standard library) --------------------------------
  // fopen on a Windows path; `mode` as for fopen ("r", "rb", "wt" ...). The
  // caller owns the stream and closes it with fclose. nullptr on failure, with
  // errno set as fopen sets it.
  virtual std::FILE* OpenFile(const std::string& path, const char* mode) = 0;
  // The attributes of the file or directory `path` (the FindFirstFile
  // existence test), kInvalidAttributes when there is none. A path holding
  // "*" or "?" names no file (no name can hold them): kInvalidAttributes,
  // never the attributes of some file the pattern happens to match.
  virtual uint32_t FindAttributes(const std::string& path) = 0;

  // --- Drives and directories ------------------------------------------------
  // `root` is a drive root such as "E:\" (any path on the drive is accepted).
  virtual DriveType DriveTypeOf(const std::string& root) = 0;
  // Free bytes on the drive as the system reports them (Windows 95 reports at
  // most 2 GB), -1 when the drive cannot be read.
  virtual int64_t FreeBytes(const std::string& root) = 0;
  virtual std::string CurrentDirectory() = 0;
  // Changes the current directory, and with it the current drive.
  virtual bool ChangeDirectory(const std::string& path) = 0;
  // Creates one directory (its parent must exist). False when it cannot.
  virtual bool MakeDirectory(const std::string& path) = 0;
  // Deletes one file; a directory is not deleted. False when it cannot.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Removes one empty directory. False when it cannot.
  virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
  // Gives the file `from` the name `to` on the same drive (MoveFile). Never
  // replaces: false when `to` exists or the file cannot be moved.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // The full path of the running program's own file.
  virtual std::string GetModulePath() = 0;

  // --- Processes -------------------------------------------------------------
  // The command interpreter call (`system`); returns its result.
  virtual int RunCommand(const std::string& command) = 0;
  // Starts `program` with the words of `arguments` (arguments[0] is the
  // program's own name, as for spawnv) and does not wait. False when it could
  // not be started.
  virtual bool StartProcess(const std::string& program, const std::vector<std::string>& arguments) = 0;

  // --- Time and character sets -----------------------------------------------
  virtual LocalTime ToLocalTime(std::time_t when) = 0;
  // DOS (OEM) text to the Windows (ANSI) character set and back, byte for byte
  // (the lengths stay equal).
  virtual std::string OemToAnsiText(const std::string& text) = 0;
  virtual std::string AnsiToOemText(const std::string& text) = 0;
};

}  // namespace tamblor::os
