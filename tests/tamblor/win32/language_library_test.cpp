// Languages with the real resource calls: the program's own resources as the
// built-in language and GERMAN32.DLL, a resource-only library, found by the
// browser's "*32.dll" test in a translation directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tamblor/lang/language_set.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/directory.h"
#include "tamblor/os/win32/win32_resources.h"
#include "tamblor/text/dir_scanner.h"
#include "tests/tamblor/win32/build_paths.h"

namespace tamblor {
namespace {

class LanguageLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = LoadLibraryExA(testing::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program_, nullptr);
    resources_ = std::make_unique<os::win32::Win32Resources>(reinterpret_cast<os::ModuleHandle>(program_));
    // The translation directory as the configuration gives it: a path on the drive.
    std::string dir = testing::GermanLibraryDir();
    drive_ = dir[0];
    translation_dir_ = dir.substr(2);
  }
  void TearDown() override {
    languages_.reset();
    resources_.reset();
    if (program_) FreeLibrary(program_);
  }

  void Create(const std::string& language) {
    languages_ = std::make_unique<lang::LanguageSet>(*resources_, [this](const std::string& pattern) {
      std::vector<std::string> names;
      text::DirScanner scanner(*directories_);
      if (scanner.Open(pattern, text::ScanMode::Files)) {
        while (scanner.Next()) names.push_back(scanner.Name());
      }
      return names;
    });
    languages_->SetSwitchListener([this] { ++switches_; });
    languages_->Create(drive_, translation_dir_, language);
  }

  static std::vector<std::string> LanguagePopup(os::MenuHandle menu_handle) {
    HMENU bar = reinterpret_cast<HMENU>(menu_handle);
    HMENU popup = GetSubMenu(bar, GetMenuItemCount(bar) - 2);
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      char text[64] = {};
      GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      bool checked = (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
      items.push_back(std::string(text) + "=" + std::to_string(GetMenuItemID(popup, i)) + (checked ? "*" : ""));
    }
    return items;
  }

  static bool GermanLibraryLoaded() { return GetModuleHandleA("GERMAN32.DLL") != nullptr; }

  HMODULE program_ = nullptr;
  std::unique_ptr<os::win32::Win32Resources> resources_;
  std::unique_ptr<os::DirectoryService> directories_ = os::MakeDirectoryService();
  std::unique_ptr<lang::LanguageSet> languages_;
  char drive_ = 'Z';
  std::string translation_dir_;
  int switches_ = 0;
};

TEST_F(LanguageLibraryTest, FindsTheLibraryAndStartsInTheConfiguredLanguage) {
  Create("GERMAN");
  ASSERT_EQ(languages_->entries().size(), 2u);
  EXPECT_EQ(languages_->entries()[0].menu_label, "&English");
  EXPECT_EQ(languages_->entries()[1].menu_label, "&Deutsch");
  EXPECT_EQ(languages_->entries()[1].file, testing::GermanLibraryDir() + "\\GERMAN32.DLL");
  EXPECT_EQ(languages_->current_id(), 1);
  EXPECT_TRUE(GermanLibraryLoaded());
  EXPECT_STREQ(languages_->String(lang::kStrIndexFileName), "00_index.ger");
  EXPECT_STREQ(languages_->String(lang::kStrWordSearch), "Wortsuche");
  for (const char* name : lang::kMenuNames) {
    EXPECT_EQ(LanguagePopup(languages_->Menu(name)), (std::vector<std::string>{"&English=50", "&Deutsch=51"})) << name;
  }
  for (const char* name : lang::kBitmapNames) EXPECT_NE(languages_->Bitmap(name), 0u) << name;
}

TEST_F(LanguageLibraryTest, SwitchingLoadsTheOtherLanguageAndFreesTheLibrary) {
  Create("");
  EXPECT_EQ(languages_->current_id(), 0);
  EXPECT_FALSE(GermanLibraryLoaded());  // loaded only to read its labels
  EXPECT_STREQ(languages_->String(lang::kStrIndexFileName), "00_index.txt");

  EXPECT_FALSE(languages_->OnLanguageCommand(50));
  EXPECT_EQ(switches_, 0);
  ASSERT_TRUE(languages_->OnLanguageCommand(51));
  EXPECT_EQ(switches_, 1);
  EXPECT_TRUE(GermanLibraryLoaded());
  EXPECT_STREQ(languages_->String(lang::kStrRootTitle), "%s CDROM Hauptverzeichnis");
  HMENU bar = reinterpret_cast<HMENU>(languages_->Menu("VIEWINDEXMENU"));
  char first[32] = {};
  GetMenuStringA(bar, 0, first, sizeof first, MF_BYPOSITION);
  EXPECT_STREQ(first, "&Datei");

  ASSERT_TRUE(languages_->OnLanguageCommand(50));
  EXPECT_FALSE(GermanLibraryLoaded());
  EXPECT_STREQ(languages_->String(lang::kStrIndexFileName), "00_index.txt");
}

TEST_F(LanguageLibraryTest, CheckMarksByPositionWhenTheLanguagePopupOpens) {
  Create("German");
  os::MenuHandle bar = languages_->Menu("VIEWFILEMENU");
  EXPECT_FALSE(languages_->OnLanguagePopup(bar, 1));
  EXPECT_EQ(LanguagePopup(bar), (std::vector<std::string>{"&English=50", "&Deutsch=51"}));
  EXPECT_TRUE(languages_->OnLanguagePopup(bar, 3));
  EXPECT_EQ(LanguagePopup(bar), (std::vector<std::string>{"&English=50", "&Deutsch=51*"}));
}

}  // namespace
}  // namespace tamblor
