#include "tamblor/lang/language_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tamblor/lang/string_ids.h"
#include "tamblor/os/host/host_machine.h"
#include "tamblor/os/host/host_resources.h"
#include "tamblor/text/dir_scanner.h"

namespace tamblor::lang {
namespace {

using os::host::HostMenuItem;
using os::host::HostModule;

// A language as its resources describe it: strings 1, 2 and 5, the four menus
// (File, Language with "&English", Help) and all ten bitmaps.
HostModule Language(const std::string& label, const std::string& name, const std::string& index_name) {
  HostModule module;
  module.strings = {{1, label}, {2, name}, {5, index_name}, {27, name + " search"}};
  for (const char* menu : kMenuNames) {
    HostMenuItem file{"&File", 0, false, {{"E&xit", 1, false, {}, false}}, true};
    HostMenuItem language{"&Language", 0, false, {{"&English", 50, false, {}, false}}, true};
    HostMenuItem help{"&Help", 0, false, {{"&About...", 40, false, {}, false}}, true};
    module.menus[menu] = {file, language, help};
  }
  for (const char* bitmap : kBitmapNames) module.bitmaps.insert(bitmap);
  return module;
}

class LanguageSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("tamblor_lang_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "LANG");
    machine_.MapDrive('E', root_.string(), os::DriveType::CdRom);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // A library file on the disc and the module it holds.
  void AddLibrary(const std::string& name, HostModule module) {
    std::ofstream(root_ / "LANG" / name) << "MZ";
    resources_.AddLibrary("E:\\lang\\" + name, std::move(module));
  }

  // Lists files the way the program does: the system's search, then the
  // browser's own wildcard test.
  LanguageSet::FileLister Lister() {
    return [this](const std::string& pattern) {
      std::vector<std::string> names;
      text::DirScanner scanner(*directories_);
      if (scanner.Open(machine_.ToHostPath(pattern), text::ScanMode::Files)) {
        while (scanner.Next()) names.push_back(scanner.Name());
      }
      return names;
    };
  }

  std::vector<std::string> LanguagePopup(os::MenuHandle menu) {
    std::vector<std::string> labels;
    const std::vector<HostMenuItem>* bar = resources_.MenuItems(menu);
    if (!bar) return labels;
    for (const HostMenuItem& item : (*bar)[bar->size() - 2].popup) {
      labels.push_back(item.text + "=" + std::to_string(item.command) + (item.checked ? "*" : ""));
    }
    return labels;
  }

  std::filesystem::path root_;
  os::host::HostMachine machine_;
  std::unique_ptr<os::DirectoryService> directories_ = os::MakeDirectoryService();
  os::host::HostResources resources_{Language("&English", "English", "00_index.txt")};
};

TEST_F(LanguageSetTest, OnlyTheBuiltInLanguageWithoutLibraries) {
  LanguageSet set(resources_, Lister());
  set.Create('E', "\\nowhere", "German");
  ASSERT_EQ(set.entries().size(), 1u);
  EXPECT_EQ(set.current_id(), 0);
  EXPECT_EQ(set.entries()[0].menu_label, "&English");
  EXPECT_STREQ(set.String(kStrIndexFileName), "00_index.txt");
  EXPECT_EQ(LanguagePopup(set.Menu("VIEWFILEMENU")), (std::vector<std::string>{"&English=50"}));
}

TEST_F(LanguageSetTest, LibrariesGetIdsInDirectoryOrderAndJoinEveryMenu) {
  AddLibrary("GER32.DLL", Language("&Deutsch", "German", "00_index.ger"));
  AddLibrary("FRA32.DLL", Language("&Francais", "French", "00_index.fra"));
  std::ofstream(root_ / "LANG" / "NOTES.DLL") << "x";  // not "*32.dll"
  std::filesystem::create_directories(root_ / "LANG" / "OLD32.DLL");  // a directory, not a file
  LanguageSet set(resources_, Lister());
  set.Create('E', "\\lang", "");
  ASSERT_EQ(set.entries().size(), 3u);
  EXPECT_EQ(set.entries()[1].file, "E:\\lang\\FRA32.DLL");
  EXPECT_EQ(set.entries()[1].id, 1);
  EXPECT_EQ(set.entries()[2].language_name, "German");
  EXPECT_EQ(resources_.loaded_libraries(), 0);  // labels read, libraries freed again
  for (const char* menu : kMenuNames) {
    EXPECT_EQ(LanguagePopup(set.Menu(menu)),
              (std::vector<std::string>{"&English=50", "&Francais=51", "&Deutsch=52"}))
        << menu;
  }
}

TEST_F(LanguageSetTest, StartLanguageMatchesTheNameIgnoringCase) {
  AddLibrary("GER32.DLL", Language("&Deutsch", "German", "00_index.ger"));
  LanguageSet set(resources_, Lister());
  set.Create('E', "\\lang", "gERMAN");
  EXPECT_EQ(set.current_id(), 1);
  EXPECT_STREQ(set.String(kStrIndexFileName), "00_index.ger");
  EXPECT_EQ(resources_.loaded_libraries(), 1);
  EXPECT_EQ(resources_.BitmapName(set.Bitmap("IDB_COPY_DOWN")), "IDB_COPY_DOWN");
  EXPECT_EQ(set.Bitmap("IDB_NOTHING"), 0u);

  LanguageSet unknown(resources_, Lister());
  unknown.Create('E', "\\lang", "German ");  // trailing blank: no match
  EXPECT_EQ(unknown.current_id(), 0);
}

TEST_F(LanguageSetTest, SwitchingReloadsResourcesAndChoosingTheCurrentOneDoesNothing) {
  AddLibrary("GER32.DLL", Language("&Deutsch", "German", "00_index.ger"));
  int switches = 0;
  {
    LanguageSet set(resources_, Lister());
    set.SetSwitchListener([&] { ++switches; });
    set.Create('E', "\\lang", "");
    EXPECT_EQ(switches, 0);
    int menus = resources_.live_menus();
    EXPECT_FALSE(set.OnLanguageCommand(50));  // already current
    EXPECT_FALSE(set.OnLanguageCommand(53));  // no such language
    EXPECT_FALSE(set.OnLanguageCommand(7));
    EXPECT_EQ(switches, 0);

    EXPECT_TRUE(set.OnLanguageCommand(51));
    EXPECT_EQ(switches, 1);
    EXPECT_EQ(set.current_id(), 1);
    EXPECT_STREQ(set.String(kStrWordSearch), "German search");
    EXPECT_EQ(resources_.live_menus(), menus);  // the old menus were destroyed
    EXPECT_EQ(resources_.live_bitmaps(), kBitmapCount);
    EXPECT_EQ(resources_.loaded_libraries(), 1);

    EXPECT_TRUE(set.OnLanguageCommand(50));
    EXPECT_EQ(resources_.loaded_libraries(), 0);
    EXPECT_STREQ(set.String(kStrIndexFileName), "00_index.txt");
    EXPECT_TRUE(set.OnLanguageCommand(51));
  }
  // Destroying the set releases the current language.
  EXPECT_EQ(resources_.loaded_libraries(), 0);
  EXPECT_EQ(resources_.live_menus(), 0);
  EXPECT_EQ(resources_.live_bitmaps(), 0);
}

TEST_F(LanguageSetTest, CheckMarksFollowTheCurrentLanguageOnlyInTheLanguagePopup) {
  AddLibrary("GER32.DLL", Language("&Deutsch", "German", "00_index.ger"));
  LanguageSet set(resources_, Lister());
  set.Create('E', "\\lang", "German");
  os::MenuHandle menu = set.Menu("VIEWINDEXMENU");
  EXPECT_FALSE(set.OnLanguagePopup(menu, 0));  // the File popup
  EXPECT_EQ(LanguagePopup(menu), (std::vector<std::string>{"&English=50", "&Deutsch=51"}));
  EXPECT_TRUE(set.OnLanguagePopup(menu, 1));
  EXPECT_EQ(LanguagePopup(menu), (std::vector<std::string>{"&English=50", "&Deutsch=51*"}));
  set.OnLanguageCommand(50);
  menu = set.Menu("VIEWINDEXMENU");
  EXPECT_TRUE(set.OnLanguagePopup(menu, 1));
  EXPECT_EQ(LanguagePopup(menu), (std::vector<std::string>{"&English=50*", "&Deutsch=51"}));
}

TEST_F(LanguageSetTest, StringsAreCutToTheSharedBuffer) {
  HostModule program = Language("&English", "English", std::string(600, 'n'));
  program.strings[1] = std::string(40, 'L');
  os::host::HostResources resources(program);
  LanguageSet set(resources, Lister());
  set.Create('E', "\\lang", "");
  EXPECT_EQ(set.entries()[0].menu_label.size(), 31u);
  EXPECT_EQ(std::string(set.String(kStrIndexFileName)).size(), 511u);
  EXPECT_STREQ(set.String(99), "");
}

using LanguageSetDeathTest = LanguageSetTest;

TEST_F(LanguageSetDeathTest, ABrokenLibraryOrAnUnknownMenuEndsTheProcess) {
  std::ofstream(root_ / "LANG" / "BAD32.DLL") << "not a library";
  LanguageSet set(resources_, Lister());
  EXPECT_EXIT(set.Create('E', "\\lang", ""), ::testing::ExitedWithCode(255), "");

  LanguageSet good(resources_, [](const std::string&) { return std::vector<std::string>{}; });
  good.Create('E', "\\lang", "");
  EXPECT_EXIT(good.Menu("VIEWSOMETHINGMENU"), ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace tamblor::lang
