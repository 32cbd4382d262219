// The IF conditions on the real system under Wine: the memory and display
// facts, the registry read for a component's version, files, searches and
// the drive search with its please-wait box on the main window.
#include "install/script/conditions.h"

#include "install/os/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "install/app/plan_defaults.h"
#include "install/archive/source_stream.h"
#include "install/os/win32/win32_machine.h"
#include "install/os/win32/win32_registry.h"
#include "install/os/win32/win32_system_info.h"
#include "install/ui/host/host_desktop.h"
#include "install/ui/text_measure.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/win32_desktop.h"
#include "tests/support/fixture_builder.h"
#include "tests/support/pe_builder.h"

namespace install::script {
namespace {

constexpr char kClsid[] = "{51A7E1C0-0D0D-11D0-9B7A-00A0C9112F10}";
constexpr char kClsidKey[] = "CLSID\\{51A7E1C0-0D0D-11D0-9B7A-00A0C9112F10}";

TEST(Win32SystemInfoTest, MemoryAndDisplayAreTheSystemsOwn) {
  std::unique_ptr<os::SystemInfo> system = os::CreateWin32SystemInfo();
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  EXPECT_GT(system->TotalPhysicalMemory(), 1024u * 1024u);
  EXPECT_EQ(system->TotalPhysicalMemory(),
            status.dwTotalPhys > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(status.dwTotalPhys));
  const os::DisplayMode display = system->GetDisplayMode();
  EXPECT_EQ(display.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(display.height, GetSystemMetrics(SM_CYSCREEN));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(display.color_bits, GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  EXPECT_GE(display.color_bits, 1);
}

TEST(Win32RegistryReadTest, KeysOpenForReadingOnly) {
  os::Win32Registry registry;
  {
    std::unique_ptr<os::RegistryKey> key =
        registry.CreateKey(os::kHkeyCurrentUser, "Software\\QuillmarshTest\\Read", nullptr);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetValue("", os::kRegTypeSz, {'x', 0}));
  }
  std::unique_ptr<os::RegistryKey> read =
      registry.OpenKeyForReading(os::kHkeyCurrentUser, "Software\\QuillmarshTest\\Read");
  ASSERT_TRUE(read);
  os::RegistryData data;
  ASSERT_TRUE(read->QueryValue("", &data));
  EXPECT_EQ(data.bytes, (std::vector<uint8_t>{'x', 0}));
  EXPECT_FALSE(registry.OpenKeyForReading(os::kHkeyCurrentUser, "Software\\QuillmarshTest\\None"));
  EXPECT_TRUE(registry.DeleteKey(os::kHkeyCurrentUser, "Software\\QuillmarshTest\\Read"));
  registry.DeleteKey(os::kHkeyCurrentUser, "Software\\QuillmarshTest");
}

// Scripts parsed with the machine's conditions over the real system; the
// files live in a directory of the temporary path.
class Win32ConditionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(machine_.GetTempPath(&temp_));
    dir_ = temp_ + "qm-conditions-" + std::to_string(GetCurrentProcessId());
    local_ = std::filesystem::path(dir_);
    std::filesystem::create_directories(local_ / "SETUP");
    plan_ = app::CreateInstallPlan(app::MachineFacts{});
    plan_->macros.source_dir = dir_ + "\\SETUP";
    plan_->macros.source_drive = "Q";  // no drive of the system: every drive may be searched
    plan_->macros.windows_dir = machine_.GetWindowsDirectory();
  }
  void TearDown() override {
    registry_.DeleteKey(os::kHkeyClassesRoot, std::string(kClsidKey) + "\\InprocServer32");
    registry_.DeleteKey(os::kHkeyClassesRoot, kClsidKey);
    std::error_code ignored;
    std::filesystem::remove_all(local_, ignored);
  }
  // The title the script chose, or "error".
  std::string Decide(const std::string& condition) {
    plan_->title.clear();
    test_support::WriteLocalFile(local_ / "SETUP" / "SETUP.CFG",
                                 test_support::BytesOf("IF " + condition + "\r\nTITLE yes\r\nELSE\r\nTITLE no\r\nENDIF\r\n"));
    ParserServices services{desktop_, machine_, measure_, &sources_, &conditions_, nullptr};
    ScriptParser parser(*plan_, services);
    if (parser.Parse(dir_ + "\\SETUP\\SETUP.CFG") != 0) return "error";
    return plan_->title;
  }

  os::Win32Machine machine_;
  std::unique_ptr<os::SystemInfo> system_ = os::CreateWin32SystemInfo();
  os::Win32Registry registry_;
  ui::HostDesktop desktop_;
  ui::HostTextMeasure measure_;
  archive::SourceReader sources_{machine_};
  MachineConditions conditions_{ConditionServices{machine_, *system_, desktop_, &registry_}};
  std::unique_ptr<InstallPlan> plan_;
  std::string temp_, dir_;
  std::filesystem::path local_;
};

TEST_F(Win32ConditionsTest, MachineFactsDecideTheBranches) {
  const std::string width = std::to_string(GetSystemMetrics(SM_CXSCREEN));
  const std::string height = std::to_string(GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(Decide("videoresolution > " + width + " " + height), "yes");
  EXPECT_EQ(Decide("video < " + width + " " + height), "no");
  EXPECT_EQ(Decide("memory >= 1024"), "yes");
  EXPECT_EQ(Decide("memory < 1024"), "no");
  EXPECT_EQ(Decide("video = 640 480"), "error");
}

TEST_F(Win32ConditionsTest, FilesAndTheirLines) {
  test_support::WriteLocalFile(local_ / "APP" / "MARSH.INI",
                               test_support::BytesOf("[Marsh]\r\n;Edition=Old\r\nEdition=Pro\r\n"));
  EXPECT_EQ(Decide("isfile \"" + dir_ + "\\APP\\MARSH.INI\""), "yes");
  EXPECT_EQ(Decide("isfile \"" + dir_ + "\\APP\\*.INI\""), "yes");
  EXPECT_EQ(Decide("isfile \"" + dir_ + "\\APP\\\""), "yes");
  EXPECT_EQ(Decide("isfile \"" + dir_ + "\\APP\""), "no");
  EXPECT_EQ(Decide("search \"edition=\" \"" + dir_ + "\\APP\\MARSH.INI\" \";\""), "yes");
  EXPECT_EQ(plan_->macros.search.line_number, "3");
  EXPECT_EQ(plan_->macros.search.right, "Pro");
  EXPECT_EQ(Decide("search \"Old\" \"" + dir_ + "\\APP\\MARSH.INI\" \";\""), "no");
}

TEST_F(Win32ConditionsTest, ComponentVersionFromTheClassesRoot) {
  const std::string server = dir_ + "\\MARSH.OCX";
  test_support::WriteLocalFile(local_ / "MARSH.OCX", test_support::PeWithVersion("3.1.0.7"));
  EXPECT_EQ(Decide(std::string("ocxfilever \"") + kClsid + "\" 32 = \"0.0.0.0\""), "yes");
  {
    std::unique_ptr<os::RegistryKey> key =
        registry_.CreateKey(os::kHkeyClassesRoot, std::string(kClsidKey) + "\\InprocServer32", nullptr);
    ASSERT_TRUE(key);
    std::vector<uint8_t> bytes(server.begin(), server.end());
    bytes.push_back(0);
    ASSERT_TRUE(key->SetValue("", os::kRegTypeSz, bytes));
  }
  EXPECT_EQ(Decide(std::string("ocxfilever \"") + kClsid + "\" 32 = \"3.1.0.7\""), "yes");
  EXPECT_EQ(Decide(std::string("ocxfilever \"") + kClsid + "\" 32 >= \"3.2\""), "no");
  EXPECT_EQ(Decide(std::string("ocxfilever \"") + kClsid + "\" 16 = \"0.0.0.0\""), "yes");
}

// The drive search itself is in tests/e2e/install_conditions.sh, on a drive
// of its own: under Wine, C: leads into the host's home directory and Z: is
// its root.
TEST_F(Win32ConditionsTest, LocateRefusesABadDriveSpecBeforeSearching) {
  EXPECT_EQ(Decide("locate X.EXE C:"), "error");
  EXPECT_TRUE(desktop_.Shown().empty());
}

TEST(Win32PleaseWaitTest, TheMainWindowDrawsTheBox) {
  ui::MainWindow window;
  ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr)));
  ui::Win32Desktop desktop;
  desktop.ShowPleaseWait("nothing happens without a main window");
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  desktop.SetMainWindow(&window);
  desktop.ShowPleaseWait("Looking for the old version...");
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(window.style().locate_text, "Looking for the old version...");
  RECT client;
  GetClientRect(window.hwnd(), &client);
  const int w = client.right, h = client.bottom;
  HDC dc = GetDC(window.hwnd());
  const int margin = 8;
  // Inside the white panel, left of the centred text, and on its grey frame.
  EXPECT_EQ(GetPixel(dc, w / 4 - margin + 2, 2 * h / 5 + 2), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, w / 4 - 6 - margin + 2, 2 * h / 5 - 2), RGB(63, 63, 63));
  ReleaseDC(window.hwnd(), dc);
  desktop.SetMainWindow(nullptr);
}

}  // namespace
}  // namespace install::script
