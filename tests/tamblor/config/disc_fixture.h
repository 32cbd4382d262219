// A disc in a temporary folder, mapped as drive E: (a CD-ROM) of a host machine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tamblor/os/host/host_machine.h"

namespace tamblor::testing {

class DiscFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("tamblor_disc_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    machine_.MapDrive('E', root_.string(), os::DriveType::CdRom);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // Writes `content` to the file at `relative` (with "/" separators) on the disc.
  void Write(const std::string& relative, const std::string& content) {
    std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
  void MakeDirectory(const std::string& relative) { std::filesystem::create_directories(root_ / relative); }

  std::filesystem::path root_;
  os::host::HostMachine machine_;
};

}  // namespace tamblor::testing
