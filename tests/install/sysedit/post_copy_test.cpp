// The steps that follow a completed copy, over a plan read from a script:
// the registry sections, then the program groups, with their log entries in
// that order.
#include <gtest/gtest.h>

#include <string>

#include "install/os/host/host_program_manager.h"
#include "install/os/host/host_registry.h"
#include "install/sysedit/install_log.h"
#include "install/sysedit/program_groups.h"
#include "install/sysedit/registry_apply.h"
#include "tests/install/script/parser_fixture.h"
#include "tests/support/fixture_builder.h"

namespace install::sysedit {
namespace {

constexpr char kScript[] =
    "UNINSTALL YES\n"
    "BEGINREGISTRY\n"
    "REM the product's own key\n"
    "KEY NEW \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh\\Demo\"\n"
    "VALUE STRING NEW \"Path\" \"$DEFAULTDIR$\"\n"
    "VALUE REG_EXPAND_SZ NEW \"Help\" \"%WINDIR%\\$DEFAULTDIR$.HLP\"\n"
    "VALUE DWORD NEW \"Runs\" \"0x10\"\n"
    "VALUE BINARY NEW \"Flags\" \"0000000111111111\"\n"
    "VALUE REG_MULTI_SZ NEW \"List\" \"one\"\n"
    "VALUE REG_DWORD_BIG_ENDIAN NEW \"Big\" \"258\"\n"
    "VALUE STRING NEW \"DEFAULT\" \"Quillmarsh Demo\"\n"
    "ENDREGISTRY\n"
    "WINITEM \"Quillmarsh Demo\" \"$DEFAULTDIR$\\DEMO.EXE\" \"Demo\" \"$DEFAULTDIR$\\\"\n"
    "BEGINREGISTRY\n"
    "KEY QUERY \"HKEY_CURRENT_USER\\Software\\Existing\"\n"
    "VALUE DWORD INCREMENT \"Count\" \"1\"\n"
    "VALUE STRING RENAME \"Old\" \"DEFAULT\"\n"
    "ENDREGISTRY\n"
    "WINITEM \"Quillmarsh Demo\" \"$DEFAULTDIR$\\README.TXT\" \"Read Me\"\n";

class PostCopyTest : public script::testing::ParserFixture {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root_ / "APP");
    ASSERT_TRUE(registry_.LoadRegedit4(
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Existing]\r\n"
        "\"Count\"=dword:00000004\r\n"
        "\"Old\"=\"moved\"\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
        "\r\n"));
    ASSERT_EQ(Parse(kScript), 0) << SyntaxError();
    plan_->macros.default_dir = "C:\\APP";
    log_.set_enabled(plan_->uninstall != 0);
    log_.SetLogPath("C:\\APP");
  }

  std::string Log() {
    auto bytes = test_support::ReadLocalFile(root_ / "APP" / "install.log");
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
  }

  os::HostRegistry registry_;
  os::HostProgramManager progman_;
  InstallLog log_{machine_};
};

TEST_F(PostCopyTest, RegistryThenGroupsWithTheirLogEntries) {
  ASSERT_EQ(plan_->registry_blocks.size(), 2u);
  ASSERT_EQ(plan_->program_items.size(), 2u);
  EXPECT_EQ(ApplyRegistryBlocks(*plan_, registry_, log_), 2);
  EXPECT_TRUE(plan_->registry_blocks.empty());
  EXPECT_EQ(CreateProgramGroups(*plan_, progman_, log_), 3);

  EXPECT_EQ(registry_.SaveRegedit4(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Existing]\r\n"
            "@=\"moved\"\r\n"
            "\"Count\"=dword:00000005\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmarsh\\Demo]\r\n"
            "@=\"Quillmarsh Demo\"\r\n"
            "\"Big\"=hex(5):00,00,01,02\r\n"
            "\"Flags\"=hex:01,ff\r\n"
            "\"Help\"=hex(2):25,57,49,4e,44,49,52,25,5c,43,3a,5c,41,50,50,2e,48,4c,50,00\r\n"
            "\"List\"=hex(7):6f,6e,65,00,00\r\n"
            "\"Path\"=\"C:\\\\APP\"\r\n"
            "\"Runs\"=dword:00000010\r\n\r\n");

  EXPECT_EQ(progman_.Commands(),
            "[CreateGroup(Quillmarsh Demo)]\n"
            "[AddItem(C:\\APP\\DEMO.EXE, Demo, , , -1, -1,C:\\APP\\)]\n"
            "[AddItem(C:\\APP\\README.TXT, Read Me)]\n");
  EXPECT_EQ(progman_.Describe(),
            "[Quillmarsh Demo]\n"
            "Demo=C:\\APP\\DEMO.EXE\n"
            "  directory=C:\\APP\\\n"
            "Read Me=C:\\APP\\README.TXT\n");

  EXPECT_EQ(Log(),
            "REGKEY: \"HKEY_LOCAL_MACHINE\", \"SOFTWARE\\Quillmarsh\\Demo\"\r\n"
            "REGKEY: \"HKEY_LOCAL_MACHINE\", \"SOFTWARE\\Quillmarsh\"\r\n"
            "WINITEM: \"Quillmarsh Demo\", \"Demo\"\r\n"
            "WINITEM: \"Quillmarsh Demo\", \"Read Me\"\r\n");
}

TEST_F(PostCopyTest, ASecondRunChangesOnlyWhatItAdjusts) {
  ApplyRegistryBlocks(*plan_, registry_, log_);
  CreateProgramGroups(*plan_, progman_, log_);
  const std::string first = registry_.SaveRegedit4();

  ResetPlan();
  ASSERT_EQ(Parse(kScript), 0) << SyntaxError();
  plan_->macros.default_dir = "D:\\ELSEWHERE";
  EXPECT_EQ(ApplyRegistryBlocks(*plan_, registry_, log_), 0);  // every key exists
  CreateProgramGroups(*plan_, progman_, log_);

  // NEW values stay as the first run wrote them; INCREMENT counts on; the
  // second RENAME finds no "Old" and leaves the default value alone.
  std::string expected = first;
  std::size_t count = expected.find("\"Count\"=dword:00000005");
  ASSERT_NE(count, std::string::npos);
  expected.replace(count, 22, "\"Count\"=dword:00000006");
  EXPECT_EQ(registry_.SaveRegedit4(), expected);
  // The group exists once, its items replaced by the second run's.
  ASSERT_EQ(progman_.Groups().size(), 1u);
  ASSERT_EQ(progman_.Groups()[0].items.size(), 2u);
  EXPECT_EQ(progman_.Groups()[0].items[0].command, "D:\\ELSEWHERE\\DEMO.EXE");
}

}  // namespace
}  // namespace install::sysedit
