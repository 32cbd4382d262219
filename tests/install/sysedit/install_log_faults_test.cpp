// The install log on the fault-injecting machine: every failure point of
// writing entries, each checked for a log that holds whole lines, an entry
// that is never lost (written once, or waiting), and a reported failure.
#include "install/sysedit/install_log.h"

#include <gtest/gtest.h>

#include "install/ui/host/host_desktop.h"
#include "tests/support/fault_walk.h"
#include "tests/support/faulty_machine.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit {
namespace {

using test_support::FaultPoint;

constexpr const char* kEarlier = "FILE: C:\\APP\\EARLIER.TXT\r\n";
const std::vector<std::string> kEntries = {"FILE: C:\\APP\\ONE.EXE", "RENAME: C:\\APP\\B.INI, C:\\APP\\A.INI",
                                           "FILE: C:\\APP\\THREE.DLL"};

struct LogWorld {
  LogWorld() {
    machine.MapDrive('C', dir.path(), os::DriveType::Fixed);
    dir.Write("APP/install.log", std::string(kEarlier));
    log.set_enabled(true);
    log.SetLogPath("C:\\APP");
    log.ReportFailuresTo(&desktop);
  }
  std::string Text() {
    auto bytes = test_support::ReadLocalFile(dir.path() / "APP" / "install.log");
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }
  test_support::TempDir dir;
  test_support::FaultyMachine machine;
  ui::HostDesktop desktop;
  InstallLog log{machine};
};

std::string AllEntries(size_t count) {
  std::string out = kEarlier;
  for (size_t i = 0; i < count; ++i) out += kEntries[i] + "\r\n";
  return out;
}

TEST(InstallLogFaults, AFailedWriteKeepsItsEntryAndTheLogWhole) {
  test_support::OperationCounts counts;
  {
    LogWorld world;
    world.machine.Arm(FaultPoint{});
    for (const std::string& entry : kEntries) EXPECT_EQ(world.log.AppendLogLine(entry), 1);
    EXPECT_EQ(world.Text(), AllEntries(kEntries.size()));
    counts = world.machine.counts();
  }
  ASSERT_GE(counts.writes, 3);
  ASSERT_GE(counts.closes, 3);
  for (const FaultPoint& point : test_support::FailurePointsOf(counts)) {
    SCOPED_TRACE(test_support::Describe(point));
    LogWorld world;
    world.machine.Arm(point);
    int failed = 0;
    for (const std::string& entry : kEntries) {
      const int result = world.log.AppendLogLine(entry);
      EXPECT_TRUE(result == 1 || result == -1) << result;
      if (result == -1) ++failed;
    }
    ASSERT_TRUE(world.machine.fired());
    // What is in the file and what waits make up every entry once, in order.
    const std::string text = world.Text();
    EXPECT_TRUE(test_support::IsWholeLines(text)) << text;
    EXPECT_EQ(failed, 1);
    // An entry that could not be written waits with its line end.
    std::string both = text;
    for (char c : world.log.pending_text()) both += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(both, AllEntries(kEntries.size()));
    // Reported once.
    ASSERT_EQ(world.desktop.Messages().size(), 1u);
    EXPECT_EQ(world.desktop.Messages()[0].text, "Writing disk error. C:\\APP\\install.log");
    // Once the disk takes writes again, the waiting entries go out in front.
    world.machine.Arm(FaultPoint{});
    EXPECT_EQ(world.log.AppendLogLine("FILE: C:\\APP\\LAST"), 1);
    EXPECT_EQ(world.Text(), AllEntries(kEntries.size()) + "FILE: C:\\APP\\LAST\r\n");
    EXPECT_EQ(world.log.pending_text(), "");
  }
}

TEST(InstallLogFaults, ALogNotOpenedYetIsNotAFailure) {
  LogWorld world;
  world.log.SetLogPath("C:\\MISSING");
  EXPECT_EQ(world.log.AppendLogLine("DEFAULTDIR: C:\\MISSING\n"), 0);
  EXPECT_EQ(world.log.AppendLogLine("DIRECTORY: C:\\MISSING\n"), 0);
  EXPECT_TRUE(world.desktop.Messages().empty());
  // Texts that end in their own line end wait as they are.
  EXPECT_EQ(world.log.pending_text(), "DEFAULTDIR: C:\\MISSING\nDIRECTORY: C:\\MISSING\n");
}

}  // namespace
}  // namespace install::sysedit
