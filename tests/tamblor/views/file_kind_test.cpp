#include "tamblor/views/file_kind.h"

#include <gtest/gtest.h>

#include "tests/tamblor/views/views_fixture.h"

namespace tamblor::testing {
namespace {

using views::ClassifyPath;
using views::FileKind;
using views::IsSelfExtractor;

class FileKindTest : public ViewsFixture {
 protected:
  // An ".exe" of 600 bytes with `text` at `offset`.
  void WriteExe(const std::string& name, long offset, const std::string& text) {
    std::string bytes(600, 'x');
    bytes.replace(static_cast<size_t>(offset), text.size(), text);
    Write(name, bytes);
  }
  FileKind Kind(const std::string& path) { return ClassifyPath(machine_, config_, path); }
};

TEST_F(FileKindTest, ClassifiesByExistenceExtensionHandlerAndAttribute) {
  Write("cdrom.cfg", "UNCOMPRESS \".zip\" \"\\BIN\\PKUNZIP\"\r\nWIN_EXT \".wri\" \"write\"\r\n");
  config_.Read("E:\\cdrom.cfg");
  Write("DOCS/README.TXT", "x");
  Write("RUN.BAT", "x");
  Write("TOOL.COM", "x");
  Write("TOOL.EXE", std::string(600, 'x'));
  Write("GAME.ZIP", "x");
  Write("LETTER.WRI", "x");
  Write("DATA.BIN", "x");
  Write("AB", "x");
  MakeDirectory("UTILS");
  MakeDirectory("NOTES.TXT");
  MakeDirectory("PACK.ZIP");
  struct {
    const char* path;
    FileKind kind;
  } cases[] = {
      {"E:\\nothing.txt", FileKind::Missing},
      {"E:\\docs\\readme.txt", FileKind::TextFile},
      {"E:\\run.bat", FileKind::Program},
      {"E:\\TOOL.com", FileKind::Program},
      {"E:\\tool.exe", FileKind::Program},
      {"E:\\game.zip", FileKind::Archive},
      {"E:\\letter.wri", FileKind::WindowsDocument},
      {"E:\\data.bin", FileKind::OtherFile},
      {"E:\\utils", FileKind::Directory},
      {"E:\\", FileKind::OtherFile},              // shorter than 4 characters
      {"E:\\notes.txt", FileKind::TextFile},      // a directory, but the extension decides first
      {"E:\\pack.zip", FileKind::Archive},
      {"E:\\docs\\", FileKind::Directory},
      // A wildcard names no file, though a find on it would match one.
      {"E:\\run.ba?", FileKind::Missing},
      {"E:\\*.bat", FileKind::Missing},
      {"E:\\util*", FileKind::Missing},
      {"E:\\do?s\\readme.txt", FileKind::Missing},
  };
  for (const auto& c : cases) EXPECT_EQ(Kind(c.path), c.kind) << c.path;
}

TEST_F(FileKindTest, HalfBrokenNames) {
  Write("cdrom.cfg", "UNCOMPRESS \".zip\" \"\\BIN\\PKUNZIP\"\r\n");
  config_.Read("E:\\cdrom.cfg");
  Write("README", "x");
  Write("A.TX", "x");
  Write(".TXT", "x");
  Write("ZIP", "x");
  Write("X.EXE.TXT", "x");
  EXPECT_EQ(Kind("E:\\readme"), FileKind::OtherFile);
  EXPECT_EQ(Kind("E:\\a.tx"), FileKind::OtherFile);
  EXPECT_EQ(Kind("E:\\.txt"), FileKind::TextFile);
  EXPECT_EQ(Kind("E:\\zip"), FileKind::OtherFile) << "no dot: no handler extension";
  EXPECT_EQ(Kind("E:\\x.exe.txt"), FileKind::TextFile);
  EXPECT_EQ(Kind(""), FileKind::Missing);
}

TEST_F(FileKindTest, SelfExtractorSignaturesAtTheirOffsetsAndCaseSensitive) {
  WriteExe("SETUP.EXE", 50, "PKWARE");
  WriteExe("LOWER.EXE", 50, "pkware");
  WriteExe("ARJ1.EXE", 561, "aRJsfX");
  WriteExe("ARJ2.EXE", 562, "aRJsfX");
  WriteExe("RJSX.EXE", 28, "RJSX");
  WriteExe("LH.EXE", 36, "LH's SFX");
  WriteExe("LHA.EXE", 36, "LHA's SFX");
  WriteExe("LHARC.EXE", 38, "LHarc's SFX");
  WriteExe("LITE.EXE", 30, "PKLITE");
  WriteExe("SHIFTED.EXE", 51, "PKWARE");
  WriteExe("BROKEN.EXE", 50, "PKW\nARE");  // a line feed ends the read early
  Write("SHORT.EXE", "MZ");
  Write("PKWARE.TXT", std::string(50, 'x') + "PKWARE");
  EXPECT_EQ(Kind("E:\\setup.exe"), FileKind::SelfExtractor);
  EXPECT_EQ(Kind("E:\\lower.exe"), FileKind::Program);
  for (const char* name : {"E:\\arj1.exe", "E:\\arj2.exe", "E:\\rjsx.exe", "E:\\lh.exe", "E:\\lha.exe",
                           "E:\\lharc.exe", "E:\\lite.exe"})
    EXPECT_TRUE(IsSelfExtractor(machine_, name)) << name;
  for (const char* name : {"E:\\shifted.exe", "E:\\broken.exe", "E:\\short.exe", "E:\\pkware.txt",
                           "E:\\missing.exe", ".exe"})
    EXPECT_FALSE(IsSelfExtractor(machine_, name)) << name;
}

}  // namespace
}  // namespace tamblor::testing
