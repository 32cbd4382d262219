#include "install/engine/file_install.h"

#include <gtest/gtest.h>

#include <functional>

#include "install/engine/create_directories.h"
#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"

namespace install::engine {
namespace {

using script::Compression;
using script::FileEntry;
using script::OverwriteMode;
using script::SourceKind;
using test_support::Bytes;
using test_support::BytesOf;
using test_support::VolumeMember;
using test_support::VolumeSetOptions;

constexpr uint32_t kDate1994 = (14u << 9) | (3u << 5) | 1u;  // 1994-03-01
constexpr uint32_t kDate1995 = (15u << 9) | (8u << 5) | 24u;  // 1995-08-24
constexpr uint32_t kNoon = 12u << 11;
constexpr uint32_t kEvening = 18u << 11;

class ScriptedDisks : public archive::NextDiskRequester {
 public:
  int RequestNextDisk(bool advance) override {
    requests.push_back(advance);
    if (action) action(advance);
    if (requests.size() > 20) return 1;
    return answer;
  }
  std::vector<bool> requests;
  std::function<void(bool)> action;
  int answer = archive::kDiskInPlace;
};

class RecordedProgress : public archive::ProgressHooks {
 public:
  void RefreshProgress() override { ++refreshes; }
  void ShowFileBeingInstalled(const std::string& path) override { shown.push_back(path); }
  int refreshes = 0;
  std::vector<std::string> shown;
};

// A file whose writes fail once `budget` bytes were written (a full disk).
class FullDiskFile : public os::File {
 public:
  FullDiskFile(std::unique_ptr<os::File> inner, int64_t budget) : inner_(std::move(inner)), budget_(budget) {}
  int32_t Read(void* buffer, uint32_t count) override { return inner_->Read(buffer, count); }
  int32_t Write(const void* buffer, uint32_t count) override {
    if (budget_ <= 0) return 0;
    uint32_t n = static_cast<uint32_t>(std::min<int64_t>(count, budget_));
    budget_ -= n;
    return inner_->Write(buffer, n);
  }
  int64_t Seek(int64_t offset, int origin) override { return inner_->Seek(offset, origin); }

 private:
  std::unique_ptr<os::File> inner_;
  int64_t budget_;
};

// The host machine with a destination disk that fills up after `budget` bytes.
class FullDiskMachine : public os::HostMachine {
 public:
  std::unique_ptr<os::File> Open(const std::string& path, os::OpenMode mode) override {
    std::unique_ptr<os::File> file = HostMachine::Open(path, mode);
    if (file && (mode == os::OpenMode::Create || mode == os::OpenMode::CreateNew) && budget >= 0 && path[0] == 'C') {
      return std::make_unique<FullDiskFile>(std::move(file), budget);
    }
    return file;
  }
  int64_t budget = -1;
};

Bytes Pattern(size_t size, uint8_t seed) {
  Bytes out(size);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = (i % 3 == 0) ? uint8_t(x) : uint8_t('a' + i % 7);
  }
  return out;
}

// Options naming the volume files, with a byte budget per volume.
VolumeSetOptions Volumes(std::vector<std::string> names, uint32_t budget = 1u << 20) {
  VolumeSetOptions options;
  options.volume_names = std::move(names);
  options.budgets = {budget};
  return options;
}

FileEntry Entry(const std::string& name, OverwriteMode mode = OverwriteMode::Yes,
                uint8_t attributes = script::kFileAttrNormal) {
  FileEntry entry;
  entry.name = name;
  entry.overwrite = mode;
  entry.attributes = attributes;
  return entry;
}

class FileInstallTest : public ::testing::Test {
 protected:
  FileInstallTest() {
    machine_.MapDrive('A', dir_.path() / "disk1", os::DriveType::Removable, "DISK1");
    machine_.MapDrive('C', dir_.path() / "hd", os::DriveType::Fixed, "HARDDISK");
    std::filesystem::create_directories(dir_.path() / "disk1");
    std::filesystem::create_directories(dir_.path() / "disk2");
    std::filesystem::create_directories(dir_.path() / "hd");
    state_.installation_dir = "C:\\APP";
    state_.source_dir = "A:";
    log_.set_enabled(true);
    log_.SetLogPath("C:\\APP");
  }

  void SetUp() override {
    ASSERT_EQ(CreateDirectoryPath("C:\\APP", machine_, desktop_, log_, "Invalid directory."), kDirectoriesOk);
  }

  // Puts a file on a disk ("disk1", "disk2", "hd") with a DOS date and time.
  void Put(const std::string& disk, const std::string& name, const Bytes& bytes, uint32_t date = kDate1994,
           uint32_t time = kNoon) {
    dir_.Write(disk + "/" + name, bytes);
    char drive = disk == "hd" ? 'C' : 'A';
    if (disk == "hd" || disk == current_disk_) {
      ASSERT_TRUE(machine_.SetDosFileTime(std::string(1, drive) + ":\\" + name, os::DosDateTime{date, time}));
    } else {
      pending_times_.push_back({name, os::DosDateTime{date, time}});
    }
  }
  void PutVolumes(const std::string& disk, const std::vector<test_support::VolumeFile>& volumes) {
    ASSERT_FALSE(volumes.empty());
    ASSERT_TRUE(test_support::WriteVolumeSet(dir_.path() / disk, volumes));
  }
  // Swaps the "floppy" in drive A: for the second disk.
  void InsertSecondDisk() {
    machine_.MapDrive('A', dir_.path() / "disk2", os::DriveType::Removable, "DISK2");
    current_disk_ = "disk2";
    for (const auto& [name, when] : pending_times_) machine_.SetDosFileTime("A:\\" + name, when);
    pending_times_.clear();
  }

  std::string Text(const std::string& relative) {
    auto bytes = test_support::ReadLocalFile(dir_.path() / relative);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }
  Bytes BytesAt(const std::string& relative) {
    auto bytes = test_support::ReadLocalFile(dir_.path() / relative);
    return bytes ? *bytes : Bytes{};
  }
  os::DosDateTime TimeOf(const std::string& path) {
    os::DosDateTime when;
    EXPECT_TRUE(machine_.GetDosFileTime(path, &when)) << path;
    return when;
  }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& m : desktop_.Messages()) texts.push_back(m.text);
    return texts;
  }
  bool NoTemporaryFilesIn(const std::string& relative) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path() / relative)) {
      if (entry.path().filename().string().rfind("~INS", 0) == 0) return false;
    }
    return true;
  }

  test_support::TempDir dir_;
  FullDiskMachine machine_;
  ui::HostDesktop desktop_;
  archive::SourceReader sources_{machine_};
  ScriptedDisks disks_;
  RecordedProgress progress_;
  archive::VolumeSetReader volumes_{sources_, desktop_, disks_, progress_};
  sysedit::InstallLog log_{machine_};
  EngineState state_;
  FileInstaller installer_{machine_, desktop_, sources_, volumes_, disks_, progress_, log_, state_};
  std::string current_disk_ = "disk1";
  std::vector<std::pair<std::string, os::DosDateTime>> pending_times_;
};

TEST_F(FileInstallTest, WholeInstallationAcrossTwoDisksWritesTheExactLog) {
  const Bytes big = Pattern(150000, 1);
  const Bytes help = BytesOf("Press F1.\r\n");
  Put("disk1", "README.TXT", BytesOf("read me\r\n"), kDate1994, kNoon);
  Put("disk1", "APP.EXE", Pattern(70000, 2), kDate1995, kEvening);
  std::vector<VolumeMember> members = {
      test_support::ImplodedMember("EMPTY.TXT", {}, kDate1994, kNoon),
      test_support::ImplodedMember("sub\\HELP.TXT", help, kDate1995, kNoon),
      test_support::ImplodedMember("BIG.BIN", big, kDate1995, kEvening),
  };
  members[0].compressed = {};  // compressed size 0: an empty file
  VolumeSetOptions options;
  options.volume_names = {"DATA.1", "DATA.2"};
  options.budgets = {20000, 1u << 20};
  auto volumes = test_support::BuildVolumeSet(members, options);
  ASSERT_EQ(volumes.size(), 2u);
  PutVolumes("disk1", {volumes[0]});
  PutVolumes("disk2", {volumes[1]});
  Put("disk2", "LATE.TXT", BytesOf("late"), kDate1995, kNoon);
  disks_.action = [this](bool advance) {
    if (advance) InsertSecondDisk();
  };
  state_.progress.total = 1000000;

  EXPECT_EQ(installer_.InstallEntryFiles(Entry("*.*", OverwriteMode::Yes,
                                               script::kFileAttrReadOnly | script::kFileAttrArchive)),
            kEntryContinue);
  state_.current_disk_index = 1;  // the executor reached the second disk's entry
  // The continuation volume of the set just installed is consumed already.
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("data.2")), kEntryContinue);
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("DOCS\\LATE.TXT")), kEntryContinue);

  EXPECT_EQ(disks_.requests, (std::vector<bool>{true}));
  EXPECT_TRUE(desktop_.Messages().empty()) << MessageTexts()[0];
  EXPECT_EQ(Text("hd/APP/README.TXT"), "read me\r\n");
  EXPECT_EQ(BytesAt("hd/APP/APP.EXE"), Pattern(70000, 2));
  EXPECT_EQ(BytesAt("hd/APP/BIG.BIN"), big);
  EXPECT_EQ(BytesAt("hd/APP/sub/HELP.TXT"), help);
  EXPECT_EQ(Text("hd/APP/EMPTY.TXT"), "");
  EXPECT_EQ(Text("hd/APP/DOCS/LATE.TXT"), "late");
  EXPECT_EQ(Text("hd/APP/DATA.2"), "<none>");
  EXPECT_TRUE(NoTemporaryFilesIn("hd"));

  os::DosDateTime readme = TimeOf("C:\\APP\\README.TXT");
  EXPECT_EQ(readme.date, kDate1994);
  EXPECT_EQ(readme.time, kNoon);
  os::DosDateTime member = TimeOf("C:\\APP\\BIG.BIN");
  EXPECT_EQ(member.date, kDate1995);
  EXPECT_EQ(member.time, kEvening);
  EXPECT_EQ(TimeOf("C:\\APP\\EMPTY.TXT").date, kDate1994);
  EXPECT_EQ(machine_.GetAttributes("C:\\APP\\README.TXT"), os::kAttrReadOnly | os::kAttrArchive);
  EXPECT_EQ(machine_.GetAttributes("C:\\APP\\EMPTY.TXT"), os::kAttrReadOnly | os::kAttrArchive);

  EXPECT_EQ(state_.progress.done, int64_t(9 + 70000 + 0 + help.size() + big.size() + 4));
  EXPECT_EQ(volumes_.last_continuation_volume(), "DATA.2");

  // Plain matches in directory order, the set after them, then the next entries.
  EXPECT_EQ(Text("hd/APP/install.log"),
            "DIRECTORY: C:\\APP\r\n\r\n"
            "FILE: C:\\APP\\APP.EXE\r\n"
            "FILE: C:\\APP\\README.TXT\r\n"
            "FILE: C:\\APP\\EMPTY.TXT\r\n"
            "DIRECTORY: C:\\APP\\sub\r\n\r\n"
            "FILE: C:\\APP\\sub\\HELP.TXT\r\n"
            "FILE: C:\\APP\\BIG.BIN\r\n"
            "DIRECTORY: C:\\APP\\DOCS\r\n\r\n"
            "FILE: C:\\APP\\DOCS\\LATE.TXT\r\n");
}

TEST_F(FileInstallTest, OverwriteModesOfPlainCopies) {
  struct Case {
    const char* label;
    OverwriteMode mode;
    uint32_t source_date, source_time, existing_date, existing_time;
    std::vector<int> answers;  // queued answers to the question
    bool replaced;
    size_t questions;
  } cases[] = {
      {"no", OverwriteMode::No, kDate1995, kNoon, kDate1994, kNoon, {}, false, 0},
      {"yes, older source", OverwriteMode::Yes, kDate1994, kNoon, kDate1995, kNoon, {}, true, 0},
      {"ask, no", OverwriteMode::Ask, kDate1995, kNoon, kDate1994, kNoon, {ui::kIdNo}, false, 1},
      {"ask, yes", OverwriteMode::Ask, kDate1994, kNoon, kDate1995, kNoon, {ui::kIdYes}, true, 1},
      {"new, older date", OverwriteMode::New, kDate1994, kEvening, kDate1995, kNoon, {}, false, 0},
      {"new, newer date", OverwriteMode::New, kDate1995, kNoon, kDate1994, kEvening, {}, true, 0},
      {"new, same date later time", OverwriteMode::New, kDate1995, kEvening, kDate1995, kNoon, {}, true, 0},
      {"new, same date and time", OverwriteMode::New, kDate1995, kNoon, kDate1995, kNoon, {}, false, 0},
  };
  state_.progress.total = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Put("disk1", "X.TXT", BytesOf("source"), c.source_date, c.source_time);
    Put("hd", "APP/X.TXT", BytesOf("existing"), c.existing_date, c.existing_time);
    ASSERT_TRUE(machine_.SetDosFileTime("C:\\APP\\X.TXT", os::DosDateTime{c.existing_date, c.existing_time}));
    for (int answer : c.answers) desktop_.QueueAnswer(answer);
    size_t messages_before = desktop_.Messages().size();
    int64_t done_before = state_.progress.done;
    std::string log_before = Text("hd/APP/install.log");

    EXPECT_EQ(installer_.InstallEntryFiles(Entry("X.TXT", c.mode)), kEntryContinue);

    EXPECT_EQ(Text("hd/APP/X.TXT"), c.replaced ? "source" : "existing");
    EXPECT_EQ(desktop_.Messages().size() - messages_before, c.questions);
    if (c.questions) {
      const auto& question = desktop_.Messages().back();
      EXPECT_EQ(question.text, "File exists.  Overwrite C:\\APP\\X.TXT?");
      EXPECT_EQ(question.caption, "");
      EXPECT_EQ(question.style, ui::kMbYesNo | ui::kMbIconQuestion);
    }
    // Copied or skipped, the progress moves by the source's size.
    EXPECT_EQ(state_.progress.done - done_before, 6);
    std::string added = Text("hd/APP/install.log").substr(log_before.size());
    EXPECT_EQ(added, c.replaced ? "FILE: C:\\APP\\X.TXT\r\n" : "");
    os::DosDateTime now = TimeOf("C:\\APP\\X.TXT");
    EXPECT_EQ(now.date, c.replaced ? c.source_date : c.existing_date);
  }
}

TEST_F(FileInstallTest, NewModeComparesVersionTextsOfLibrariesAsText) {
  struct Case {
    const char* name;
    const char* source_version;
    const char* existing_version;
    uint32_t source_date, existing_date;
    bool replaced;
  } cases[] = {
      // "1.10" sorts before "1.9": the newer-dated library is not installed.
      {"CTL3D.DLL", "1.10", "1.9", kDate1995, kDate1994, false},
      {"GRID.VBX", "2.0", "1.9", kDate1994, kDate1995, true},
      {"CHART.ocx", "1.0A", "1.0a", kDate1995, kDate1994, true},   // equal texts: dates decide
      {"CHART.ocx", "1.0A", "1.0a", kDate1994, kDate1995, false},
      {"TOOL.EXE", "1.0", "9.0", kDate1995, kDate1994, true},      // not a library: dates only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.source_version + " over " + c.existing_version);
    Put("disk1", c.name, test_support::PeWithVersion(c.source_version), c.source_date);
    Put("hd", std::string("APP/") + c.name, test_support::PeWithVersion(c.existing_version), c.existing_date);
    EXPECT_EQ(installer_.InstallEntryFiles(Entry(c.name, OverwriteMode::New)), kEntryContinue);
    std::string installed;
    ASSERT_TRUE(machine_.GetFileVersionText(std::string("C:\\APP\\") + c.name, &installed));
    EXPECT_EQ(installed, c.replaced ? c.source_version : c.existing_version);
  }
  // A library without a version text falls back to the dates.
  Put("disk1", "OLD.DLL", BytesOf("no resource"), kDate1995);
  Put("hd", "APP/OLD.DLL", test_support::PeWithVersion("3.0"), kDate1994);
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("OLD.DLL", OverwriteMode::New)), kEntryContinue);
  EXPECT_EQ(Text("hd/APP/OLD.DLL"), "no resource");
}

TEST_F(FileInstallTest, ReadOnlyDestinationsAreMadeWritableAndDirectoriesAreNeverReplaced) {
  Put("disk1", "RO.TXT", BytesOf("new"), kDate1995);
  Put("hd", "APP/RO.TXT", BytesOf("old"), kDate1994);
  ASSERT_TRUE(machine_.SetAttributes("C:\\APP\\RO.TXT", os::kAttrReadOnly));
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("RO.TXT", OverwriteMode::New)), kEntryContinue);
  EXPECT_EQ(Text("hd/APP/RO.TXT"), "new");

  Put("disk1", "FOLDER", BytesOf("a file"));
  ASSERT_TRUE(machine_.CreateDirectory("C:\\APP\\FOLDER"));
  dir_.Write("hd/APP/FOLDER/INSIDE.TXT", std::string("kept"));
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("FOLDER", OverwriteMode::Yes)), kEntryStop);
  EXPECT_EQ(MessageTexts().back(), "Cannot create file C:\\APP\\FOLDER");
  EXPECT_EQ(Text("hd/APP/FOLDER/INSIDE.TXT"), "kept");
  EXPECT_EQ(Text("hd/APP/install.log"), "DIRECTORY: C:\\APP\r\n\r\nFILE: C:\\APP\\RO.TXT\r\n");
}

TEST_F(FileInstallTest, AFailedCopyLeavesTheOldFileAndNoHalfWrittenOne) {
  Put("disk1", "BIG.DAT", Pattern(100000, 3), kDate1995);
  Put("hd", "APP/BIG.DAT", BytesOf("old content"), kDate1994);
  machine_.budget = 40000;
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("BIG.DAT", OverwriteMode::Yes)), kEntryStop);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Writing disk error."}));
  EXPECT_EQ(Text("hd/APP/BIG.DAT"), "old content");
  EXPECT_TRUE(NoTemporaryFilesIn("hd"));

  // The same for a member of a compressed set, and for a file that was not there.
  auto set = test_support::BuildVolumeSet({test_support::ImplodedMember("PART.BIN", Pattern(90000, 4)),
                                           test_support::ImplodedMember("NEWONE.BIN", Pattern(90000, 5))});
  PutVolumes("disk1", set);
  Put("hd", "APP/PART.BIN", BytesOf("old part"));
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("DATA.1", OverwriteMode::Yes)), kEntryStop);
  EXPECT_EQ(MessageTexts().back(), "Writing disk error.");
  EXPECT_EQ(Text("hd/APP/PART.BIN"), "old part");
  EXPECT_EQ(Text("hd/APP/NEWONE.BIN"), "<none>");
  EXPECT_TRUE(NoTemporaryFilesIn("hd"));
  EXPECT_EQ(Text("hd/APP/install.log"), "DIRECTORY: C:\\APP\r\n\r\n");
}

TEST_F(FileInstallTest, MemberNamesLeavingTheDestinationAreRefusedAndNothingLandsOutside) {
  for (const char* bad : {"..\\EVIL.TXT", "sub\\..\\..\\EVIL.TXT", "C:\\EVIL.TXT", "\\EVIL.TXT", ".. \\EVIL.TXT"}) {
    SCOPED_TRACE(bad);
    auto set = test_support::BuildVolumeSet(
        {test_support::ImplodedMember("GOOD.TXT", BytesOf("good")), test_support::ImplodedMember(bad, BytesOf("evil"))},
        Volumes({"EVIL.1"}));
    PutVolumes("disk1", set);
    EXPECT_EQ(installer_.InstallEntryFiles(Entry("EVIL.1")), kEntryStop);
    EXPECT_EQ(MessageTexts().back(), "Invalid compressed file A:\\EVIL.1");
    EXPECT_EQ(Text("hd/APP/GOOD.TXT"), "good");
    EXPECT_EQ(Text("hd/EVIL.TXT"), "<none>");
    EXPECT_EQ(Text("EVIL.TXT"), "<none>");
  }
  EXPECT_EQ(Text("hd/APP/install.log").find("EVIL"), std::string::npos);
}

TEST_F(FileInstallTest, OverwriteModesOfSetMembersUseTheirDatesAndCountSkippedLengths) {
  auto set = test_support::BuildVolumeSet({
      test_support::ImplodedMember("KEEP.TXT", BytesOf("from set"), kDate1994, kNoon),
      test_support::ImplodedMember("TAKE.TXT", BytesOf("from set"), kDate1995, kNoon),
      test_support::ImplodedMember("ASK.TXT", BytesOf("from set"), kDate1995, kNoon),
  });
  PutVolumes("disk1", set);
  Put("hd", "APP/KEEP.TXT", BytesOf("existing, 19 bytes"), kDate1995, kNoon);
  Put("hd", "APP/TAKE.TXT", BytesOf("existing"), kDate1994, kNoon);
  Put("hd", "APP/ASK.TXT", BytesOf("existing"), kDate1994, kNoon);
  state_.progress.total = 1000;

  EXPECT_EQ(installer_.InstallFile("C:\\APP\\ignored", "A:\\DATA.1", OverwriteMode::New, 0x80), kInstallDone);
  EXPECT_EQ(Text("hd/APP/KEEP.TXT"), "existing, 19 bytes");
  EXPECT_EQ(Text("hd/APP/TAKE.TXT"), "from set");
  EXPECT_EQ(Text("hd/APP/ASK.TXT"), "from set");
  EXPECT_EQ(state_.progress.done, 18 + 8 + 8);  // the kept file's own length, then the two written

  desktop_.QueueAnswer(ui::kIdNo);
  EXPECT_EQ(installer_.InstallFile("C:\\APP\\X", "A:\\DATA.1", OverwriteMode::Ask, 0x80), kInstallDone);
  ASSERT_EQ(desktop_.Messages().size(), 3u);  // one question per existing member
  EXPECT_EQ(desktop_.Messages()[0].text, "File exists.  Overwrite C:\\APP\\KEEP.TXT?");
  EXPECT_EQ(desktop_.Messages()[2].text, "File exists.  Overwrite C:\\APP\\ASK.TXT?");
  EXPECT_EQ(Text("hd/APP/KEEP.TXT"), "existing, 19 bytes");  // answered No

  EXPECT_EQ(installer_.ExtractVolumeSet("C:\\APP\\X", "A:\\KEEP.TXT", OverwriteMode::Yes, 0x80), kNotVolumeSet);
  EXPECT_EQ(installer_.ExtractVolumeSet("C:\\APP\\X", "A:\\MISSING", OverwriteMode::Yes, 0x80), kNotVolumeSet);
}

TEST_F(FileInstallTest, AMemberSkippedWhoseDataEndsExactlyAtAVolumeEndGoesOn) {
  // The last member's data ends exactly at the end of the set: skipped under
  // New, the set is complete.
  const VolumeMember last = test_support::ImplodedMember("OLDER.TXT", BytesOf("from the set"), kDate1994, kNoon);
  PutVolumes("disk1", test_support::BuildVolumeSet({last}));
  Put("hd", "APP/OLDER.TXT", BytesOf("newer"), kDate1995, kNoon);
  EXPECT_EQ(installer_.InstallFile("C:\\APP\\X", "A:\\DATA.1", OverwriteMode::New, 0x80), kInstallDone);
  EXPECT_TRUE(desktop_.Messages().empty()) << MessageTexts()[0];
  EXPECT_EQ(Text("hd/APP/OLDER.TXT"), "newer");

  // A member's data ends exactly at the end of the first volume: skipped,
  // the next member's header is the first thing in the next volume.
  const VolumeMember next = test_support::ImplodedMember("NEXT.TXT", BytesOf("second volume"), kDate1995, kNoon);
  const uint32_t exact = archive::kVolumeHeaderSize + archive::kMemberHeaderSize + uint32_t(last.compressed.size());
  VolumeSetOptions options = Volumes({"EXACT.1", "EXACT.2"}, exact);
  options.budgets = {exact, 1u << 20};
  auto set = test_support::BuildVolumeSet({last, next}, options);
  ASSERT_EQ(set.size(), 2u);
  ASSERT_EQ(set[0].bytes.size(), exact);
  PutVolumes("disk1", set);
  EXPECT_EQ(installer_.InstallFile("C:\\APP\\X", "A:\\EXACT.1", OverwriteMode::New, 0x80), kInstallDone);
  EXPECT_TRUE(desktop_.Messages().empty()) << MessageTexts()[0];
  EXPECT_EQ(Text("hd/APP/OLDER.TXT"), "newer");
  EXPECT_EQ(Text("hd/APP/NEXT.TXT"), "second volume");
}

TEST_F(FileInstallTest, MissingSourcesAreReportedBeforeTheFirstDiskChangeAndAskedForAfterIt) {
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("MISSING.TXT")), kEntryContinue);
  ASSERT_EQ(desktop_.Messages().size(), 1u);
  EXPECT_EQ(desktop_.Messages()[0].text, "File not found on the installation disk: A:\\MISSING.TXT. ");
  EXPECT_EQ(desktop_.Messages()[0].caption, " ");
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("*.DLL")), kEntryContinue);
  EXPECT_EQ(desktop_.Messages().back().text, "File not found on the installation disk: A:\\*.DLL. ");

  state_.current_disk_index = 0;
  disks_.answer = 1;  // the user quits
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("MISSING.TXT")), kEntryStop);
  EXPECT_EQ(disks_.requests, (std::vector<bool>{false}));

  disks_.answer = archive::kDiskInPlace;
  disks_.action = [this](bool) { Put("disk1", "MISSING.TXT", BytesOf("here now")); };
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("MISSING.TXT")), kEntryContinue);
  EXPECT_EQ(Text("hd/APP/MISSING.TXT"), "here now");
  EXPECT_EQ(desktop_.Messages().size(), 2u);
}

TEST_F(FileInstallTest, ArchiveMembersAreFoundByExactNameOnlyAndSourceKindsBuildPaths) {
  Bytes program = test_support::BuildProgramWithArchive(BytesOf("MZ"), {{"SETUP.INF", BytesOf("from archive"), 0x20, kNoon, kDate1995}});
  dir_.Write("hd/INSTALL.EXE", program);
  sources_.SetInstallArchive("C:\\INSTALL.EXE");
  FileEntry exact = Entry("SETUP.INF");
  exact.source = "\\NOWHERE";
  exact.has_source = true;
  EXPECT_EQ(installer_.InstallEntryFiles(exact), kEntryContinue);
  EXPECT_EQ(Text("hd/APP/SETUP.INF"), "from archive");
  EXPECT_EQ(TimeOf("C:\\APP\\SETUP.INF").date, kDate1995);
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("SETUP.*")), kEntryContinue);
  EXPECT_EQ(desktop_.Messages().back().text, "File not found on the installation disk: A:\\SETUP.*. ");

  FileEntry relative = Entry("A.TXT");
  relative.source = "\\DISK1";
  relative.has_source = true;
  EXPECT_EQ(installer_.SourcePathOf(relative, "A.TXT"), "A:\\DISK1\\A.TXT");
  state_.source_dir = "A:\\SETUP";
  FileEntry rooted = Entry("A.TXT");
  rooted.source = "\\DATA";
  rooted.has_source = true;
  rooted.source_kind = SourceKind::Rooted;
  EXPECT_EQ(installer_.SourcePathOf(rooted, "A.TXT"), "A:\\DATA\\A.TXT");
  FileEntry absolute = Entry("A.TXT");
  absolute.source = "$WINDIR$";
  absolute.has_source = true;
  absolute.source_kind = SourceKind::Absolute;
  installer_.set_macro_expander([](const std::string& text, size_t) {
    return text == "$WINDIR$" ? std::string("C:\\WINDOWS") : text;
  });
  EXPECT_EQ(installer_.SourcePathOf(absolute, "A.TXT"), "C:\\WINDOWS\\A.TXT");
  absolute.source = "D:\\";
  EXPECT_EQ(installer_.SourcePathOf(absolute, "A.TXT"), "D:\\A.TXT");
}

TEST_F(FileInstallTest, PatternsInstallOnlyTheLastSetStartAndCopyContinuationVolumes) {
  auto first = test_support::BuildVolumeSet({test_support::ImplodedMember("ONE.TXT", Pattern(3000, 6))},
                                            Volumes({"AAA.1", "AAA.2"}, 1000));
  auto second = test_support::BuildVolumeSet({test_support::ImplodedMember("TWO.TXT", Pattern(3000, 7))},
                                             Volumes({"BBB.1", "BBB.2"}, 1000));
  ASSERT_GE(first.size(), 2u);
  ASSERT_GE(second.size(), 2u);
  PutVolumes("disk1", {first[0], second[0], second[1]});
  for (size_t i = 2; i < second.size(); ++i) PutVolumes("disk1", {second[i]});
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("*.1")), kEntryContinue);
  EXPECT_EQ(Text("hd/APP/ONE.TXT"), "<none>");
  EXPECT_EQ(BytesAt("hd/APP/TWO.TXT"), Pattern(3000, 7));

  // A continuation volume matched by a pattern is not a set start: copied as it is.
  volumes_.ClearLastContinuationVolume();
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("BBB.2")), kEntryContinue);
  EXPECT_EQ(BytesAt("hd/APP/BBB.2"), second[1].bytes);
}

TEST_F(FileInstallTest, ExternalUnpackersGetTheirCommandLinesAndAreWaitedFor) {
  struct Case {
    int unpacker;
    Compression compression;
    OverwriteMode mode;
    const char* line;
  } cases[] = {
      {kUnpackPkware, Compression::Compressed, OverwriteMode::Yes, "dosshell.pif /C pkunzip A:\\X.ZIP -d -o C:\\APP\\"},
      {kUnpackPkware, Compression::Compressed, OverwriteMode::New, "dosshell.pif /C pkunzip A:\\X.ZIP -d -n C:\\APP\\"},
      {kUnpackPkware, Compression::SelfExtract, OverwriteMode::Ask, "dosshell.pif /C A:\\X.ZIP -d C:\\APP\\"},
      {kUnpackLha, Compression::Compressed, OverwriteMode::Yes, "dosshell.pif /C lha x /c1 A:\\X.ZIP C:\\APP\\"},
      {kUnpackLha, Compression::Compressed, OverwriteMode::No, "dosshell.pif /C lha x A:\\X.ZIP C:\\APP\\"},
      {kUnpackLha, Compression::SelfExtract, OverwriteMode::Yes, "dosshell.pif /C A:\\X.ZIP C:\\APP\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnpackerCommandLine(c.unpacker, c.compression, c.mode, "A:\\X.ZIP", "C:\\APP"), c.line);
  }
  Put("disk1", "X.ZIP", BytesOf("PK"));
  FileEntry entry = Entry("X.ZIP", OverwriteMode::Yes);
  entry.compression = Compression::Compressed;
  installer_.set_unpacker(kUnpackLha);
  EXPECT_EQ(installer_.InstallEntryFiles(entry), kEntryContinue);
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "dosshell.pif /C lha x /c1 A:\\X.ZIP C:\\APP\\");
  EXPECT_EQ(machine_.StartedProcesses()[0].show, os::kShowMaximized);
  EXPECT_TRUE(machine_.StartedProcesses()[0].wait);
  EXPECT_EQ(Text("hd/APP/install.log"), "DIRECTORY: C:\\APP\r\n\r\n");  // its files are not logged
}

TEST_F(FileInstallTest, UnpackerPathsWithSpacesOrShellCharactersAreQuoted) {
  EXPECT_EQ(UnpackerCommandLine(kUnpackPkware, Compression::Compressed, OverwriteMode::Yes, "A:\\MY DISK\\X.ZIP",
                                "C:\\PROGRAM FILES\\APP"),
            "dosshell.pif /C pkunzip \"A:\\MY DISK\\X.ZIP\" -d -o \"C:\\PROGRAM FILES\\APP\"\\");
  EXPECT_EQ(UnpackerCommandLine(kUnpackLha, Compression::SelfExtract, OverwriteMode::No, "A:\\X.EXE",
                                "C:\\TOM&JERRY"),
            "dosshell.pif /C A:\\X.EXE \"C:\\TOM&JERRY\"\\");
  for (const char* special : {" ", "\t", "&", "|", "<", ">", "^", "(", ")", ",", ";", "="}) {
    const std::string dir = std::string("C:\\A") + special + "B";
    EXPECT_EQ(UnpackerCommandLine(kUnpackLha, Compression::Compressed, OverwriteMode::No, "A:\\X.LZH", dir),
              "dosshell.pif /C lha x A:\\X.LZH \"" + dir + "\"\\")
        << special;
  }
  // Everything else stays as it was: "~", "!", "-", "_", "$", 8-bit letters.
  EXPECT_EQ(UnpackerCommandLine(kUnpackLha, Compression::Compressed, OverwriteMode::No, "A:\\~X!-_$\xE9.LZH", "C:\\A"),
            "dosshell.pif /C lha x A:\\~X!-_$\xE9.LZH C:\\A\\");
}

TEST_F(FileInstallTest, AMatchedArchiveWhoseNameReachesTheCommandInterpreterIsNotRun) {
  Put("disk1", "A&CALC.ZIP", BytesOf("PK"));
  Put("disk1", "B|X.ZIP", BytesOf("PK"));
  Put("disk1", "GOOD.ZIP", BytesOf("PK"));
  FileEntry entry = Entry("*.ZIP", OverwriteMode::Yes);
  entry.compression = Compression::Compressed;
  EXPECT_EQ(installer_.InstallEntryFiles(entry), kEntryContinue);
  ASSERT_EQ(machine_.StartedProcesses().size(), 1u);
  EXPECT_EQ(machine_.StartedProcesses()[0].command_line, "dosshell.pif /C pkunzip A:\\GOOD.ZIP -d -o C:\\APP\\");
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Invalid compressed file A:\\A&CALC.ZIP",
                                                      "Invalid compressed file A:\\B|X.ZIP"}));
}

TEST_F(FileInstallTest, ProgressRefreshesAfterEach50000BytesAndCancelStops) {
  Put("disk1", "A.BIN", Pattern(200000, 8));
  Put("disk1", "B.BIN", Pattern(10, 9));
  state_.progress.total = 1000000;
  EXPECT_EQ(installer_.InstallFile("C:\\APP\\A.BIN", "A:\\A.BIN", OverwriteMode::Yes, 0x80), kInstallDone);
  // 32768-byte reads: the display follows after 65536, 131072 and 196608
  // bytes, then once at the end.
  EXPECT_EQ(progress_.refreshes, 4);
  EXPECT_EQ(progress_.shown, (std::vector<std::string>{"C:\\APP\\A.BIN"}));

  state_.progress.no_byte_progress = true;  // an external unpacker in the script
  progress_.refreshes = 0;
  EXPECT_EQ(installer_.InstallFile("C:\\APP\\A.BIN", "A:\\A.BIN", OverwriteMode::Yes, 0x80), kInstallDone);
  EXPECT_EQ(progress_.refreshes, 0);
  EXPECT_EQ(state_.progress.done, 200000);

  desktop_.RequestCancelAfter(0);
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("*.BIN")), kEntryStop);
  EXPECT_EQ(Text("hd/APP/B.BIN"), "<none>");  // stopped after the first match
}

TEST_F(FileInstallTest, AbsoluteDestinationDirectoriesAreCreatedFromTheRoot) {
  Put("disk1", "A.TXT", BytesOf("a"));
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("C:\\OTHER\\DEEP\\A.TXT")), kEntryContinue);
  EXPECT_EQ(Text("hd/OTHER/DEEP/A.TXT"), "a");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\APP");
  EXPECT_EQ(installer_.InstallEntryFiles(Entry("C:\\A.TXT")), kEntryContinue);
  EXPECT_EQ(Text("hd/A.TXT"), "a");
  EXPECT_EQ(Text("hd/APP/install.log"),
            "DIRECTORY: C:\\APP\r\n\r\n"
            "DIRECTORY: C:\\OTHER\r\nDIRECTORY: C:\\OTHER\\DEEP\r\n\r\n"
            "FILE: C:\\OTHER\\DEEP\\A.TXT\r\n"
            "FILE: C:\\A.TXT\r\n");
}

}  // namespace
}  // namespace install::engine
