#include "install/archive/volume_set.h"

#include <gtest/gtest.h>

#include <functional>

#include "install/archive/explode.h"
#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace install::archive {
namespace {

using test_support::Bytes;
using test_support::BytesOf;
using test_support::VolumeFile;
using test_support::VolumeMember;
using test_support::VolumeSetOptions;

// Answers next-disk requests; an optional action runs first (to swap disks).
class ScriptedDisks : public NextDiskRequester {
 public:
  int RequestNextDisk(bool advance) override {
    requests.push_back(advance);
    if (action) action(advance);
    if (requests.size() > 50) return 1;  // a test that loops gives up here
    return answer;
  }
  std::vector<bool> requests;
  std::function<void(bool)> action;
  int answer = kDiskInPlace;
};

class RecordedProgress : public ProgressHooks {
 public:
  void RefreshProgress() override { ++refreshes; }
  void ShowFileBeingInstalled(const std::string& path) override { shown.push_back(path); }
  int refreshes = 0;
  std::vector<std::string> shown;
};

Bytes Pattern(size_t size, uint8_t seed) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = uint8_t(seed + i * 13 + (i >> 8));
  return out;
}

Bytes Noise(size_t size, uint32_t seed) {
  Bytes out(size);
  for (uint8_t& byte : out) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    byte = uint8_t(seed);
  }
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

class VolumeSetTest : public ::testing::Test {
 protected:
  VolumeSetTest() { machine_.MapDrive('A', dir_.path(), os::DriveType::Removable); }

  void Write(const std::vector<VolumeFile>& volumes) {
    ASSERT_FALSE(volumes.empty());
    ASSERT_TRUE(test_support::WriteVolumeSet(dir_.path(), volumes));
  }
  void Put(const std::string& name, const Bytes& bytes) { dir_.Write(name, bytes); }

  // Reads the whole current member through the read callback in `chunk`-sized
  // requests, as the decoder does.
  Bytes ReadMember(uint32_t chunk = 2048) {
    Bytes out;
    std::vector<uint8_t> buffer(chunk);
    for (int calls = 0; calls < 100000; ++calls) {
      uint32_t got = set_.ReadMemberBytes(buffer.data(), chunk);
      if (got == 0) break;
      out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    }
    return out;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : desktop_.Messages()) texts.push_back(m.text);
    return texts;
  }

  test_support::TempDir dir_;
  os::HostMachine machine_;
  ui::HostDesktop desktop_;
  ScriptedDisks disks_;
  RecordedProgress progress_;
  SourceReader sources_{machine_};
  VolumeSetReader set_{sources_, desktop_, disks_, progress_};
};

TEST(MemberNameTest, OnlyNamesInsideTheDestinationAreSafe) {
  for (const char* safe : {"file.txt", "sub\\file.txt", "sub/deeper/file", ".\\a.txt", "a..b",
                           "..a", "sub\\.\\x"}) {
    EXPECT_TRUE(IsSafeMemberName(safe)) << safe;
  }
  for (const char* unsafe : {"", "\\abs.txt", "/abs.txt", "C:\\x.txt", "C:x.txt", "..",
                             "..\\up.txt", "sub\\..\\..\\x", "sub/../x", ".. \\x", "...\\x",
                             "sub\\. .", "file.txt:stream"}) {
    EXPECT_FALSE(IsSafeMemberName(unsafe)) << unsafe;
  }
  EXPECT_TRUE(IsSafeVolumeName("DATA.2"));
  for (const char* unsafe : {"", "..", "..\\DATA.2", "C:DATA.2", "sub/DATA.2"}) {
    EXPECT_FALSE(IsSafeVolumeName(unsafe)) << unsafe;
  }
}

TEST(MemberNameTest, ControlCharactersAndNamesWindowsCannotHoldAreRefused) {
  // Every byte below a space, and DEL, in any component; the characters
  // Windows names cannot hold.
  for (int c = 1; c < 0x20; ++c) {
    const std::string name = std::string("sub\\a") + char(c) + "b.txt";
    EXPECT_FALSE(IsSafeMemberName(name)) << c;
    EXPECT_FALSE(IsSafeVolumeName(std::string("DATA") + char(c) + "2")) << c;
  }
  for (const char* unsafe : {"a\x7F.txt", "a<b", "a>b", "a\"b", "a|b", "a*.txt", "a?.txt"}) {
    EXPECT_FALSE(IsSafeMemberName(unsafe)) << unsafe;
    EXPECT_FALSE(IsSafeVolumeName(unsafe)) << unsafe;
  }
  // The edges of what is allowed: a space inside, "~", 8-bit characters.
  for (const char* safe : {"a b.txt", "~a~.txt", "caf\xE9.txt", "!#$%&'()+,-;=@[]^_`{}", " \x7E"}) {
    EXPECT_TRUE(IsSafeMemberName(safe)) << safe;
    EXPECT_TRUE(IsSafeVolumeName(safe)) << safe;
  }
  EXPECT_TRUE(IsSafeMemberName("sub dir\\x"));
}

TEST(MemberNameTest, DeviceNamesAreRefusedInEveryComponentWithAnyExtension) {
  for (const char* device : {"CON", "con", "PRN", "AUX", "NUL", "Nul.txt", "COM1", "com9.dat", "LPT1",
                             "LPT9", "CLOCK$", "CON .TXT", "NUL.", "AUX.a.b"}) {
    EXPECT_TRUE(IsDeviceName(device)) << device;
    EXPECT_FALSE(IsSafeMemberName(device)) << device;
    EXPECT_FALSE(IsSafeMemberName(std::string("sub\\") + device)) << device;
    EXPECT_FALSE(IsSafeMemberName(std::string(device) + "\\file.txt")) << device;
    EXPECT_FALSE(IsSafeVolumeName(device)) << device;
  }
  // Names that only begin like a device.
  for (const char* name : {"CONS", "CONSOLE.TXT", "NULL.DAT", "COM0", "COM10", "LPT", "LPT10.TXT",
                           "AUXILIARY", "XCON", "CLOCK", "PRN1", "_NUL"}) {
    EXPECT_FALSE(IsDeviceName(name)) << name;
    EXPECT_TRUE(IsSafeMemberName(name)) << name;
    EXPECT_TRUE(IsSafeVolumeName(name)) << name;
  }
}

TEST_F(VolumeSetTest, RecognisesOnlyTheFirstVolumeOfAMultiVolumeSet) {
  VolumeSetOptions options;
  options.budgets = {400};
  Write(test_support::BuildVolumeSet({{"big.bin", Pattern(900, 1)}}, options));
  VolumeSetOptions single;
  single.volume_names = {"SINGLE.1"};
  Write(test_support::BuildVolumeSet({{"one.bin", Pattern(10, 1)}}, single));
  Put("SHORT.1", Bytes(57, 0));
  Put("BADSIG.1", test_support::MakeVolumeHeader("DATA.2", 1, 0x74, 0x75));
  Put("CLIMB.1", test_support::MakeVolumeHeader("..\\DATA.2", 1, 0x74));

  EXPECT_TRUE(IsMultiVolumeStart(sources_, "A:\\DATA.1"));
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\DATA.2"));    // continuation
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\SINGLE.1"));  // no next volume
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\SHORT.1"));
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\BADSIG.1"));
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\CLIMB.1"));
  EXPECT_FALSE(IsMultiVolumeStart(sources_, "A:\\MISSING.1"));
}

TEST_F(VolumeSetTest, SingleVolumeMembersReadInOrderAndEndAtTheCount) {
  Bytes first = Pattern(300, 3), second = Pattern(5, 9);
  Write(test_support::BuildVolumeSet(
      {{"first.txt", first, 0x1B4C, 0x1000}, {"sub\\second.txt", second, 0x1B4D, 0x2000}}));

  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  EXPECT_EQ(set_.set_directory(), "A:\\");
  EXPECT_EQ(set_.remaining_members(), 2);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "first.txt");
  EXPECT_EQ(member.compressed_size, 300u);
  EXPECT_EQ(member.date, 0x1B4Cu);
  EXPECT_EQ(member.time, 0x1000u);
  EXPECT_EQ(ReadMember(7), first);
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "sub\\second.txt");
  EXPECT_EQ(ReadMember(), second);
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
  EXPECT_TRUE(disks_.requests.empty());
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_FALSE(set_.aborted());
}

TEST_F(VolumeSetTest, ReadCallbackClipsAtTheCompressedSize) {
  Write(test_support::BuildVolumeSet({{"a", Pattern(10, 1)}, {"empty", {}}, {"c", Pattern(3, 2)}}));
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  uint8_t buffer[2048];
  EXPECT_EQ(set_.ReadMemberBytes(buffer, sizeof buffer), 10u);
  EXPECT_EQ(set_.ReadMemberBytes(buffer, sizeof buffer), 0u);
  // The next header is read right after the member, so nothing was over-read.
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "empty");
  EXPECT_EQ(set_.ReadMemberBytes(buffer, sizeof buffer), 0u);
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(ReadMember(), Pattern(3, 2));
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
}

TEST_F(VolumeSetTest, DataStraddlesSeveralVolumesWithoutAGap) {
  // 300-byte volumes: the member's 900 bytes spread over four volumes.
  VolumeSetOptions options;
  options.budgets = {300};
  Bytes data = Pattern(900, 5);
  std::vector<VolumeFile> volumes = test_support::BuildVolumeSet({{"big.bin", data}}, options);
  ASSERT_EQ(volumes.size(), 5u);
  Write(volumes);

  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(ReadMember(), data);
  EXPECT_EQ(disks_.requests, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(set_.last_continuation_volume(), "DATA.5");
  EXPECT_EQ(set_.current_volume_path(), "A:\\DATA.5");
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_GE(progress_.refreshes, 4);
}

TEST_F(VolumeSetTest, HeaderThatWouldStraddleIsReadFromTheNextVolume) {
  for (bool pad : {false, true}) {
    SCOPED_TRACE(pad);
    VolumeSetOptions options;
    options.budgets = {58 + 168 + 100 + 100};  // 100 bytes left after the first member
    options.pad_volume_ends = pad;
    Bytes a = Pattern(100, 1), b = Pattern(150, 2);
    std::vector<VolumeFile> volumes = test_support::BuildVolumeSet({{"a", a}, {"b", b}}, options);
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0].bytes.size(), pad ? 426u : 326u);
    Write(volumes);

    ScriptedDisks disks;
    VolumeSetReader set(sources_, desktop_, disks, progress_);
    ASSERT_EQ(set.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
    MemberHeader member;
    ASSERT_EQ(set.ReadMemberHeader(&member), kVolumeOk);
    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(set.ReadMemberBytes(buffer.data(), 4096), 100u);
    ASSERT_EQ(set.ReadMemberHeader(&member), kVolumeOk);
    EXPECT_EQ(member.name, "b");
    ASSERT_EQ(set.ReadMemberBytes(buffer.data(), 4096), 150u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 150), b);
    EXPECT_EQ(set.ReadMemberHeader(&member), kVolumeSetComplete);
    EXPECT_EQ(disks.requests, std::vector<bool>{true});
  }
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST_F(VolumeSetTest, CountReachedEndsTheSetEvenWithANextVolumeName) {
  Bytes volume = Concat({test_support::MakeVolumeHeader("DATA.2", 1, 0x74),
                         test_support::MakeMemberHeader("a", 4), BytesOf("AAAA"),
                         test_support::MakeMemberHeader("extra", 2), BytesOf("EE")});
  Put("DATA.1", volume);
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(ReadMember(), BytesOf("AAAA"));
  // Headers after the count, within the same volume, are still read.
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "extra");
  EXPECT_EQ(ReadMember(), BytesOf("EE"));
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
  EXPECT_TRUE(disks_.requests.empty());
}

TEST_F(VolumeSetTest, VolumeEndingBeforeTheCountIsAReadingFileError) {
  VolumeSetOptions options;
  options.member_count = 3;
  Write(test_support::BuildVolumeSet({{"a", Pattern(4, 1)}, {"b", Pattern(4, 2)}}, options));
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  ASSERT_EQ(set_.SkipMemberData(), 0);
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "b");
  ASSERT_EQ(set_.SkipMemberData(), 0);
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeFailed);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Reading file error: A:\\DATA.1"});
  EXPECT_EQ(desktop_.Messages()[0].caption, "(default)");
}

TEST_F(VolumeSetTest, ContinuationWithoutAWholeHeaderIsAReadingFileError) {
  Put("DATA.1", Concat({test_support::MakeVolumeHeader("DATA.2", 2, 0x74),
                        test_support::MakeMemberHeader("a", 1), BytesOf("A")}));
  Put("DATA.2", Concat({test_support::MakeVolumeHeader("", 2, 0x75), Bytes(100, 0)}));
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeFailed);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Reading file error: A:\\DATA.2"});
}

TEST_F(VolumeSetTest, WrongNextVolumeIsAnInvalidCompressedFile) {
  struct Case {
    const char* what;
    Bytes second;
  };
  const std::vector<Case> cases = {
      {"first-volume kind", test_support::MakeVolumeHeader("", 1, 0x74)},
      {"wrong signature", test_support::MakeVolumeHeader("", 1, 0x75, 0x76)},
      {"cut short", Bytes(57, 0)},
      {"next name climbs out", test_support::MakeVolumeHeader("..\\X.3", 1, 0x75)},
  };
  Bytes data = Pattern(500, 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put("DATA.1", Concat({test_support::MakeVolumeHeader("DATA.2", 1, 0x74),
                          test_support::MakeMemberHeader("a", 500), Bytes(data.begin(), data.begin() + 100)}));
    Put("DATA.2", Concat({c.second, Bytes(data.begin() + 100, data.end())}));
    ui::HostDesktop desktop;
    VolumeSetReader set(sources_, desktop, disks_, progress_);
    ASSERT_EQ(set.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
    MemberHeader member;
    ASSERT_EQ(set.ReadMemberHeader(&member), kVolumeOk);
    uint8_t buffer[2048];
    EXPECT_EQ(set.ReadMemberBytes(buffer, sizeof buffer), 0u);
    EXPECT_TRUE(set.aborted());
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Invalid compressed file A:\\DATA.2");
    EXPECT_FALSE(set.volume_open());
    // Once aborted, the decoder gets no more input.
    EXPECT_EQ(set.ReadMemberBytes(buffer, sizeof buffer), 0u);
  }
}

TEST_F(VolumeSetTest, UnsafeMemberNamesAreRefused) {
  const std::vector<std::string> names = {"\\WINDOWS\\WIN.INI", "C:\\AUTOEXEC.BAT",
                                         "..\\..\\evil.dll", "sub\\..\\..\\evil.dll",
                                         std::string(136, 'n'), "A.TXT\tforged\t1\tline\nB.TXT",
                                         "sub\\CON", "LPT1.TXT"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Put("DATA.1", Concat({test_support::MakeVolumeHeader("", 1, 0x74),
                          test_support::MakeMemberHeader(name, 1), BytesOf("x")}));
    ui::HostDesktop desktop;
    VolumeSetReader set(sources_, desktop, disks_, progress_);
    ASSERT_EQ(set.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
    MemberHeader member;
    EXPECT_EQ(set.ReadMemberHeader(&member), kVolumeFailed);
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text, "Invalid compressed file A:\\DATA.1");
  }
}

TEST_F(VolumeSetTest, FirstVolumeChecks) {
  Put("SHORT.1", Bytes(20, 0));
  Put("CONT.2", test_support::MakeVolumeHeader("", 1, 0x75));
  Put("CLIMB.1", test_support::MakeVolumeHeader("..\\DATA.2", 1, 0x74));
  Bytes unterminated = test_support::MakeVolumeHeader("", 1, 0x74);
  std::fill(unterminated.begin(), unterminated.begin() + 14, 'N');
  Put("NONUL.1", unterminated);
  EXPECT_EQ(set_.OpenFirstVolume("A:\\MISSING.1"), kVolumeNotOpened);
  EXPECT_EQ(set_.OpenFirstVolume("A:\\SHORT.1"), kNotAVolumeSet);
  EXPECT_EQ(set_.OpenFirstVolume("A:\\CONT.2"), kNotAVolumeSet);
  EXPECT_TRUE(desktop_.Messages().empty());
  EXPECT_EQ(set_.OpenFirstVolume("A:\\CLIMB.1"), kVolumeFailed);
  EXPECT_EQ(set_.OpenFirstVolume("A:\\NONUL.1"), kVolumeFailed);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Invalid compressed file A:\\CLIMB.1",
                                                      "Invalid compressed file A:\\NONUL.1"}));
}

TEST_F(VolumeSetTest, SkipsMemberDataAcrossVolumes) {
  VolumeSetOptions options;
  options.budgets = {300};
  Bytes kept = Pattern(40, 8);
  Write(test_support::BuildVolumeSet({{"skipped.bin", Pattern(700, 7)}, {"kept.bin", kept}}, options));
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(set_.SkipMemberData(), 0);
  EXPECT_EQ(progress_.shown, std::vector<std::string>{"skipped.bin"});
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(member.name, "kept.bin");
  EXPECT_EQ(ReadMember(), kept);
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST_F(VolumeSetTest, MemberRunningPastTheLastVolume) {
  // The header claims 1000 bytes; the set holds 10.
  Put("DATA.1", Concat({test_support::MakeVolumeHeader("", 1, 0x74),
                        test_support::MakeMemberHeader("a", 1000), Bytes(10, 1)}));
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  // Reading hands the short rest on unchanged (the decoder then sees the end).
  EXPECT_EQ(ReadMember(), Bytes(10, 1));
  EXPECT_FALSE(set_.aborted());
  EXPECT_TRUE(desktop_.Messages().empty());

  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(set_.SkipMemberData(), -1);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Invalid compressed file A:\\DATA.1"});
  EXPECT_TRUE(disks_.requests.empty());
}

TEST_F(VolumeSetTest, NextDiskIsAskedForUntilTheVolumeIsThere) {
  // Each volume on its own "floppy": drive A: is remapped when a disk is asked for.
  VolumeSetOptions options;
  options.budgets = {300};
  Bytes data = Pattern(400, 6);
  std::vector<VolumeFile> volumes = test_support::BuildVolumeSet({{"big.bin", data}}, options);
  ASSERT_EQ(volumes.size(), 3u);
  test_support::TempDir disk2, disk3;
  ASSERT_TRUE(test_support::WriteVolumeSet(dir_.path(), {volumes[0]}));
  ASSERT_TRUE(test_support::WriteVolumeSet(disk2.path(), {volumes[1]}));
  ASSERT_TRUE(test_support::WriteVolumeSet(disk3.path(), {volumes[2]}));
  int asked = 0;
  disks_.action = [&](bool advance) {
    ++asked;
    // Disk 2 goes in only when asked a second time; disk 3 right away.
    if (asked == 2) machine_.MapDrive('A', disk2.path(), os::DriveType::Removable);
    if (asked == 3) machine_.MapDrive('A', disk3.path(), os::DriveType::Removable);
  };
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(ReadMember(100), data);
  EXPECT_EQ(disks_.requests, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(set_.last_continuation_volume(), "DATA.3");
}

TEST_F(VolumeSetTest, CancelWhileChangingVolumesAbortsWithoutMessage) {
  VolumeSetOptions options;
  options.budgets = {300};
  Write(test_support::BuildVolumeSet({{"big.bin", Pattern(400, 6)}}, options));
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way);
    ui::HostDesktop desktop;
    ScriptedDisks disks;
    if (way == 0) disks.answer = 1;          // the user quits at the disk prompt
    if (way == 1) desktop.RequestCancelAfter(0);  // Cancel pressed in the progress window
    VolumeSetReader set(sources_, desktop, disks, progress_);
    ASSERT_EQ(set.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
    MemberHeader member;
    ASSERT_EQ(set.ReadMemberHeader(&member), kVolumeOk);
    uint8_t buffer[2048];
    EXPECT_EQ(set.ReadMemberBytes(buffer, sizeof buffer), 0u);
    EXPECT_TRUE(set.aborted());
    EXPECT_TRUE(desktop.Messages().empty());
    EXPECT_EQ(disks.requests.size(), way == 0 ? 1u : 0u);
  }
}

TEST_F(VolumeSetTest, ReadFailureIsAReadingDiskError) {
  // A volume stored in the install archive becomes unreadable once the archive
  // is closed (as the first disk prompt does).
  Bytes volume = Concat({test_support::MakeVolumeHeader("", 1, 0x74),
                         test_support::MakeMemberHeader("a", 4), BytesOf("DATA")});
  Put("INSTALL.EXE", test_support::BuildProgramWithArchive(BytesOf("MZ"), {{"DATA.1", volume}}));
  sources_.SetInstallArchive("A:\\INSTALL.EXE");
  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
  sources_.CloseInstallArchive();
  uint8_t buffer[16];
  EXPECT_EQ(set_.ReadMemberBytes(buffer, sizeof buffer), 0u);
  EXPECT_TRUE(set_.aborted());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Reading disk error."});
}

TEST_F(VolumeSetTest, VolumeNamingItselfDoesNotLoopForever) {
  Put("DATA.1", Concat({test_support::MakeVolumeHeader("DATA.2", 1, 0x74),
                        test_support::MakeMemberHeader("a", 0xFFFFFFF0u)}));
  Put("DATA.2", test_support::MakeVolumeHeader("DATA.2", 1, 0x75));
  struct AlwaysThere : NextDiskRequester {
    int RequestNextDisk(bool) override { return kDiskInPlace; }
  } always;
  VolumeSetReader set(sources_, desktop_, always, progress_);
  ASSERT_EQ(set.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  MemberHeader member;
  ASSERT_EQ(set.ReadMemberHeader(&member), kVolumeOk);
  EXPECT_EQ(set.SkipMemberData(), -1);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Invalid compressed file A:\\DATA.2"});
}

// The decoder reads straddling members through the read callback.
struct DecodeTarget {
  VolumeSetReader* set;
  Bytes out;
};
unsigned ReadForDecoder(char* buffer, unsigned* size, void* param) {
  return static_cast<DecodeTarget*>(param)->set->ReadMemberBytes(buffer, *size);
}
void WriteForDecoder(char* buffer, unsigned* size, void* param) {
  auto* target = static_cast<DecodeTarget*>(param);
  target->out.insert(target->out.end(), buffer, buffer + *size);
}

TEST_F(VolumeSetTest, ImplodedMembersDecodeAcrossVolumes) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i * 37 % 101) + " of the readme\r\n";
  Bytes readme = BytesOf(text), program = Noise(6000, 11);
  std::vector<VolumeMember> members = {test_support::ImplodedMember("README.TXT", readme),
                                       test_support::ImplodedMember("BIN\\TOOL.EXE", program)};
  ASSERT_GT(members[0].compressed.size(), 4u);
  VolumeSetOptions options;
  options.budgets = {1000};
  std::vector<VolumeFile> volumes = test_support::BuildVolumeSet(members, options);
  ASSERT_GT(volumes.size(), 5u);
  Write(volumes);

  ASSERT_EQ(set_.OpenFirstVolume("A:\\DATA.1"), kVolumeOk);
  std::vector<uint8_t> work(kExplodeWorkSize);
  for (const Bytes* expected : {&readme, &program}) {
    MemberHeader member;
    ASSERT_EQ(set_.ReadMemberHeader(&member), kVolumeOk);
    DecodeTarget target{&set_, {}};
    EXPECT_EQ(Explode(ReadForDecoder, WriteForDecoder, work.data(), &target), kExplodeOk);
    EXPECT_EQ(target.out, *expected);
  }
  MemberHeader member;
  EXPECT_EQ(set_.ReadMemberHeader(&member), kVolumeSetComplete);
  EXPECT_FALSE(set_.aborted());
  EXPECT_TRUE(desktop_.Messages().empty());
}

TEST(FixtureBuilderTest, VolumesRespectBudgetsAndHeadersNeverStraddle) {
  VolumeSetOptions options;
  options.budgets = {400, 300};
  std::vector<VolumeMember> members = {
      {"a", Pattern(120, 1)}, {"b", Pattern(500, 2)}, {"c", Pattern(0, 3)}, {"d", Pattern(90, 4)}};
  std::vector<VolumeFile> volumes = test_support::BuildVolumeSet(members, options);
  ASSERT_GE(volumes.size(), 3u);
  EXPECT_EQ(volumes[0].name, "DATA.1");
  EXPECT_EQ(volumes[1].name, "DATA.2");
  size_t total = 0;
  for (size_t i = 0; i < volumes.size(); ++i) {
    EXPECT_LE(volumes[i].bytes.size(), i == 0 ? 400u : 300u);
    VolumeHeader header = ParseVolumeHeader(volumes[i].bytes.data());
    EXPECT_EQ(header.kind, i == 0 ? kFirstVolumeKind : kContinuationVolumeKind);
    EXPECT_EQ(header.next_volume, i + 1 < volumes.size() ? volumes[i + 1].name : "");
    total += volumes[i].bytes.size() - kVolumeHeaderSize;
  }
  EXPECT_EQ(total, 4 * kMemberHeaderSize + 120 + 500 + 0 + 90);
  options.budgets = {58 + 167};
  EXPECT_TRUE(test_support::BuildVolumeSet(members, options).empty());
}

}  // namespace
}  // namespace install::archive
