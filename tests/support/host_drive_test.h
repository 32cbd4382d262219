// A test whose modelled machine has a fixed drive C: over a fresh temporary
// directory, a desktop that records what it was shown, and a reader for the
// install log written there.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "install/os/host/host_machine.h"
#include "install/ui/host/host_desktop.h"
#include "tests/support/fixture_builder.h"

namespace test_support {

class HostDriveTest : public ::testing::Test {
 protected:
  void SetUp() override { machine_.MapDrive('C', dir_.path(), install::os::DriveType::Fixed); }
  // The bytes of a file under C:, or "<none>".
  std::string LogBytes(const std::string& relative = "APP/install.log") {
    auto bytes = ReadLocalFile(dir_.path() / relative);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
  }
  TempDir dir_;
  install::os::HostMachine machine_;
  install::ui::HostDesktop desktop_;
};

}  // namespace test_support
