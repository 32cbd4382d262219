// The main window in this process, on a disc made in the root of drive C:
// of the test prefix: title, children and their layout, the root index,
// menus with the check mark of the current language, switching, and Exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tamblor/config/disc_config.h"
#include "tamblor/views/main_window_layout.h"
#include "tamblor/os/directory.h"
#include "tamblor/os/win32/win32_machine.h"
#include "tamblor/os/win32/win32_resources.h"
#include "tamblor/text/dir_scanner.h"
#include "tamblor/views/win32/child_windows.h"
#include "tamblor/win32/browser.h"
#include "tamblor/win32/main_window.h"
#include "tamblor/win32/window_classes.h"
#include "tests/tamblor/win32/build_paths.h"

namespace tamblor {
namespace {

constexpr char kDrive = 'C';

void WriteFile(const std::string& path, const std::string& content) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void PumpUntilIdle() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { app::RegisterWindowClasses(GetModuleHandleA(nullptr)); }

  void SetUp() override {
    // The disc is the root of drive C: of the test's own Wine prefix (a drive
    // letter cannot be added from inside the prefix).
    drive_ = std::string(1, kDrive) + ":";
    folder_ = drive_ + "\\";
    CreateDirectoryA((folder_ + "TAMBLOR_TEST_LANG").c_str(), nullptr);
    WriteFile(folder_ + "cdrom.cfg", "DISC_TITLE \"Window Test\"\r\nTRANS_DIR \"\\TAMBLOR_TEST_LANG\"\r\n");
    WriteFile(folder_ + "00_index.txt", "README.TXT  About\r\n");
    WriteFile(folder_ + "00_index.ger", "README.TXT  Ueber\r\n");
    ASSERT_TRUE(CopyFileA((testing::GermanLibraryDir() + "\\GERMAN32.DLL").c_str(),
                          (folder_ + "TAMBLOR_TEST_LANG\\GERMAN32.DLL").c_str(), FALSE));

    program_ = LoadLibraryExA(testing::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program_, nullptr);
    resources_ = std::make_unique<os::win32::Win32Resources>(reinterpret_cast<os::ModuleHandle>(program_));
    config_ = std::make_unique<config::DiscConfig>(machine_, kDrive);
    config_->Read(drive_ + "\\cdrom.cfg");
    browser_ = std::make_unique<app::Browser>(app::Browser{
        machine_, *resources_, *config_, GetModuleHandleA(nullptr), [this](const std::string& pattern) {
          std::vector<std::string> names;
          text::DirScanner scanner(*directories_);
          if (scanner.Open(pattern, text::ScanMode::Files)) {
            while (scanner.Next()) names.push_back(scanner.Name());
          }
          return names;
        }});
  }

  void TearDown() override {
    if (main_ && IsWindow(main_)) DestroyWindow(main_);
    PumpUntilIdle();
    browser_.reset();
    config_.reset();
    resources_.reset();
    if (program_) FreeLibrary(program_);
    for (const char* name : {"cdrom.cfg", "00_index.txt", "00_index.ger", "TAMBLOR_TEST_LANG\\GERMAN32.DLL"}) {
      DeleteFileA((folder_ + name).c_str());
    }
    RemoveDirectoryA((folder_ + "TAMBLOR_TEST_LANG").c_str());
  }

  std::vector<std::string> LanguagePopup() {
    HMENU bar = GetMenu(main_);
    int position = GetMenuItemCount(bar) - 2;
    HMENU popup = GetSubMenu(bar, position);
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(position, 0));
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      char text[64] = {};
      GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      bool checked = (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
      items.push_back(std::string(text) + (checked ? "*" : ""));
    }
    return items;
  }

  os::win32::Win32Machine machine_;
  std::unique_ptr<os::DirectoryService> directories_ = os::MakeDirectoryService();
  std::string folder_, drive_;
  HMODULE program_ = nullptr;
  std::unique_ptr<os::win32::Win32Resources> resources_;
  std::unique_ptr<config::DiscConfig> config_;
  std::unique_ptr<app::Browser> browser_;
  HWND main_ = nullptr;
};

TEST_F(MainWindowTest, ShowsTheRootIndexWithItsChildrenInPlace) {
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  EXPECT_EQ(WindowText(main_), "Tamblor");
  HWND toolbar = GetDlgItem(main_, views::kToolbarId);
  HWND panel = GetDlgItem(main_, views::kTitlePanelId);
  HWND pane = GetDlgItem(main_, views::kTextPaneId);
  ASSERT_TRUE(toolbar && panel && pane);
  EXPECT_EQ(WindowText(panel), "Window Test CDROM Root Directory");
  EXPECT_EQ(WindowText(pane), drive_ + "\\00_index.txt");

  // The first size: 82 characters and 22 lines of the pane's font.
  int char_width = 0, line_height = 0;
  views::TextPaneMetrics(pane, &char_width, &line_height);
  RECT frame;
  GetWindowRect(main_, &frame);
  EXPECT_EQ(frame.right - frame.left, 82 * char_width + 20);
  EXPECT_EQ(frame.bottom - frame.top, 50 + 22 * line_height + 100);

  // The children follow the client area.
  ShowWindow(main_, SW_SHOW);
  RECT client;
  GetClientRect(main_, &client);
  struct {
    HWND child;
    const views::PlacementRule& rule;
  } children[] = {{toolbar, views::kToolbarRule}, {panel, views::kTitlePanelRule}, {pane, views::kTextPaneRule}};
  for (const auto& c : children) {
    RECT r;
    GetWindowRect(c.child, &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    views::Placement expected = views::Place(c.rule, client.right, client.bottom);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(r.right - r.left, expected.width);
    EXPECT_EQ(r.bottom - r.top, expected.height);
  }
}

TEST_F(MainWindowTest, MenusGrayParentDirAndMarkTheCurrentLanguage) {
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  HMENU bar = GetMenu(main_);
  ASSERT_NE(bar, nullptr);
  HMENU go = GetSubMenu(bar, 1);
  SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(go), MAKELPARAM(1, 0));
  EXPECT_TRUE(GetMenuState(go, 6, MF_BYCOMMAND) & MF_GRAYED) << "the root has no parent directory";
  EXPECT_EQ(LanguagePopup(), (std::vector<std::string>{"&English*", "&Deutsch"}));

  SendMessageA(main_, WM_COMMAND, 51, 0);
  EXPECT_EQ(WindowText(GetDlgItem(main_, views::kTitlePanelId)), "Window Test CDROM Hauptverzeichnis");
  EXPECT_EQ(WindowText(GetDlgItem(main_, views::kTextPaneId)), drive_ + "\\00_index.ger");
  EXPECT_EQ(WindowText(GetDlgItem(GetDlgItem(main_, views::kToolbarId), views::kWordSearchBox)), "Wortsuche");
  char first[32] = {};
  GetMenuStringA(GetMenu(main_), 0, first, sizeof first, MF_BYPOSITION);
  EXPECT_STREQ(first, "&Datei");
  EXPECT_EQ(LanguagePopup(), (std::vector<std::string>{"&English", "&Deutsch*"}));

  SendMessageA(main_, WM_COMMAND, 51, 0);  // already current: nothing changes
  EXPECT_EQ(LanguagePopup(), (std::vector<std::string>{"&English", "&Deutsch*"}));
  SendMessageA(main_, WM_COMMAND, 50, 0);
  EXPECT_EQ(WindowText(GetDlgItem(main_, views::kTextPaneId)), drive_ + "\\00_index.txt");
}

TEST_F(MainWindowTest, ExitClosesTheWindowAndEndsTheLoop) {
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  SendMessageA(main_, WM_COMMAND, 1, 0);
  MSG message{};
  bool quit = false;
  for (int i = 0; i < 1000 && !quit; ++i) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        break;
      }
      DispatchMessageA(&message);
    }
  }
  EXPECT_TRUE(quit);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_FALSE(IsWindow(main_));
}

TEST_F(MainWindowTest, SelectOpensADirectoryAndAFileAndEscapeComesBack) {
  const std::string utils = folder_ + "TAMBLOR_TEST_UTILS";
  CreateDirectoryA(utils.c_str(), nullptr);
  const std::string index = "==== Window test ====\r\nREADME.TXT  About\r\n            more\r\nTAMBLOR_TEST_UTILS  Tools\r\n";
  WriteFile(utils + "\\00_index.txt", "TOOL.EXE  A tool\r\n");
  WriteFile(folder_ + "TAMBLOR_TEST_README.TXT", "x\r\n");
  WriteFile(folder_ + "00_index.txt", index + "TAMBLOR_TEST_README.TXT  text\r\n");
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  HWND pane = GetDlgItem(main_, views::kTextPaneId);
  HWND panel = GetDlgItem(main_, views::kTitlePanelId);
  EXPECT_EQ(views::PaneSelectionStart(pane), 0) << "the first entry is selected";

  SendMessageA(pane, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(views::PaneSelectionStart(pane), static_cast<int64_t>(index.find("README")));
  SendMessageA(pane, WM_KEYDOWN, VK_DOWN, 0);
  const int64_t utils_entry = static_cast<int64_t>(index.find("TAMBLOR_TEST_UTILS"));
  EXPECT_EQ(views::PaneSelectionStart(pane), utils_entry) << "the continuation line belongs to README";

  SendMessageA(pane, WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(WindowText(panel), "Directory: " + utils);
  EXPECT_EQ(WindowText(pane), utils + "\\00_index.txt");
  HMENU go = GetSubMenu(GetMenu(main_), 1);
  SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(go), MAKELPARAM(1, 0));
  EXPECT_FALSE(GetMenuState(go, 6, MF_BYCOMMAND) & MF_GRAYED) << "a subdirectory has a parent";

  SendMessageA(pane, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ(WindowText(panel), "Window Test CDROM Root Directory");
  EXPECT_EQ(WindowText(pane), folder_ + "00_index.txt");
  EXPECT_EQ(views::PaneSelectionStart(pane), utils_entry) << "back on the entry it left";

  SendMessageA(pane, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(main_, WM_COMMAND, 7, 0);
  EXPECT_EQ(WindowText(panel), "ViewFile: " + folder_ + "TAMBLOR_TEST_README.TXT");
  SendMessageA(main_, WM_COMMAND, 6, 0);
  EXPECT_EQ(WindowText(panel), "Window Test CDROM Root Directory");
  SendMessageA(main_, WM_COMMAND, 6, 0);  // the root stays
  EXPECT_EQ(WindowText(panel), "Window Test CDROM Root Directory");

  DestroyWindow(main_);
  main_ = nullptr;
  DeleteFileA((utils + "\\00_index.txt").c_str());
  RemoveDirectoryA(utils.c_str());
  DeleteFileA((folder_ + "TAMBLOR_TEST_README.TXT").c_str());
}

TEST_F(MainWindowTest, TheToolbarSearchesThePaneAndKeepsItsHistory) {
  const std::string index = "README.TXT  About this disc\r\nUTILS       Tools\r\nSETUP.EXE   setup tool\r\n";
  WriteFile(folder_ + "00_index.txt", index);
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  HWND toolbar = GetDlgItem(main_, views::kToolbarId);
  HWND pane = GetDlgItem(main_, views::kTextPaneId);
  HWND combo = GetDlgItem(toolbar, views::kSearchText);
  ASSERT_TRUE(toolbar && pane && combo);

  SetWindowTextA(combo, "tool");
  SendMessageA(GetDlgItem(toolbar, views::kFindNextButton), BM_CLICK, 0, 0);
  EXPECT_EQ(views::PaneSelectionStart(pane), static_cast<int64_t>(index.find("Tools"))) << "found without regard to case";
  EXPECT_EQ(SendMessageA(pane, views::kPaneQuerySelectionEnd, 0, 0), static_cast<LRESULT>(index.find("Tools") + 3));
  SendMessageA(GetDlgItem(toolbar, views::kFindNextButton), BM_CLICK, 0, 0);
  EXPECT_EQ(views::PaneSelectionStart(pane), static_cast<int64_t>(index.find("tool\r")));
  SendMessageA(GetDlgItem(toolbar, views::kFindPrevButton), BM_CLICK, 0, 0);
  EXPECT_EQ(views::PaneSelectionStart(pane), static_cast<int64_t>(index.find("Tools")));
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1) << "one text, searched three times";

  SetWindowTextA(combo, "SETUP");
  HWND field = GetWindow(combo, GW_CHILD);
  ASSERT_NE(field, nullptr);
  SendMessageA(field, WM_KEYDOWN, VK_RETURN, 0);  // Enter in the field searches forwards
  const int64_t setup = static_cast<int64_t>(index.find("SETUP"));
  EXPECT_EQ(views::PaneSelectionStart(pane), setup);
  EXPECT_EQ(SendMessageA(pane, views::kPaneQuerySelectionEnd, 0, 0), static_cast<LRESULT>(setup + 4));
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
  char newest[32] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(newest));
  EXPECT_STREQ(newest, "SETUP");
  SendMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);  // Escape turns the found text into its entry
  EXPECT_EQ(views::PaneSelectionStart(pane), setup);
  EXPECT_EQ(SendMessageA(pane, views::kPaneQuerySelectionEnd, 0, 0), static_cast<LRESULT>(index.size() - 1));
}

TEST_F(MainWindowTest, ThePaneScrollsSidewaysAndTheWrapMarkSurvivesALanguageSwitch) {
  WriteFile(folder_ + "00_index.txt", "TAMBLOR_TEST_WIDE.TXT  " + std::string(150, 'w') + "\r\n");
  WriteFile(folder_ + "TAMBLOR_TEST_WIDE.TXT", std::string(300, 'x') + "\r\n");
  main_ = app::CreateMainWindow(*browser_);
  ASSERT_NE(main_, nullptr);
  ShowWindow(main_, SW_SHOW);
  HWND pane = GetDlgItem(main_, views::kTextPaneId);
  EXPECT_EQ(GetScrollPos(pane, SB_HORZ), 0);
  SendMessageA(pane, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(pane, WM_CHAR, 6, 0);  // Ctrl+F
  EXPECT_EQ(GetScrollPos(pane, SB_HORZ), 2);
  SendMessageA(pane, WM_CHAR, 2, 0);  // Ctrl+B
  EXPECT_EQ(GetScrollPos(pane, SB_HORZ), 1);

  SendMessageA(main_, WM_COMMAND, 7, 0);  // open the file
  ASSERT_EQ(WindowText(GetDlgItem(main_, views::kTitlePanelId)), "ViewFile: " + folder_ + "TAMBLOR_TEST_WIDE.TXT");
  SendMessageA(main_, WM_COMMAND, 20, 0);  // LineWrap on
  EXPECT_TRUE(GetMenuState(GetMenu(main_), 20, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(GetScrollPos(pane, SB_HORZ), 0) << "wrapped lines need no sideways scrolling";
  SendMessageA(main_, WM_COMMAND, 51, 0);  // German
  EXPECT_TRUE(GetMenuState(GetMenu(main_), 20, MF_BYCOMMAND) & MF_CHECKED) << "the new menu carries the mark";
  SendMessageA(main_, WM_COMMAND, 20, 0);
  EXPECT_FALSE(GetMenuState(GetMenu(main_), 20, MF_BYCOMMAND) & MF_CHECKED);
  SendMessageA(main_, WM_COMMAND, 50, 0);

  DestroyWindow(main_);
  main_ = nullptr;
  DeleteFileA((folder_ + "TAMBLOR_TEST_WIDE.TXT").c_str());
}

}  // namespace
}  // namespace tamblor
