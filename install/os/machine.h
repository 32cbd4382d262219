// The services of the machine the installer runs on.
//
// Every path is a Windows path ("C:\DIR\FILE.TXT", "A:\", or relative to the
// current directory) in the 8-bit ANSI character set. Names compare without
// regard to letter case. Nothing here throws; failures are reported through the
// return values each operation documents.
//
// Two implementations: os/win32 (the real Win32 calls) and os/host (a faithful
// model of a Windows machine over directories of the local file system, used by
// the tests and the command-line tools).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace install::os {

// Win32 file attribute bits (the low 16 bits are meaningful).
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
  kInvalidAttributes = 0xFFFFFFFFu,
};

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

// DOS (FAT) date and time, each in the low 16 bits.
struct DosDateTime {
  uint32_t date = 0;
  uint32_t time = 0;
};

enum class OpenMode {
  Read,       // existing file, read only, shared read
  ReadWrite,  // existing file, read and write
  Create,     // create or truncate, read and write
  CreateNew,  // create a file that does not exist yet, read and write; fails
              // when the name is taken (by a file of any attributes)
};

// An open file. Owned by the caller through std::unique_ptr; closing is the
// destructor.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `count` bytes. Returns the number read, 0 at the end, -1 on error.
  virtual int32_t Read(void* buffer, uint32_t count) = 0;
  // Writes `count` bytes. Returns the number written (less than count on a full
  // disk), -1 on error.
  virtual int32_t Write(const void* buffer, uint32_t count) = 0;
  // origin 0 = from the start, 1 = from the current position, 2 = from the end.
  // Returns the new position, or -1 on error (the position is then unchanged).
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  // Sends everything written so far through to the disk (the program's and
  // the system's buffers). False when some of it could not be written: the
  // file's content is then unknown. Files that hold nothing back keep this
  // default.
  virtual bool Flush() { return true; }
  // Closes the file and tells whether everything written reached it: false
  // when a write held back until now failed (a full disk, a size limit). The
  // file is closed either way and takes no further calls. Destroying a file
  // that is still open closes it without a report. Files that hold nothing
  // back keep this default (and close when destroyed).
  virtual bool Close() { return true; }
  // Cuts the file at the current position. False on failure (and by default).
  virtual bool Truncate() { return false; }
};

// One match of Machine::FindFiles.
struct FindData {
  std::string name;         // the bare file name, as the directory spells it
  uint32_t attributes = 0;  // Win32 attribute bits (kAttrDirectory for directories)
  uint32_t size = 0;        // length in bytes (low 32 bits); 0 for directories
  DosDateTime time;         // last-write time, DOS date and time
};

// Values of MessageBeep.
enum : uint32_t { kBeepOk = 0x00000000, kBeepAsterisk = 0x00000040, kBeepExclamation = 0x00000030 };

// Show states for StartProcess (values of SW_*).
enum : int { kShowHide = 0, kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3, kShow = 5 };

class Machine {
 public:
  virtual ~Machine() = default;

  // --- Files and directories -------------------------------------------------
  // Opens a file. Returns nullptr when it cannot be opened (missing, a
  // directory, no access, or a path with wildcards).
  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  // Attributes of a file or directory, kInvalidAttributes when it does not exist.
  virtual uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
  // Last-write time as DOS date and time, without conversion to local time.
  // False when the file cannot be opened.
  virtual bool GetDosFileTime(const std::string& path, DosDateTime* out) = 0;
  virtual bool SetDosFileTime(const std::string& path, DosDateTime when) = 0;
  // Creates one directory; false when it exists or its parent is missing.
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool RemoveDirectory(const std::string& path) = 0;
  // Deletes a file; false when missing or read-only.
  virtual bool DeleteFile(const std::string& path) = 0;
  // Renames or moves a file within a drive; false when the target exists.
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
  virtual std::string GetCurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  // Renames `from` to `to`, replacing a file `to` that exists (it must not be
  // read-only and must not be a directory). Same drive only. False on failure;
  // `to` is then unchanged.
  virtual bool MoveFileReplacing(const std::string& from, const std::string& to) = 0;
  // The entries of one directory whose names match the last component of
  // `pattern` ("A:\DISK1\*.DLL", "*.*", an exact name), in directory order,
  // with the system's wildcard rules: "*" any run of characters, "?" one
  // character (or none at the end of the name or before its dot), a final
  // ".*" or "." also matches a name without an extension ("*.*" matches every
  // name, "*." only names without one). Letter case is ignored. "." and ".."
  // are never returned. Empty when the directory does not exist or nothing
  // matches.
  virtual std::vector<FindData> FindFiles(const std::string& pattern) = 0;
  // The version text of a file's version resource: the value
  // "\StringFileInfo\040904E4\FileVersion", else
  // "\StringFileInfo\040904B0\FileVersion", cut to 99 characters. False when the file has no version resource or no such value.
  virtual bool GetFileVersionText(const std::string& path, std::string* text) = 0;

  // --- Drives ----------------------------------------------------------------
  // `root` is a drive root such as "A:\"; also accepts any path on the drive.
  virtual DriveType GetDriveType(const std::string& root) = 0;
  // The volume label of the drive holding `root`; false when the drive has none
  // or cannot be read.
  virtual bool GetVolumeLabel(const std::string& root, std::string* label) = 0;
  // Bytes free for the caller on the drive holding `root`. False when the
  // drive cannot be queried (no such drive, no disk). Callers that keep a
  // signed 32-bit count saturate with SaturatedFreeSpace.
  virtual bool GetDriveFreeSpace(const std::string& root, uint64_t* free_bytes) = 0;

  // --- The system ------------------------------------------------------------
  // The temporary directory, ending in "\"; false when it cannot be obtained.
  virtual bool GetTempPath(std::string* path) = 0;
  // Windows and system directories as the system gives them.
  virtual std::string GetWindowsDirectory() = 0;
  virtual std::string GetSystemDirectory() = 0;
  // The full path of the running program's own file.
  virtual std::string GetModulePath() = 0;
  // The value of environment variable `name` (compared without regard to
  // letter case). False when it is not set or empty, as
  // GetEnvironmentVariableA, which reports an empty value as missing.
  virtual bool GetEnvironmentVariable(const std::string& name, std::string* value) = 0;

  // Sounds the system's beep of `type` (kBeepAsterisk, ...).
  virtual void MessageBeep(uint32_t type) = 0;

  // --- Processes -------------------------------------------------------------
  // Starts a command line with a show state. When `wait` is true, waits for it
  // to end and stores its exit code in *exit_code (when not null). Returns false
  // when the process could not be started.
  virtual bool StartProcess(const std::string& command_line, int show, bool wait,
                            uint32_t* exit_code) = 0;
  // Starts the program file `application` (a full path used as it stands:
  // neither searched for nor split at spaces) with `command_line` as the
  // command line it receives (by convention its own path, quoted, first).
  // Does not wait. False when the program could not be started.
  virtual bool StartProgram(const std::string& application, const std::string& command_line,
                            int show) = 0;

  // --- Self-registration and restart -------------------------------------------
  // Loads `path` as a dynamic library, calls its "DllRegisterServer" export and
  // unloads it. Returns the export's result (0 is success), or
  // kNotRegistrable when the file cannot be loaded or has no such export.
  static constexpr int32_t kNotRegistrable = -0x7FFFFFFF;
  virtual int32_t CallRegisterServer(const std::string& path) = 0;
  // Asks the system to restart (asynchronously). With `need_shutdown_privilege`
  // (Windows NT 3.5x) the privilege is enabled first; false when that fails
  // and no restart was requested.
  virtual bool RequestRestart(bool need_shutdown_privilege) = 0;
};

// A byte count clamped to the signed 32-bit range (free space on today's disks
// exceeds what the installer's counts hold).
inline int32_t SaturatedFreeSpace(uint64_t bytes) {
  return bytes > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(bytes);
}

}  // namespace install::os
