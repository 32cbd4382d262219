#include "install/archive/source_stream.h"

#include <gtest/gtest.h>

#include "install/os/host/host_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::archive {
namespace {

using test_support::ArchiveCorruption;
using test_support::ArchiveLayout;
using test_support::ArchiveMember;
using test_support::ArchiveOptions;
using test_support::Bytes;
using test_support::BytesOf;

class SourceStreamTest : public ::testing::Test {
 protected:
  SourceStreamTest() { machine_.MapDrive('A', dir_.path(), os::DriveType::Removable); }

  std::string Put(const std::string& name, const Bytes& bytes) {
    dir_.Write(name, bytes);
    return "A:\\" + name;
  }
  // Writes INSTALL.EXE carrying `members` and registers it as the archive.
  std::string PutProgram(const std::vector<ArchiveMember>& members, ArchiveOptions options = {},
                         Bytes program = BytesOf("MZ program bytes"),
                         ArchiveLayout* layout = nullptr) {
    std::string path =
        Put("INSTALL.EXE", test_support::BuildProgramWithArchive(program, members, options, layout));
    reader_.SetInstallArchive(path);
    return path;
  }
  Bytes ReadAll(SourceStream& stream) {
    Bytes out;
    uint8_t chunk[7];
    int32_t got;
    while ((got = reader_.ReadSource(stream, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + got);
    EXPECT_EQ(got, 0);
    return out;
  }
  std::vector<std::string> Lines(SourceStream& stream, size_t capacity) {
    std::vector<std::string> lines;
    while (auto line = reader_.ReadSourceLine(stream, capacity)) {
      lines.push_back(*line);
      if (lines.size() > 100) break;
    }
    return lines;
  }

  test_support::TempDir dir_;
  os::HostMachine machine_;
  SourceReader reader_{machine_};
};

TEST_F(SourceStreamTest, ShippedArchiveLayoutFindsDosShellMember) {
  Bytes pif(545);
  for (size_t i = 0; i < pif.size(); ++i) pif[i] = uint8_t(i * 7 + 1);
  ArchiveLayout layout;
  ArchiveOptions options;
  options.name_filler = 0xCC;
  PutProgram({{"install.pif", pif, 0xB3E80020u, 0x02BA1000u, 0xD0691B4Cu}}, options,
             Bytes(249344, 0x90), &layout);
  EXPECT_EQ(layout.file_size - layout.archive_offset, 845u);
  EXPECT_EQ(layout.entry_offsets[0], 249352u);
  Bytes file = *test_support::ReadLocalFile(dir_.path() / "INSTALL.EXE");
  auto at = [&](size_t archive_offset, size_t count) {
    return Bytes(file.begin() + 249344 + archive_offset, file.begin() + 249344 + archive_offset + count);
  };
  EXPECT_EQ(at(0x00C, 4), (Bytes{0x20, 0x00, 0xE8, 0xB3}));
  EXPECT_EQ(at(0x010, 4), (Bytes{0x00, 0x10, 0xBA, 0x02}));
  EXPECT_EQ(at(0x014, 4), (Bytes{0x4C, 0x1B, 0x69, 0xD0}));
  EXPECT_EQ(at(0x018, 4), (Bytes{0x21, 0x02, 0x00, 0x00}));
  EXPECT_EQ(at(0x345, 8), (Bytes{0x08, 0xCE, 0x03, 0x00, 0x08, 0xCE, 0x03, 0x00}));

  // Any directory, any letter case.
  auto stream = reader_.OpenSource("Z:\\NOWHERE\\Install.PIF");
  ASSERT_TRUE(stream);
  EXPECT_TRUE(stream->is_member());
  EXPECT_EQ(stream->data_start, 249628u);
  EXPECT_EQ(SourceReader::SourceSize(*stream), 545u);
  EXPECT_EQ(stream->date, 0xD0691B4Cu);
  EXPECT_EQ(stream->time, 0x02BA1000u);
  EXPECT_EQ(stream->attributes, 0xB3E80020u);
  EXPECT_EQ(reader_.directory_offset(), 249352u);
  EXPECT_EQ(reader_.second_offset(), 249352u);
  EXPECT_EQ(ReadAll(*stream), pif);
}

TEST_F(SourceStreamTest, NameNotInArchiveFallsThroughToPlainFile) {
  PutProgram({{"install.pif", BytesOf("pif")}});
  std::string path = Put("SETUP.CFG", BytesOf("TITLE \"x\"\r\n"));
  ASSERT_TRUE(machine_.SetDosFileTime(path, {0x1B4C, 0x1000}));
  machine_.SetAttributes(path, os::kAttrReadOnly | os::kAttrArchive);

  auto stream = reader_.OpenSource("a:\\setup.cfg");
  ASSERT_TRUE(stream);
  EXPECT_FALSE(stream->is_member());
  EXPECT_EQ(stream->size, 11u);
  EXPECT_EQ(stream->date, 0x1B4Cu);
  EXPECT_EQ(stream->time, 0x1000u);
  EXPECT_EQ(stream->attributes, uint32_t(os::kAttrReadOnly | os::kAttrArchive));
  EXPECT_EQ(ReadAll(*stream), BytesOf("TITLE \"x\"\r\n"));
  EXPECT_EQ(reader_.SeekSource(*stream, -3, 2), 8);
  EXPECT_EQ(reader_.TellSource(*stream), 8);

  EXPECT_FALSE(reader_.OpenSource("A:\\MISSING.TXT"));
  dir_.Write("SUBDIR/X", BytesOf("x"));
  EXPECT_FALSE(reader_.OpenSource("A:\\SUBDIR"));
}

TEST_F(SourceStreamTest, WildcardsNeverMatchMembersOrFiles) {
  PutProgram({{"install.pif", BytesOf("pif")}});
  Put("README.TXT", BytesOf("r"));
  EXPECT_FALSE(reader_.OpenSource("A:\\install.*"));
  EXPECT_FALSE(reader_.OpenSource("A:\\README.TX?"));
  EXPECT_FALSE(reader_.OpenSource("A:\\*.*"));
}

TEST_F(SourceStreamTest, ProgramWithoutUsableTrailerHasNoArchive) {
  struct Case {
    const char* what;
    Bytes program;
  };
  Bytes good = test_support::BuildProgramWithArchive(BytesOf("MZ"), {{"a.txt", BytesOf("member")}});
  Bytes lower_magic = good;
  lower_magic[lower_magic.size() - 16 + 1] = 't';  // "[tarsk]"
  Bytes no_nul = good;
  no_nul[no_nul.size() - 16 + 7] = 'X';
  ArchiveOptions zero;
  zero.corruption = ArchiveCorruption::ZeroDirectoryOffset;
  Bytes zero_directory =
      test_support::BuildProgramWithArchive(BytesOf("MZ"), {{"a.txt", BytesOf("member")}}, zero);
  Bytes directory_past_end = good;
  test_support::PutLe32(directory_past_end, directory_past_end.size() - 8, 0x7FFFFFF0u);
  const std::vector<Case> cases = {
      {"shorter than a trailer", BytesOf("[Tarsk]")},
      {"no trailer", BytesOf(std::string(64, 'x'))},
      {"magic in other case", lower_magic},
      {"magic without its NUL", no_nul},
      {"directory offset 0", zero_directory},
      {"directory offset past the end", directory_past_end},
  };
  Put("A.TXT", BytesOf("plain"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceReader reader(machine_);
    reader.SetInstallArchive(Put("PROG.EXE", c.program));
    auto stream = reader.OpenSource("A:\\A.TXT");
    ASSERT_TRUE(stream);
    EXPECT_FALSE(stream->is_member());
  }
}

TEST_F(SourceStreamTest, FailedArchiveOpenIsNotRetried) {
  std::string path = Put("INSTALL.EXE", BytesOf("no archive here, only a program"));
  reader_.SetInstallArchive(path);
  EXPECT_FALSE(reader_.OpenSource("A:\\A.TXT"));
  EXPECT_TRUE(reader_.archive_path().empty());

  Put("INSTALL.EXE", test_support::BuildProgramWithArchive(BytesOf("MZ"), {{"a.txt", BytesOf("m")}}));
  EXPECT_FALSE(reader_.OpenSource("A:\\A.TXT"));
  EXPECT_FALSE(reader_.archive_open());

  reader_.SetInstallArchive(path);
  EXPECT_TRUE(reader_.OpenSource("A:\\A.TXT"));
}

TEST_F(SourceStreamTest, OverlongArchivePathMeansNoArchive) {
  reader_.SetInstallArchive("A:\\" + std::string(253, 'x'));
  EXPECT_TRUE(reader_.archive_path().empty());
  reader_.SetInstallArchive("A:\\" + std::string(252, 'x'));
  EXPECT_EQ(reader_.archive_path().size(), 255u);
}

TEST_F(SourceStreamTest, FirstOfTwoMembersDifferingInCaseWins) {
  PutProgram({{"README.TXT", BytesOf("first")}, {"readme.txt", BytesOf("second one")}});
  auto stream = reader_.OpenSource("C:\\Readme.Txt");
  ASSERT_TRUE(stream);
  EXPECT_EQ(ReadAll(*stream), BytesOf("first"));
}

TEST_F(SourceStreamTest, DamagedChainEndsLookupCleanly) {
  const std::vector<ArchiveMember> members = {
      {"one.txt", BytesOf("first member")}, {"two.txt", BytesOf("second")}};
  Put("OTHER.TXT", BytesOf("plain other"));
  for (ArchiveCorruption corruption :
       {ArchiveCorruption::LoopingChain, ArchiveCorruption::NextPastEnd}) {
    SCOPED_TRACE(int(corruption));
    SourceReader reader(machine_);
    ArchiveOptions options;
    options.corruption = corruption;
    reader.SetInstallArchive(
        Put("PROG.EXE", test_support::BuildProgramWithArchive(BytesOf("MZ"), members, options)));
    // Members before the damage are still found.
    auto two = reader.OpenSource("two.txt");
    ASSERT_TRUE(two);
    EXPECT_TRUE(two->is_member());
    // A name that is not there ends the walk and falls through to the disk.
    auto other = reader.OpenSource("A:\\OTHER.TXT");
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->is_member());
    EXPECT_FALSE(reader.OpenSource("A:\\ABSENT.TXT"));
  }
}

TEST_F(SourceStreamTest, MemberWhoseSizeRunsPastTheFileIsNotHandedOut) {
  ArchiveOptions options;
  options.corruption = ArchiveCorruption::SizePastEnd;
  PutProgram({{"one.txt", BytesOf("first member")}, {"two.txt", BytesOf("second")}}, options);
  EXPECT_FALSE(reader_.OpenSource("A:\\ONE.TXT"));
  Put("ONE.TXT", BytesOf("on disk"));
  auto one = reader_.OpenSource("A:\\ONE.TXT");
  ASSERT_TRUE(one);
  EXPECT_FALSE(one->is_member());
  // The chain itself is intact, so the next member is still found.
  auto two = reader_.OpenSource("A:\\TWO.TXT");
  ASSERT_TRUE(two);
  EXPECT_EQ(ReadAll(*two), BytesOf("second"));
}

TEST_F(SourceStreamTest, MemberReadsAndSeeksStayInsideTheMember) {
  PutProgram({{"a.txt", BytesOf("0123456789")}, {"b.txt", BytesOf("NEXT MEMBER")}});
  auto stream = reader_.OpenSource("a.txt");
  ASSERT_TRUE(stream);
  uint8_t buffer[64];
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, sizeof buffer), 10);
  EXPECT_EQ(Bytes(buffer, buffer + 10), BytesOf("0123456789"));
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, sizeof buffer), 0);

  EXPECT_EQ(reader_.SeekSource(*stream, -4, 2), 6);
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, 2), 2);
  EXPECT_EQ(Bytes(buffer, buffer + 2), BytesOf("67"));
  EXPECT_EQ(reader_.TellSource(*stream), 8);
  EXPECT_EQ(reader_.SeekSource(*stream, 100, 1), 10);
  EXPECT_EQ(reader_.SeekSource(*stream, -100, 1), 0);
  EXPECT_EQ(reader_.SeekSource(*stream, 3, 0), 3);
  EXPECT_EQ(reader_.SeekSource(*stream, 5, 2), 10);
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, sizeof buffer), 0);
}

TEST_F(SourceStreamTest, EmptyMemberOpensReadsNothingAndSeeksToZero) {
  PutProgram({{"empty.dat", {}}, {"b.txt", BytesOf("after")}});
  auto stream = reader_.OpenSource("A:\\EMPTY.DAT");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->size, 0u);
  uint8_t buffer[8];
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, sizeof buffer), 0);
  EXPECT_EQ(reader_.SeekSource(*stream, 5, 0), 0);
  EXPECT_EQ(reader_.SeekSource(*stream, 0, 2), 0);
  EXPECT_FALSE(reader_.ReadSourceLine(*stream, 999));
}

TEST_F(SourceStreamTest, MemberStreamFailsOnceItsArchiveIsClosed) {
  std::string program = PutProgram({{"a.txt", BytesOf("abc")}});
  auto stream = reader_.OpenSource("a.txt");
  ASSERT_TRUE(stream);
  reader_.CloseInstallArchive();
  EXPECT_TRUE(reader_.archive_path().empty());
  uint8_t buffer[4];
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, 4), -1);
  EXPECT_EQ(reader_.SeekSource(*stream, 0, 0), -1);
  EXPECT_EQ(reader_.TellSource(*stream), -1);
  EXPECT_FALSE(reader_.ReadSourceLine(*stream, 999));

  // Opening the archive again does not revive a stream of the earlier opening.
  reader_.SetInstallArchive(program);
  auto again = reader_.OpenSource("a.txt");
  ASSERT_TRUE(again);
  EXPECT_EQ(reader_.ReadSource(*stream, buffer, 4), -1);
  EXPECT_EQ(reader_.ReadSource(*again, buffer, 4), 3);
  SourceReader::CloseSource(std::move(again));
  SourceReader::CloseSource(nullptr);
}

TEST_F(SourceStreamTest, DisabledArchiveLooksOnlyAtTheDisk) {
  PutProgram({{"install.pif", BytesOf("from the archive")}});
  reader_.set_archive_disabled(true);
  EXPECT_FALSE(reader_.OpenSource("A:\\INSTALL.PIF"));

  Put("INSTALL.PIF", BytesOf("from the disk"));
  auto disk = reader_.OpenSource("A:\\INSTALL.PIF");
  ASSERT_TRUE(disk);
  EXPECT_FALSE(disk->is_member());
  EXPECT_EQ(ReadAll(*disk), BytesOf("from the disk"));

  reader_.set_archive_disabled(false);
  auto member = reader_.OpenSource("A:\\INSTALL.PIF");
  ASSERT_TRUE(member);
  EXPECT_TRUE(member->is_member());
}

TEST_F(SourceStreamTest, ReadSourceLineSplitsAtLineFeedsAndDropsCarriageReturns) {
  auto plain = reader_.OpenSource(Put("A.TXT", BytesOf("a\r\nb")));
  ASSERT_TRUE(plain);
  EXPECT_EQ(Lines(*plain, 999), (std::vector<std::string>{"a\n", "b"}));

  PutProgram({{"s.cfg", BytesOf("a\r\nb")}, {"t.cfg", BytesOf("tail\n")}});
  auto member = reader_.OpenSource("s.cfg");
  ASSERT_TRUE(member);
  EXPECT_EQ(Lines(*member, 999), (std::vector<std::string>{"a\n", "b"}));
}

TEST_F(SourceStreamTest, ReadSourceLineCutsAtCapacity) {
  auto stream = reader_.OpenSource(Put("A.TXT", BytesOf("abcdef\nab\r\r\rc\n\n")));
  ASSERT_TRUE(stream);
  EXPECT_EQ(Lines(*stream, 4), (std::vector<std::string>{"abc", "def", "\n", "abc", "\n", "\n"}));

  auto tiny = reader_.OpenSource("A:\\A.TXT");
  ASSERT_TRUE(tiny);
  EXPECT_FALSE(reader_.ReadSourceLine(*tiny, 1));
}

TEST_F(SourceStreamTest, ReadSourceLineKeepsNulAndEightBitBytes) {
  Bytes raw = {'x', 0, 0xFF, 0x81, '\n', 0xE9, 0};
  auto stream = reader_.OpenSource(Put("BIN.DAT", raw));
  ASSERT_TRUE(stream);
  auto first = reader_.ReadSourceLine(*stream, 999);
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, std::string("x\0\xFF\x81\n", 5));
  auto second = reader_.ReadSourceLine(*stream, 999);
  ASSERT_TRUE(second);
  EXPECT_EQ(*second, std::string("\xE9\0", 2));
  EXPECT_FALSE(reader_.ReadSourceLine(*stream, 999));
}

}  // namespace
}  // namespace install::archive
