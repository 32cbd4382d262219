#include "install/app/machine_facts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "install/os/host/host_machine.h"
#include "install/os/host/host_system_info.h"
#include "tests/support/fixture_builder.h"

namespace install::app {
namespace {

TEST(MachineFactsTest, VersionsReadAsDecimalNumbers) {
  EXPECT_DOUBLE_EQ(WindowsVersionFrom(os::MakePlatformVersion(3, 10, 6, 22)), 3.1);
  EXPECT_DOUBLE_EQ(DosVersionFrom(os::MakePlatformVersion(3, 10, 6, 22)), 6.22);
  EXPECT_DOUBLE_EQ(WindowsVersionFrom(os::MakePlatformVersion(3, 95, 7, 0)), 3.95);
  EXPECT_DOUBLE_EQ(DosVersionFrom(os::MakePlatformVersion(3, 95, 7, 0)), 7.0);
  EXPECT_DOUBLE_EQ(WindowsVersionFrom(os::MakePlatformVersion(4, 0, 0, 0)), 4.0);
  EXPECT_DOUBLE_EQ(WindowsVersionFrom(os::MakePlatformVersion(3, 1, 0, 0)), 3.1);
}

TEST(MachineFactsTest, HardDiskLetterFollowsDriveA) {
  test_support::TempDir dir;
  os::HostMachine machine;
  os::HostSystemInfo system(os::MakePlatformVersion(4, 0, 7, 10));
  std::filesystem::create_directories(dir.path() / "a");
  machine.MapDrive('A', dir.path() / "a", os::DriveType::Removable);
  MachineFacts facts = ReadMachineFacts(machine, system);
  EXPECT_EQ(facts.hard_disk_letter, 'C');
  EXPECT_DOUBLE_EQ(facts.windows_version, 4.0);
  EXPECT_DOUBLE_EQ(facts.dos_version, 7.1);

  machine.SetDriveType('A', os::DriveType::Fixed);
  EXPECT_EQ(ReadMachineFacts(machine, system).hard_disk_letter, 'A');
}

}  // namespace
}  // namespace install::app
