// File installation through the real Win32 seam, run under Wine: directory
// search, dates, attributes, the replacing rename, version resources and a
// small installation with a compressed volume set and the install log.
#include "install/engine/file_install.h"

#include "install/os/win32/win32_machine.h"
#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "install/engine/create_directories.h"
#include "install/os/pe_version.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"

namespace install::engine {
namespace {

using archive::kDiskInPlace;
using archive::NextDiskRequester;
using archive::ProgressHooks;
using archive::SourceReader;
using archive::VolumeSetReader;
using script::FileEntry;
using script::OverwriteMode;
using sysedit::InstallLog;
using test_support::Bytes;
using test_support::BytesOf;

constexpr uint32_t kDate1994 = (14u << 9) | (3u << 5) | 1u;
constexpr uint32_t kDate1995 = (15u << 9) | (8u << 5) | 24u;
constexpr uint32_t kNoon = 12u << 11;

class NoDiskSwap : public NextDiskRequester {
 public:
  int RequestNextDisk(bool advance) override {
    ++requests;
    return advance ? kDiskInPlace : 1;
  }
  int requests = 0;
};

class Win32FileInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string temp;
    ASSERT_TRUE(machine_.GetTempPath(&temp));
    root_ = temp + "qm-install-" + std::to_string(GetCurrentProcessId());
    RemoveTree(root_);  // a run stopped early may have left read-only files
    ASSERT_TRUE(machine_.CreateDirectory(root_));
    ASSERT_TRUE(machine_.CreateDirectory(root_ + "\\DISK1"));
    state_.source_dir = root_ + "\\DISK1";
    state_.installation_dir = root_ + "\\APP";
    log_.set_enabled(true);
    log_.SetLogPath(state_.installation_dir);
  }
  void TearDown() override {
    // The installer made a directory inside current; leave it, so that it can go.
    std::string temp;
    if (machine_.GetTempPath(&temp)) SetCurrentDirectoryA(temp.c_str());
    RemoveTree(root_);
  }
  // Read-only files first, then everything.
  static void RemoveTree(const std::string& root) {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root, ignored);
  }
  void Put(const std::string& relative, const Bytes& bytes, uint32_t date = kDate1994, uint32_t time = kNoon) {
    ASSERT_TRUE(test_support::WriteLocalFile(root_ + "\\" + relative, bytes));
    ASSERT_TRUE(machine_.SetDosFileTime(root_ + "\\" + relative, os::DosDateTime{date, time}));
  }
  std::string Text(const std::string& relative) {
    auto bytes = test_support::ReadLocalFile(root_ + "\\" + relative);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }

  os::Win32Machine machine_;
  ui::HostDesktop desktop_;
  SourceReader sources_{machine_};
  NoDiskSwap disks_;
  ProgressHooks progress_;
  VolumeSetReader volumes_{sources_, desktop_, disks_, progress_};
  InstallLog log_{machine_};
  EngineState state_;
  FileInstaller installer_{machine_, desktop_, sources_, volumes_, disks_, progress_, log_, state_};
  std::string root_;
};

TEST_F(Win32FileInstallTest, FindFilesUsesTheSystemsWildcardsWithoutDotEntries) {
  Put("DISK1\\README", BytesOf("r"));
  Put("DISK1\\SETUP.EXE", BytesOf("x"));
  Put("DISK1\\DATA.1", BytesOf("12345"));
  ASSERT_TRUE(machine_.CreateDirectory(root_ + "\\DISK1\\SUB"));
  auto names = [this](const std::string& pattern) {
    std::vector<std::string> out;
    for (const os::FindData& f : machine_.FindFiles(root_ + "\\DISK1\\" + pattern)) out.push_back(f.name);
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_EQ(names("*.*"), (std::vector<std::string>{"DATA.1", "README", "SETUP.EXE", "SUB"}));
  // Wine's search lets "*." match every name (Windows: only names without an
  // extension), so it is not checked here; the host model follows Windows.
  EXPECT_EQ(names("data.?"), (std::vector<std::string>{"DATA.1"}));
  EXPECT_TRUE(names("*.DLL").empty());
  for (const os::FindData& f : machine_.FindFiles(root_ + "\\DISK1\\DATA.1")) {
    EXPECT_EQ(f.size, 5u);
    EXPECT_EQ(f.time.date, kDate1994);
  }
  uint64_t free_bytes = 0;
  ASSERT_TRUE(machine_.GetDriveFreeSpace(root_, &free_bytes));
  EXPECT_GT(os::SaturatedFreeSpace(free_bytes), 0);
  machine_.MessageBeep(os::kBeepAsterisk);
}

TEST_F(Win32FileInstallTest, VersionTextsAgreeWithThePortableReader) {
  Put("DISK1\\FIXTURE.DLL", test_support::PeWithVersion("2.31.000"));
  std::string text;
  ASSERT_TRUE(machine_.GetFileVersionText(root_ + "\\DISK1\\FIXTURE.DLL", &text));
  EXPECT_EQ(text, "2.31.000");

  // A library of the system: the system's answer and the reader's agree.
  const std::string system_dll = machine_.GetSystemDirectory() + "\\kernel32.dll";
  std::string from_api, from_reader;
  bool api = machine_.GetFileVersionText(system_dll, &from_api);
  auto bytes = test_support::ReadLocalFile(system_dll);
  ASSERT_TRUE(bytes);
  bool reader = os::ReadPeVersionText(bytes->data(), bytes->size(), &from_reader);
  EXPECT_EQ(api, reader);
  EXPECT_EQ(from_api, from_reader);
  std::printf("kernel32.dll FileVersion: %s\n", api ? from_api.c_str() : "(none)");

  Put("DISK1\\PLAIN.DLL", BytesOf("not a program"));
  EXPECT_FALSE(machine_.GetFileVersionText(root_ + "\\DISK1\\PLAIN.DLL", &text));
}

TEST_F(Win32FileInstallTest, SmallInstallationSetsDatesAttributesAndWritesTheLog) {
  Put("DISK1\\README.TXT", BytesOf("read me\r\n"), kDate1994);
  Put("DISK1\\CTL3D.DLL", test_support::PeWithVersion("2.0"), kDate1994);
  test_support::VolumeSetOptions options;
  options.volume_names = {"DATA.1", "DATA.2"};
  options.budgets = {3000};
  Bytes big(20000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t((i * 7) ^ (i >> 4));
  auto set = test_support::BuildVolumeSet(
      {test_support::ImplodedMember("sub\\BIG.BIN", big, kDate1995, kNoon)}, options);
  ASSERT_GE(set.size(), 2u);
  ASSERT_TRUE(test_support::WriteVolumeSet(root_ + "\\DISK1", set));

  ASSERT_EQ(CreateDirectoryPath(state_.installation_dir, machine_, desktop_, log_, "Invalid directory."),
            kDirectoriesOk);
  // An older library with a higher version text stays under New.
  Put("APP\\CTL3D.DLL", test_support::PeWithVersion("3.0"), kDate1994);
  FileEntry entry;
  entry.overwrite = OverwriteMode::New;
  entry.attributes = script::kFileAttrReadOnly | script::kFileAttrArchive;
  for (const char* name : {"*.TXT", "*.DLL", "DATA.1"}) {
    entry.name = name;
    EXPECT_EQ(installer_.InstallEntryFiles(entry), kEntryContinue) << name;
  }
  EXPECT_TRUE(desktop_.Messages().empty()) << desktop_.Messages()[0].text;

  EXPECT_EQ(Text("APP\\README.TXT"), "read me\r\n");
  auto extracted = test_support::ReadLocalFile(root_ + "\\APP\\sub\\BIG.BIN");
  ASSERT_TRUE(extracted);
  EXPECT_EQ(*extracted, big);
  std::string version;
  ASSERT_TRUE(machine_.GetFileVersionText(root_ + "\\APP\\CTL3D.DLL", &version));
  EXPECT_EQ(version, "3.0");

  os::DosDateTime when;
  ASSERT_TRUE(machine_.GetDosFileTime(root_ + "\\APP\\sub\\BIG.BIN", &when));
  EXPECT_EQ(when.date, kDate1995);
  EXPECT_EQ(when.time, kNoon);
  DWORD attributes = GetFileAttributesA((root_ + "\\APP\\README.TXT").c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
            DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(volumes_.last_continuation_volume(), set.back().name);

  // A second run with Yes replaces the read-only files in place.
  Put("DISK1\\README.TXT", BytesOf("second"), kDate1995);
  entry.name = "README.TXT";
  entry.overwrite = OverwriteMode::Yes;
  EXPECT_EQ(installer_.InstallEntryFiles(entry), kEntryContinue);
  EXPECT_EQ(Text("APP\\README.TXT"), "second");

  const std::string app = state_.installation_dir;
  EXPECT_EQ(Text("APP\\install.log"),
            "DIRECTORY: " + app + "\r\n\r\n"
            "FILE: " + app + "\\README.TXT\r\n"
            "DIRECTORY: " + app + "\\sub\r\n\r\n"
            "FILE: " + app + "\\sub\\BIG.BIN\r\n"
            "FILE: " + app + "\\README.TXT\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(root_ + "\\APP")) {
    EXPECT_NE(entry.path().filename().string().rfind("~INS", 0), 0u);
  }
}

// The real machine with a disk that fills up: the second write of every file
// created new writes nothing.
class FullDiskWin32Machine : public os::Win32Machine {
 public:
  class HalfFile : public os::File {
   public:
    explicit HalfFile(std::unique_ptr<os::File> inner) : inner_(std::move(inner)) {}
    int32_t Read(void* buffer, uint32_t count) override { return inner_->Read(buffer, count); }
    int32_t Write(const void* buffer, uint32_t count) override {
      return ++writes_ >= 2 ? 0 : inner_->Write(buffer, count);
    }
    int64_t Seek(int64_t offset, int origin) override { return inner_->Seek(offset, origin); }
    bool Flush() override { return inner_->Flush(); }
    bool Close() override { return inner_->Close(); }

   private:
    std::unique_ptr<os::File> inner_;
    int writes_ = 0;
  };
  bool full = false;
  std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
    std::unique_ptr<os::File> file = Win32Machine::Open(path, mode);
    if (file && full && mode == os::OpenMode::CreateNew) return std::make_unique<HalfFile>(std::move(file));
    return file;
  }
};

TEST_F(Win32FileInstallTest, AFailedCopyOverAReadOnlyHiddenFileKeepsItAndItsAttributes) {
  FullDiskWin32Machine machine;
  SourceReader sources(machine);
  VolumeSetReader volumes(sources, desktop_, disks_, progress_);
  InstallLog log(machine);
  log.set_enabled(true);
  log.SetLogPath(state_.installation_dir);
  FileInstaller installer(machine, desktop_, sources, volumes, disks_, progress_, log, state_);
  ASSERT_EQ(CreateDirectoryPath(state_.installation_dir, machine, desktop_, log, "Invalid directory."),
            kDirectoriesOk);
  Bytes big(70000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 13);
  Put("DISK1\\BIG.BIN", big, kDate1995);
  Put("APP\\BIG.BIN", BytesOf("the old one"), kDate1994);
  const std::string target = state_.installation_dir + "\\BIG.BIN";
  const DWORD guarded = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), guarded));
  FileEntry entry;
  entry.name = "BIG.BIN";
  entry.overwrite = OverwriteMode::Yes;
  entry.attributes = script::kFileAttrArchive;

  machine.full = true;
  EXPECT_EQ(installer.InstallEntryFiles(entry), kEntryStop);
  ASSERT_FALSE(desktop_.Messages().empty());
  EXPECT_EQ(desktop_.Messages().back().text, "Writing disk error.");
  EXPECT_EQ(Text("APP\\BIG.BIN"), "the old one");
  EXPECT_EQ(GetFileAttributesA(target.c_str()) & (guarded | FILE_ATTRIBUTE_SYSTEM), guarded);
  for (const auto& file : std::filesystem::directory_iterator(state_.installation_dir)) {
    EXPECT_NE(file.path().filename().string().rfind("~INS", 0), 0u) << file.path();
  }

  // With room on the disk the guarded file is replaced and takes the entry's attributes.
  machine.full = false;
  EXPECT_EQ(installer.InstallEntryFiles(entry), kEntryContinue);
  EXPECT_EQ(test_support::ReadLocalFile(target), big);
  EXPECT_EQ(GetFileAttributesA(target.c_str()) & (guarded | FILE_ATTRIBUTE_ARCHIVE), DWORD(FILE_ATTRIBUTE_ARCHIVE));
  os::DosDateTime when;
  ASSERT_TRUE(machine.GetDosFileTime(target, &when));
  EXPECT_EQ(when.date, kDate1995);
}

}  // namespace
}  // namespace install::engine
