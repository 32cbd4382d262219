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

  // Only the German library is on this disc; it is loaded when a library is.
  bool GermanLibraryLoaded() const { return resources_->open_libraries() > 0; }

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

// RUNS32.DLL carries a string table and an entry point that marks the process
// environment when it runs.
class CodeLibraryTest : public ::testing::Test {
 protected:
  static constexpr const char* kMark = "TAMBLOR_LIBRARY_CODE_RAN";

  void SetUp() override {
    SetEnvironmentVariableA(kMark, nullptr);
    library_ = testing::CodeLibraryDir() + "\\RUNS32.DLL";
    ASSERT_NE(GetFileAttributesA(library_.c_str()), INVALID_FILE_ATTRIBUTES) << library_;
  }
  void TearDown() override { SetEnvironmentVariableA(kMark, nullptr); }

  static bool CodeRan() { return GetEnvironmentVariableA(kMark, nullptr, 0) != 0; }

  std::string library_;
  os::win32::Win32Resources resources_{reinterpret_cast<os::ModuleHandle>(GetModuleHandleA(nullptr))};
};

TEST_F(CodeLibraryTest, ALanguageLibraryIsReadAsDataAndItsCodeNeverRuns) {
  os::ModuleHandle module = resources_.LoadLanguageLibrary(library_);
  ASSERT_GE(module, 32u);
  EXPECT_EQ(resources_.open_libraries(), 1);
  EXPECT_EQ(resources_.LoadText(module, 1, 32), "&Codesprache");
  EXPECT_EQ(resources_.LoadText(module, 2, 32), "Code");
  EXPECT_FALSE(CodeRan());
  resources_.FreeLanguageLibrary(module);
  EXPECT_EQ(resources_.open_libraries(), 0);
  EXPECT_FALSE(CodeRan());

  // The same file loaded as a program library does run its entry point: the
  // mark is a real witness.
  HMODULE as_code = LoadLibraryA(library_.c_str());
  ASSERT_NE(as_code, nullptr);
  EXPECT_TRUE(CodeRan());
  FreeLibrary(as_code);
}

TEST_F(CodeLibraryTest, ListingAndSwitchingLanguagesRunsNoCode) {
  std::string dir = testing::CodeLibraryDir();
  std::unique_ptr<os::DirectoryService> directories = os::MakeDirectoryService();
  lang::LanguageSet languages(resources_, [&directories](const std::string& pattern) {
    std::vector<std::string> names;
    text::DirScanner scanner(*directories);
    if (scanner.Open(pattern, text::ScanMode::Files)) {
      while (scanner.Next()) names.push_back(scanner.Name());
    }
    return names;
  });
  languages.Create(dir[0], dir.substr(2), "code");  // chosen at start
  ASSERT_EQ(languages.entries().size(), 2u);
  EXPECT_EQ(languages.current_id(), 1);
  EXPECT_STREQ(languages.String(lang::kStrLanguageName), "Code");
  EXPECT_TRUE(languages.OnLanguageCommand(lang::kCmdFirstLanguage));
  EXPECT_TRUE(languages.OnLanguageCommand(lang::kCmdFirstLanguage + 1));
  EXPECT_FALSE(CodeRan());
}

}  // namespace
}  // namespace tamblor
