// Runs `quill pack` on folders made by the test and reads the volumes back
// with `quill list` and `quill extract` (the installer's own set reader and
// file installer), across disk sizes that end a volume exactly at a member
// header or at the end of a member's data.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "install/archive/volume_set.h"
#include "tests/support/fixture_builder.h"
#include "tests/tools/quill_runner.h"

namespace {

namespace fs = std::filesystem;
namespace archive = install::archive;
using quill_test::Quill;
using quill_test::QuillProgram;
using quill_test::QuillRun;
using test_support::Bytes;

constexpr uint32_t kHeaders = archive::kVolumeHeaderSize + archive::kMemberHeaderSize;

// Runs a shell command in `directory`; the output is its standard output only.
QuillRun Shell(const std::string& command, const fs::path& directory) {
  std::string line = "cd '" + directory.string() + "' && " + command;
  QuillRun run;
  std::FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

std::string QuillCommand(const std::string& arguments) { return "'" + QuillProgram().string() + "' " + arguments; }

// The number of volumes a pack report ends with ("..., in N volumes").
int VolumeCount(const std::string& report) {
  size_t at = report.rfind(", in ");
  return at == std::string::npos ? 0 : std::stoi(report.substr(at + 5));
}

Bytes Pattern(size_t size, unsigned seed) {
  Bytes out(size);
  uint32_t state = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    // Runs of text-like bytes with some noise: compresses, but not to nothing.
    out[i] = (i % 64 < 40) ? uint8_t('a' + (i / 7 + seed) % 26) : uint8_t(state >> 24);
  }
  return out;
}

// One line of the pack report: name, size, compressed size, volumes.
struct ReportLine {
  uint64_t size = 0;
  uint32_t compressed = 0;
  std::string volumes;
};

std::map<std::string, ReportLine> MemberLines(const std::string& output) {
  std::map<std::string, ReportLine> lines;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    std::string field;
    while (std::getline(parts, field, '\t')) fields.push_back(field);
    if (fields.size() == 4 && fields[3].rfind("volume ", 0) == 0) {
      lines[fields[0]] = {std::stoull(fields[1]), uint32_t(std::stoul(fields[2])), fields[3].substr(7)};
    }
  }
  return lines;
}

class QuillPackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(QuillProgram())) << "build the quill target first: " << QuillProgram();
    // Members in set order: names compare without letter case.
    files_ = {{"a.txt", Pattern(3000, 1)},
              {"B.DAT", Pattern(9000, 2)},
              {"bin/APP.EXE", Pattern(40000, 3)},
              {"bin/empty.ini", Bytes()},
              {"Docs/Guide.txt", Pattern(12000, 4)}};
    for (const auto& [name, bytes] : files_) {
      ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "src" / name, bytes));
    }
    // A date to carry over (an even number of seconds: DOS times count in twos).
    fs::last_write_time(dir_.path() / "src" / "B.DAT",
                        fs::file_time_type::clock::from_sys(std::chrono::sys_days{std::chrono::year{1996} / 5 / 17} +
                                                            std::chrono::hours(13) + std::chrono::minutes(4) +
                                                            std::chrono::seconds(58)));
  }

  fs::path Volume(const std::string& out, int number, const std::string& base = "APP") {
    return dir_.path() / out / ("disk" + std::to_string(number)) / (base + "." + std::to_string(number));
  }

  // Packs src with `options` into `out`, checks the volumes and reads them
  // back with quill extract. Returns the pack report.
  std::string PackAndReadBack(const std::string& options, const std::string& out, uint32_t disk_size) {
    QuillRun pack = Quill("pack " + options + " src " + out + " APP", dir_.path());
    EXPECT_EQ(pack.status, 0) << pack.output;
    int volumes = 0;
    while (fs::exists(Volume(out, volumes + 1))) {
      ++volumes;
      EXPECT_LE(fs::file_size(Volume(out, volumes)), disk_size) << out << " volume " << volumes;
      auto bytes = test_support::ReadLocalFile(Volume(out, volumes));
      archive::VolumeHeader header = archive::ParseVolumeHeader(bytes->data());
      EXPECT_EQ(header.signature, archive::kVolumeSignature);
      EXPECT_EQ(header.kind, volumes == 1 ? archive::kFirstVolumeKind : archive::kContinuationVolumeKind);
      EXPECT_EQ(header.member_count, int16_t(files_.size()));
      next_names_.push_back(header.next_volume);
    }
    EXPECT_GE(volumes, 1) << pack.output;
    EXPECT_TRUE(!next_names_.empty() && next_names_.back().empty());
    EXPECT_NE(pack.output.find("in " + std::to_string(volumes) + " volumes"), std::string::npos) << pack.output;

    QuillRun list = Quill("list " + out + "/disk1/APP.1", dir_.path());
    EXPECT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), long(files_.size())) << list.output;

    QuillRun extract = Quill("extract -d " + out + "-x " + out + "/disk1/APP.1", dir_.path());
    EXPECT_EQ(extract.status, 0) << extract.output;
    for (const auto& [name, bytes] : files_) {
      auto read = test_support::ReadLocalFile(dir_.path() / (out + "-x") / name);
      EXPECT_TRUE(read && *read == bytes) << out << ": " << name;
    }
    EXPECT_EQ(fs::last_write_time(dir_.path() / (out + "-x") / "B.DAT"),
              fs::last_write_time(dir_.path() / "src" / "B.DAT"));
    return pack.output;
  }

  test_support::TempDir dir_;
  std::vector<std::pair<std::string, Bytes>> files_;
  std::vector<std::string> next_names_;
};

TEST_F(QuillPackTest, OneVolumeHoldsEverythingInCaseBlindOrder) {
  std::string report = PackAndReadBack("", "one", 1457664);
  EXPECT_FALSE(fs::exists(Volume("one", 2)));
  // Names with "\" in ascending order, letter case ignored.
  std::vector<std::string> names;
  std::istringstream in(report);
  std::string line;
  while (std::getline(in, line) && line.find("\tvolume ") != std::string::npos) {
    names.push_back(line.substr(0, line.find('\t')));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "B.DAT", "bin\\APP.EXE", "bin\\empty.ini",
                                             "Docs\\Guide.txt"}));
  auto lines = MemberLines(report);
  EXPECT_EQ(lines["bin\\empty.ini"].compressed, 0u);  // an empty file has no stream
  EXPECT_EQ(lines["bin\\APP.EXE"].size, 40000u);
  EXPECT_LT(lines["bin\\APP.EXE"].compressed, 40000u);
  EXPECT_NE(report.find("one/disk1/APP.1\t"), std::string::npos) << report;
}

TEST_F(QuillPackTest, VolumeEndsAtHeadersAndAtTheEndOfData) {
  // The compressed sizes, from a pack into one volume.
  auto sizes = MemberLines(Quill("pack src probe APP", dir_.path()).output);
  const uint32_t first = sizes["a.txt"].compressed;
  ASSERT_GT(first, 0u);
  struct Case {
    const char* out;
    uint32_t disk_size;
  } cases[] = {
      {"data-end", kHeaders + first},                          // a.txt's data fills volume 1 exactly
      {"no-room", kHeaders + first + 167},                     // one byte short of the next header
      {"header-end", kHeaders + first + 168},                  // B.DAT's header fills volume 1
      {"header-and-byte", kHeaders + first + 169},             // one byte of B.DAT's data, then on
      {"straddle", kHeaders + first / 2},                      // a.txt's data straddles
      {"smallest", kHeaders},                                  // a header or 168 bytes per volume
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    next_names_.clear();
    std::string report = PackAndReadBack("--disk-size " + std::to_string(c.disk_size), c.out, c.disk_size);
    auto lines = MemberLines(report);
    auto volume1 = test_support::ReadLocalFile(Volume(c.out, 1));
    ASSERT_TRUE(volume1);
    auto volume2 = test_support::ReadLocalFile(Volume(c.out, 2));
    ASSERT_TRUE(volume2);
    EXPECT_EQ(next_names_[0], "APP.2");
    archive::MemberHeader at_start = archive::ParseMemberHeader(volume2->data() + archive::kVolumeHeaderSize);
    if (std::string(c.out) == "data-end" || std::string(c.out) == "no-room") {
      EXPECT_EQ(volume1->size(), kHeaders + first);
      EXPECT_EQ(lines["a.txt"].volumes, "1");
      EXPECT_EQ(lines["B.DAT"].volumes.rfind("2", 0), 0u);
      EXPECT_EQ(at_start.name, "B.DAT");  // the header waits for the next volume
    } else if (std::string(c.out) == "header-end") {
      EXPECT_EQ(volume1->size(), c.disk_size);
      archive::MemberHeader last = archive::ParseMemberHeader(volume1->data() + volume1->size() - 168);
      EXPECT_EQ(last.name, "B.DAT");
      // The report names the volumes holding any of the member: its header
      // is in volume 1, all its data in the volumes after.
      EXPECT_EQ(lines["B.DAT"].volumes.rfind("1-", 0), 0u);
      at_start = archive::ParseMemberHeader(volume2->data() + archive::kVolumeHeaderSize);
      EXPECT_NE(at_start.name, "B.DAT");
    } else if (std::string(c.out) == "header-and-byte") {
      EXPECT_EQ(lines["B.DAT"].volumes.rfind("1-", 0), 0u);
    } else if (std::string(c.out) == "straddle") {
      EXPECT_EQ(lines["a.txt"].volumes, "1-2");
    } else {
      EXPECT_EQ(volume1->size(), kHeaders);  // volume header and a.txt's header only
      EXPECT_EQ(lines["a.txt"].volumes.rfind("1-", 0), 0u);
    }
  }
}

TEST_F(QuillPackTest, DictionaryAndLiteralModeReachTheStreams) {
  QuillRun pack = Quill("pack --ascii --dict 1024 src out APP", dir_.path());
  ASSERT_EQ(pack.status, 0) << pack.output;
  auto volume = test_support::ReadLocalFile(Volume("out", 1));
  ASSERT_TRUE(volume);
  // The first member's stream starts after both headers: literal mode 1
  // (ASCII), dictionary code 4 (1024 bytes).
  EXPECT_EQ((*volume)[kHeaders], 1);
  EXPECT_EQ((*volume)[kHeaders + 1], 4);
  QuillRun extract = Quill("extract -d x out/disk1/APP.1", dir_.path());
  EXPECT_EQ(extract.status, 0) << extract.output;
  EXPECT_EQ(test_support::ReadLocalFile(dir_.path() / "x" / "Docs" / "Guide.txt"), files_[4].second);
}

TEST_F(QuillPackTest, NamesTheTargetCannotHoldAreRefusedAndNothingIsWritten) {
  struct Case {
    const char* file;
    const char* message;
  } cases[] = {
      {"bad:name.txt", "holds ':'"},
      {"back\\slash.txt", "holds '\\'"},
      {"star*.txt", "holds '*'"},
      {"caf\xC3\xA9.txt", "other than printable ASCII"},
      {"trailing.", "ending in a dot or a space"},
      {"dir /x.txt", "ending in a dot or a space"},
      {"A.TXT", "differ only in letter case"},  // beside a.txt
      {"con.txt", "is a device name"},
      {"Lpt1", "is a device name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::path bad = dir_.path() / "src" / c.file;
    ASSERT_TRUE(test_support::WriteLocalFile(bad, test_support::BytesOf("x")));
    QuillRun run = Quill("pack src out APP", dir_.path());
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir_.path() / "out")) << run.output;
    fs::remove(bad);
    fs::remove(dir_.path() / "src" / "dir ");
  }

  // 135 characters fit in a member header, 136 do not.
  std::string fits = "deep/" + std::string(130, 'n');
  ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "src" / fits, test_support::BytesOf("x")));
  EXPECT_EQ(Quill("pack src ok APP", dir_.path()).status, 0);
  fs::remove_all(dir_.path() / "src" / "deep");
  std::string too_long = "deep/" + std::string(131, 'n');
  ASSERT_TRUE(test_support::WriteLocalFile(dir_.path() / "src" / too_long, test_support::BytesOf("x")));
  QuillRun run = Quill("pack src out APP", dir_.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("longer than 135 characters"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(dir_.path() / "out"));
}

TEST_F(QuillPackTest, BaseNamesMustFitTheVolumeHeaders) {
  // Ten volumes or more: the continuation names carry a two-digit number.
  QuillRun probe = Quill("pack --disk-size 2000 src probe P", dir_.path());
  ASSERT_EQ(probe.status, 0) << probe.output;
  const int volumes = VolumeCount(probe.output);
  ASSERT_GE(volumes, 10) << probe.output;
  ASSERT_LT(volumes, 100) << probe.output;
  const std::string fitting(10, 'B');  // "BBBBBBBBBB.NN": 13 characters
  QuillRun fits = Quill("pack --disk-size 2000 src ok " + fitting, dir_.path());
  EXPECT_EQ(fits.status, 0) << fits.output;
  const std::string last = fitting + "." + std::to_string(volumes);
  auto before_last = test_support::ReadLocalFile(dir_.path() / "ok" / ("disk" + std::to_string(volumes - 1)) /
                                                 (fitting + "." + std::to_string(volumes - 1)));
  ASSERT_TRUE(before_last);
  EXPECT_EQ(archive::ParseVolumeHeader(before_last->data()).next_volume, last);

  QuillRun too_long = Quill("pack --disk-size 2000 src out " + fitting + "B", dir_.path());
  EXPECT_EQ(too_long.status, 2);
  EXPECT_NE(too_long.output.find(fitting + "B." + std::to_string(volumes) + " is longer than the 13 characters"),
            std::string::npos)
      << too_long.output;
  EXPECT_FALSE(fs::exists(dir_.path() / "out"));
  // One volume: no continuation name is stored, any file name will do.
  EXPECT_EQ(Quill("pack src one LONGER_BASE_NAME", dir_.path()).status, 0);
  for (const char* bad : {"A:B", "A*", "end.", "NUL", "com1"}) {
    QuillRun run = Quill(std::string("pack src out '") + bad + "'", dir_.path());
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_NE(run.output.find("the base name"), std::string::npos) << run.output;
  }
}

TEST_F(QuillPackTest, UsageAndInputErrors) {
  for (const char* arguments : {"pack", "pack src out", "pack src out APP extra", "pack --dict 512 src out APP",
                                "pack --disk-size 225 src out APP", "pack --disk-size 2147483648 src out APP",
                                "pack --disk-size 1e6 src out APP", "pack --disk-size", "pack -x src out APP"}) {
    QuillRun run = Quill(arguments, dir_.path());
    EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
    EXPECT_NE(run.output.find("usage: quill pack"), std::string::npos) << arguments;
  }
  EXPECT_NE(Quill("pack --disk-size 225 src out APP", dir_.path()).output.find("from 226"), std::string::npos);

  QuillRun missing = Quill("pack nowhere out APP", dir_.path());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("nowhere: not a folder"), std::string::npos);
  fs::create_directories(dir_.path() / "hollow" / "sub");
  QuillRun empty = Quill("pack hollow out APP", dir_.path());
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.output.find("holds no files"), std::string::npos);
  QuillRun inside = Quill("pack src src/out APP", dir_.path());
  EXPECT_EQ(inside.status, 2);
  EXPECT_NE(inside.output.find("lies inside"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.path() / "out"));
}

TEST_F(QuillPackTest, ProgressOnlyOnATerminal) {
  // Not a terminal: the report alone, on standard output.
  QuillRun piped = Quill("pack src out APP", dir_.path());
  EXPECT_EQ(piped.output.find('\r'), std::string::npos) << piped.output;
  EXPECT_EQ(piped.output.find("packing"), std::string::npos);
  // On a terminal (script gives the program one), progress is shown.
  QuillRun on_terminal =
      Shell("script -qec \"" + QuillCommand("pack src tty APP") + "\" /dev/null 2>&1", dir_.path());
  if (on_terminal.status != 0) GTEST_SKIP() << "no pseudo-terminal: " << on_terminal.output;
  EXPECT_NE(on_terminal.output.find("packing 1/5: a.txt"), std::string::npos) << on_terminal.output;
}

TEST(QuillHelpTest, HelpAndVersionGoToStandardOutput) {
  test_support::TempDir dir;
  auto stdout_of = [&](const std::string& arguments, int* status) {
    QuillRun run = Shell(QuillCommand(arguments) + " 2>/dev/null", dir.path());
    *status = run.status;
    return run.output;
  };
  int status = -1;
  std::string help = stdout_of("--help", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(help.rfind("usage: quill COMMAND [ARGS]\n", 0), 0u) << help;
  EXPECT_NE(help.find("  quill pack [--disk-size BYTES] [--dict 1024|2048|4096] [--ascii] SOURCE OUT BASENAME\n"),
            std::string::npos);
  EXPECT_EQ(stdout_of("help", &status), help);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(stdout_of("help list", &status), "usage: quill list VOLUME\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(stdout_of("extract --help", &status), "usage: quill extract [-d DIR] VOLUME\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(stdout_of("--version", &status).rfind("quill ", 0), 0u);
  EXPECT_EQ(status, 0);
  // Errors go to standard error with status 1.
  EXPECT_EQ(stdout_of("help nothing", &status), "");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(stdout_of("nothing", &status), "");
  EXPECT_EQ(status, 1);
  QuillRun both = Quill("help nothing", dir.path());
  EXPECT_NE(both.output.find("quill: unknown command 'nothing'"), std::string::npos);
}

}  // namespace
