// Writes the seed corpus of every fuzz target: fuzz_seeds DIRECTORY makes
// DIRECTORY/<target>/<seed>. The seeds are made here, by the same fixture
// builders the tests use, rather than kept as opaque files; scripts/fuzz.sh
// also adds every input kept in fuzz/regressions/<target>/.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "install/archive/implode.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"

namespace {

namespace fs = std::filesystem;
using test_support::Bytes;
using test_support::BytesOf;

fs::path g_root;
int g_failures = 0;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  if (!test_support::WriteLocalFile(g_root / target / name, bytes)) ++g_failures;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes Pattern(size_t size, uint32_t seed) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = (i % 4 == 0) ? uint8_t(seed >> 16) : uint8_t('a' + i % 13);
  }
  return out;
}

// The decoder's input: a selector byte (how it is read), then the stream.
void ExplodeSeeds() {
  Seed("explode_fuzz", "example_binary", {0x08, 0x00, 0x04, 0x82, 0x24, 0x25, 0x8f, 0x80, 0x7f});
  Seed("explode_fuzz", "example_ascii", {0x01, 0x01, 0x04, 0x4e, 0xc0, 0x3f});
  Seed("explode_fuzz", "shortest", {0x00, 0x00, 0x04, 0x01, 0xff, 0x00});
  Seed("explode_fuzz", "bad_header", {0x00, 0x09, 0x07, 0x01, 0xff, 0x00});
  const std::string texts[] = {"Setup copies the files to your hard disk.\r\n[Files]\r\nA=B\r\n",
                               std::string("\x00\x01\x02\x03\x00\x01\x02\x03\xff\xfe\x00\x00\x00\x00", 14)};
  int n = 0;
  for (const std::string& text : texts) {
    std::string repeated;
    for (int i = 0; i < 64; ++i) repeated += text;
    for (unsigned mode = 0; mode < 2; ++mode, ++n) {
      std::vector<uint8_t> stream;
      install::archive::ImplodeBuffer(reinterpret_cast<const uint8_t*>(repeated.data()), repeated.size(), mode,
                                      1024u << (n % 3), stream);
      Bytes seed = {uint8_t(n * 37)};
      seed.insert(seed.end(), stream.begin(), stream.end());
      Seed("explode_fuzz", "made" + std::to_string(n), seed);
    }
  }
}

void Regedit4Seeds() {
  Seed("regedit4_fuzz", "values",
       BytesOf("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Marsh]\r\n@=\"default\"\r\n\"Path\"=\"C:\\\\APP\"\r\n"
               "\"Count\"=dword:0000002a\r\n\"Blob\"=hex:01,ff,00\r\n\"Multi\"=hex(7):61,00,00\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Marsh\\Sub\\Deeper]\r\n\"Q\"=\"a \\\"quoted\\\" text\"\r\n"));
  Seed("regedit4_fuzz", "continued",
       BytesOf("REGEDIT4\n; a comment\n[HKEY_CLASSES_ROOT\\.mrs]\n\"Long\"=hex:01,02,\\\n  03,04\n"
               "[HKEY_USERS\\.DEFAULT]\n[HKEY_CURRENT_CONFIG\\Display]\n[HKEY_DYN_DATA\\PerfStats]\n"));
  Seed("regedit4_fuzz", "bad_line", BytesOf("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=bogus\r\n"));
}

void PeVersionSeeds() {
  Seed("pe_version_fuzz", "one_ten", test_support::PeWithVersion("1.10"));
  Seed("pe_version_fuzz", "long", test_support::PeWithVersion(std::string(120, '9')));
  test_support::PeVersionOptions options;
  options.table = "040904B0";
  options.pe32_plus = true;
  options.earlier_language_version = u"0.9";
  Seed("pe_version_fuzz", "pe32_plus_two_languages", test_support::BuildPeWithVersion(options));
  options = {};
  options.with_version_resource = false;
  Seed("pe_version_fuzz", "no_resource", test_support::BuildPeWithVersion(options));
}

// A bottom-up (height > 0) or top-down picture; RLE8 when `rle` holds its runs.
Bytes Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t table, const Bytes& rle = {}) {
  const uint32_t rows = uint32_t(height < 0 ? -height : height);
  const uint32_t stride = ((bits * uint32_t(width) + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + table * 4;
  Bytes b(offset, 0);
  b[0] = 'B';
  b[1] = 'M';
  test_support::PutLe32(b, 10, offset);
  test_support::PutLe32(b, 14, 40);
  test_support::PutLe32(b, 18, uint32_t(width));
  test_support::PutLe32(b, 22, uint32_t(height));
  test_support::PutLe16(b, 26, 1);
  test_support::PutLe16(b, 28, bits);
  test_support::PutLe32(b, 30, rle.empty() ? 0 : 1);
  test_support::PutLe32(b, 34, uint32_t(rle.size()));
  test_support::PutLe32(b, 46, table);
  const Bytes pixels = rle.empty() ? Pattern(size_t(stride) * rows, 7) : rle;
  b.insert(b.end(), pixels.begin(), pixels.end());
  test_support::PutLe32(b, 2, uint32_t(b.size()));
  return b;
}

void BmpSeeds() {
  Seed("bmp_fuzz", "mono", Bmp(9, 3, 1, 2));
  Seed("bmp_fuzz", "sixteen", Bmp(5, 2, 4, 16));
  Seed("bmp_fuzz", "palette_top_down", Bmp(7, -4, 8, 256));
  Seed("bmp_fuzz", "true_colour", Bmp(3, 3, 24, 0));
  Seed("bmp_fuzz", "rle8", Bmp(4, 2, 8, 4, {2, 1, 0, 2, 2, 3, 0, 0, 4, 2, 0, 1}));
}

void InstallArchiveSeeds() {
  using test_support::ArchiveCorruption;
  const std::vector<test_support::ArchiveMember> members = {
      {"install.pif", Pattern(545, 3), 0xB3E80020u, 0x02BA1000u, 0xD0691B4Cu},
      {"SETUP.CFG", BytesOf("TITLE \"x\"\r\nFILE A.TXT\r\nINSERTDISK: \"Disk 2\"\r\n" + std::string(1200, 'L') + "\nend")},
      {"A", {}},
  };
  const Bytes program = BytesOf("MZ the program itself");
  Seed("install_archive_fuzz", "three_members", test_support::BuildProgramWithArchive(program, members));
  test_support::ArchiveOptions options;
  options.name_filler = 0xCC;
  Seed("install_archive_fuzz", "filled_names", test_support::BuildProgramWithArchive(program, members, options));
  int n = 0;
  for (ArchiveCorruption corruption : {ArchiveCorruption::LoopingChain, ArchiveCorruption::NextPastEnd,
                                       ArchiveCorruption::SizePastEnd, ArchiveCorruption::ZeroDirectoryOffset}) {
    options = {};
    options.corruption = corruption;
    Seed("install_archive_fuzz", "corrupt" + std::to_string(n++),
         test_support::BuildProgramWithArchive(program, members, options));
  }
}

// The volume target's input: a settings byte, then the volumes separated by
// "\n--next volume--\n".
Bytes VolumeInput(uint8_t settings, const std::vector<test_support::VolumeFile>& volumes) {
  Bytes out = {settings};
  for (size_t i = 0; i < volumes.size(); ++i) {
    if (i) out = Concat({out, BytesOf("\n--next volume--\n")});
    out = Concat({out, volumes[i].bytes});
  }
  return out;
}

void VolumeSetSeeds() {
  using test_support::ImplodedMember;
  const std::vector<test_support::VolumeMember> members = {
      ImplodedMember("ONE.TXT", BytesOf("replaces the existing one\r\n"), 7960, 0x6000),
      ImplodedMember("SUB\\TWO.BIN", Pattern(3000, 5), 7960, 0x6000),
      ImplodedMember("EMPTY.TXT", {}),
  };
  Seed("volume_set_fuzz", "one_volume_yes", VolumeInput(1, test_support::BuildVolumeSet(members)));
  test_support::VolumeSetOptions split;
  split.volume_names = {"DATA.1", "DATA.2", "DATA.3"};
  split.budgets = {700, 1200};
  Seed("volume_set_fuzz", "three_volumes_new", VolumeInput(3, test_support::BuildVolumeSet(members, split)));
  test_support::VolumeSetOptions short_count;
  short_count.member_count = 5;
  Seed("volume_set_fuzz", "count_beyond_the_members_no",
       VolumeInput(0, test_support::BuildVolumeSet(members, short_count)));
}

void ScriptSeeds() {
  Seed("script_fuzz", "full",
       BytesOf("REM sample\r\nTITLE \"Marsh Writer 2.0\" \"Times New Roman\" Bold italic 24\r\n"
               "TITLECOLOR (0,128,0)\r\nSCREENCOLOR Blue Black\r\nFONTNAME \"Arial\"\r\n"
               "SCREENGRAPHIC logo.bmp TopRight\r\nINTROSCREEN \"$WINDIR$\\intro.bmp\" 5\r\n"
               "DEFAULTDIR \\MARSH NOASKDRIVE prompt=\"Where shall it go?\"\r\nDIR2 $WINDIR$\\MARSH NOASKDIR\r\n"
               "ASK1 \"Jane\" prompt=\"Your name?\"\r\nMINCPUTYPE 80486\r\nMINDISKSPACE 1.5M\r\n"
               "MINDISKSPACE 200K 7\r\nPROGRESSBAR 2M\r\nOVERWRITEFILE new\r\nCOMPRESSION LHA\r\n"
               "REBOOT window\r\nRUNATSTART \"$SOURCEDIR$\\pre.exe\"\r\nRUNATEXIT \"notepad x.txt\"\r\n"
               "SHOWREADME readme.txt\r\nUNINSTALL Yes\r\nUNINSTALLBEGINPROMPT \"Remove it?\"\r\n"
               "BEGINGROUP\r\nChoose the parts:\r\n07 [X] Program files\r\n12 [ ] Samples\r\nENDGROUP\r\n"
               "POPMESSAGE 3 \"Arial\" 0\r\nCopying the samples\r\nENDPOP\r\n"
               "BEGINFIRSTSCREEN \"Courier New\" 12\r\nWelcome.\r\n\r\n  Press OK.\r\nENDFIRSTSCREEN\r\n"
               "BEGINLASTSCREEN\r\nDone.\r\nENDLASTSCREEN\r\nFILE marsh.exe\r\n"
               "FILE: \"sample one.txt\" GROUP=12 OVERWRITE=yes POPID=3\r\nINSERTDISK \"Disk 2\" \"DISK2\"\r\n"
               "file spell.dll COMPRESSED GROUP=7\r\nDELETE \"$DEFAULTDIR$\\old.tmp\"\r\nRENAME old.ini new.ini\r\n"
               "REGSERVER \"$DEFAULTDIR$\\marsh.ocx\"\r\nWINITEM \"Marsh\" \"$DEFAULTDIR$\\marsh.exe\" \"Marsh\"\r\n"
               "INIFILE \"Marsh\" \"Path\" \"$DEFAULTDIR$\" \"win.ini\"\r\nAUTOEXEC ADDPATH=\"$DEFAULTDIR$\"\r\n"
               "CONFIG FILEMIN=40 BUFFERMIN=20\r\nADDTEXT \"line\" \"c:\\a.txt\"\r\nBEGINREGISTRY\r\n"
               "KEY NEW \"HKEY_LOCAL_MACHINE\\Software\\Marsh\"\r\nVALUE STRING NEW \"Path\" \"$DEFAULTDIR$\"\r\n"
               "ENDREGISTRY\r\nCOPYFILEPROMPT \"Copying: \"\r\n"));
  Seed("script_fuzz", "multi_disk", BytesOf("DEFAULTDIR \"C:\\APP\"\nFILE A.TXT\nINSERTDISK: \"Disk 2\" \"L2\"\nFILE B.TXT\n"));
  Seed("script_fuzz", "exit_message", BytesOf("EXITMESSAGE\nNot on this system.\nEXIT\nTITLE never\n"));
  Seed("script_fuzz", "syntax_error", BytesOf("TITLE \"x\"\nASK1 Jane prompt=\"x\"\n"));
  Seed("script_fuzz", "macros", BytesOf("DEFAULTDIR \"$WINDIR$\\APP\"\nASK2 \"$SYSTEM$\" prompt=\"$SOURCEDIR$\"\n"
                                        "FILE \"$ASK2$\\X.TXT\" SOURCE=$WINSYSDIR$\n"));
}

}  // namespace

// The browser's readers take text; a few bytes in front steer the target.
void Text(const std::string& target, const std::string& name, const std::string& text) {
  Seed(target, name, BytesOf(text));
}

// The steering bytes in front of a browser reader's input.
std::string Steer(int a, int b, int c = -1) {
  std::string out{static_cast<char>(a), static_cast<char>(b)};
  if (c >= 0) out += static_cast<char>(c);
  return out;
}

void BrowserSeeds() {
  Text("lang_format_fuzz", "delete_question", Steer(0x01, 0xff) +
       "Would you like to delete the directory:\n\"%s\"?\n ");
  Text("lang_format_fuzz", "three_kinds", Steer(0x93, 0x20) + "%-20.5s|%05d|%3c|%%|%i|%u|%ld");
  Text("lang_format_fuzz", "wrong_kinds", Steer(0x27, 0x04) + "%d %s %c %s %99999s %.0s %-0*d %");
  Text("lang_format_fuzz", "widths", Steer(0x05, 0xc8) + "[%511s][%512s][%-513d]");

  Text("disc_config_fuzz", "full",
       "DISC_TITLE \"Collection\"\r\nUNZIP_ROOT \"UNZIPPED\"\r\nUNZIP_PROG \"\\BIN\\PKUNZIP -d\"\r\n"
       "UNCOMPRESS \".lzh\" \"\\BIN\\LHA x\"\r\nWIN_EXT \".wri\" \"write.exe /p a b c d e f g h i j\"\r\n"
       "TRANS_DIR \"\\LANG\"\r\nLANGUAGE  German\r\nROCKRIDGE\r\nMULTI_DISCS\r\nDISC # 2\r\n");
  Text("disc_config_fuzz", "limits", "DISC_TITLE \"" + std::string(90, 't') + "\"\nUNCOMPRESS \".toolong\" \"x\"\n"
       "UNCOMPRESS \".seven7\" \"" + std::string(85, 'p') + "\"\nDISC #99999999999\n");
  Text("disc_config_fuzz", "unclosed", "WIN_EXT \".txt\nDISC_TITLE \"open\xff\nLANGUAGE\n");

  auto table_line = [](char type, const std::string& stored, const std::string& long_name) {
    std::string line = std::string(1, type) + " " + stored;
    line.resize(37, ' ');
    return line + long_name + "\n";
  };
  Text("trans_table_fuzz", "two_levels", "docs\\readme.text\n" + table_line('D', "DIR", "docs") +
       table_line('F', "README.TEX;1", "readme.text") + table_line('L', "LINK", "link"));
  Text("trans_table_fuzz", "escapes", "up\\x\n" + table_line('D', "..", "up") + table_line('F', "CON", "x") +
       table_line('F', "A\\B", "slash") + table_line('F', "C:", "drive"));
  Text("trans_table_fuzz", "crlf_tabs", "Docs\n" + std::string("D DIR\t") + std::string(30, ' ') + "docs\r\n");

  const std::string index =
      "===============\r\n| Heading |\r\n===============\r\nREADME.TXT  About this disc\r\n"
      "  continues here\r\nUTILS       Tools\r\n| boxed\r\n\r\nGAME.ZIP    A game\r\n";
  Text("index_fuzz", "directory_index", Steer(0x00, 0x00, 0x10) + index);
  Text("index_fuzz", "shrinking", Steer(0x01, 0x08, 0x40) + index + std::string(20000, 'x') + "\nEND\n");
  Text("index_fuzz", "global_index", Steer(0x00, 0x00, 0x99) +
       "path: \\UTILS  The tools\nTOOL.EXE  A tool\nPATH: \\GAMES\\" + std::string(300, 'g') +
       " long\nsesetup  twice\nsetup  once\n");

  Text("text_line_fuzz", "mixed_ends", Steer(0x00, 0x00, 0x05) + "one\r\ntwo\nthree\r\r\n\n\xff" "after\nlast");
  Text("text_line_fuzz", "long_lines", Steer(0x00, 0x00, 0x03) + std::string(100, 'a') + "\n" +
       std::string(81, 'b') + "\n" + std::string(600, 'c'));
  Text("text_line_fuzz", "shrinks_across_blocks", Steer(0x02, 0x05, 0x05) + std::string(8190, 'l') + "\r\n" +
       std::string(9000, 'm') + "\n");
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIRECTORY\n");
    return 1;
  }
  g_root = argv[1];
  ExplodeSeeds();
  Regedit4Seeds();
  PeVersionSeeds();
  BmpSeeds();
  InstallArchiveSeeds();
  VolumeSetSeeds();
  ScriptSeeds();
  BrowserSeeds();
  if (g_failures) std::fprintf(stderr, "fuzz_seeds: %d seeds could not be written\n", g_failures);
  return g_failures ? 1 : 0;
}
