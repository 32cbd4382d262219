// The resources of tamblor.exe itself: the built-in language's strings, its
// four menus, the toolbar bitmaps, the dialogs and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tamblor/lang/resource_names.h"
#include "tamblor/lang/string_ids.h"
#include "tamblor/os/win32/win32_resources.h"
#include "tests/tamblor/win32/build_paths.h"

namespace tamblor {
namespace {

class ProgramResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = LoadLibraryExA(testing::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program_, nullptr) << "cannot load " << testing::ProgramPath();
  }
  void TearDown() override {
    if (program_) FreeLibrary(program_);
  }

  // "text=id" per item of a popup.
  static std::vector<std::string> Items(HMENU popup) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      char text[64] = {};
      GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      items.push_back(std::string(text) + "=" + std::to_string(GetMenuItemID(popup, i)));
    }
    return items;
  }
  static std::string PopupText(HMENU bar, int position) {
    char text[64] = {};
    GetMenuStringA(bar, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
  }

  HMODULE program_ = nullptr;
};

TEST_F(ProgramResourcesTest, StringTableHoldsTheBuiltInTextsExactly) {
  os::win32::Win32Resources resources(reinterpret_cast<os::ModuleHandle>(program_));
  for (const lang::BuiltInString& s : lang::kBuiltInStrings) {
    EXPECT_EQ(resources.LoadText(resources.ProgramModule(), s.id, lang::kStringCapacity), s.text) << "string " << s.id;
  }
  for (int missing : {21, 22, 23, 33}) {
    EXPECT_EQ(resources.LoadText(resources.ProgramModule(), missing, lang::kStringCapacity), "") << missing;
  }
  // The column header: bars in columns 1 and 79, words from columns 3, 27, 39 and 51.
  std::string header = lang::BuiltInText(lang::kStrColumnHeader);
  EXPECT_EQ(header.find('|'), 0u);
  EXPECT_EQ(header.rfind('|'), 78u);
  EXPECT_EQ(header.find("FileName"), 2u);
  EXPECT_EQ(header.find("FileSize"), 26u);
  EXPECT_EQ(header.find("Date"), 38u);
  EXPECT_EQ(header.find("Description"), 50u);
}

TEST_F(ProgramResourcesTest, FourMenusWithTheirCommands) {
  struct Expected {
    const char* name;
    std::vector<std::string> go;
    std::string third;
    std::vector<std::string> third_items;
  } menus[] = {
      {"VIEWINDEXMENU", {"Parent Dir\tESC=6", "Selct. Dir/File\tEnter=7"}, "&Misc.",
       {"&Copy File...=10", "&Global Index=11"}},
      {"VIEWAUTOGENINDEXMENU", {"Prev. Index\tESC=6", "Selct. Dir/File\tEnter=7"}, "&Misc.", {"&Copy File...=10"}},
      {"VIEWGLOBALINDEXMENU", {"Selct. File\tEnter=7"}, "&Misc.", {"&Copy File...=10", "&Hierarchical Index=12"}},
      {"VIEWFILEMENU", {"Prev. Index\tESC=6"}, "&Display", {"LineWrap=20"}},
  };
  for (const Expected& e : menus) {
    HMENU bar = LoadMenuA(program_, e.name);
    ASSERT_NE(bar, nullptr) << e.name;
    ASSERT_EQ(GetMenuItemCount(bar), 5) << e.name;
    EXPECT_EQ(PopupText(bar, 0), "&File");
    EXPECT_EQ(Items(GetSubMenu(bar, 0)), std::vector<std::string>{"E&xit=1"});
    EXPECT_EQ(PopupText(bar, 1), "&Go");
    EXPECT_EQ(Items(GetSubMenu(bar, 1)), e.go) << e.name;
    EXPECT_EQ(PopupText(bar, 2), e.third);
    EXPECT_EQ(Items(GetSubMenu(bar, 2)), e.third_items) << e.name;
    EXPECT_EQ(PopupText(bar, 3), "&Language");
    EXPECT_EQ(Items(GetSubMenu(bar, 3)), std::vector<std::string>{"&English=50"});
    EXPECT_EQ(PopupText(bar, 4), "&Help");
    EXPECT_EQ(Items(GetSubMenu(bar, 4)), std::vector<std::string>{"&About...=40"});
    MENUITEMINFOA help{};
    help.cbSize = sizeof help;
    help.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(bar, 4, TRUE, &help);
    EXPECT_TRUE(help.fType & MFT_RIGHTJUSTIFY) << e.name << ": Help is right-aligned";
    DestroyMenu(bar);
  }
}

TEST_F(ProgramResourcesTest, TenBitmapsOf40By40AndTheDialogs) {
  for (const char* name : lang::kBitmapNames) {
    HBITMAP bitmap = LoadBitmapA(program_, name);
    ASSERT_NE(bitmap, nullptr) << name;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40) << name;
    EXPECT_EQ(info.bmHeight, 40) << name;
    DeleteObject(bitmap);
  }
  EXPECT_NE(FindResourceA(program_, lang::kDestinationDialog, MAKEINTRESOURCEA(5)), nullptr);  // RT_DIALOG
  EXPECT_NE(FindResourceA(program_, lang::kAboutDialog, MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_NE(FindResourceA(program_, "TAMBLOR_ICO", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
}

// The bitmaps differ between up and down, and the down picture is the up
// picture's symbol moved, not a blank face.
TEST_F(ProgramResourcesTest, UpAndDownBitmapsDiffer) {
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < lang::kBitmapCount; i += 2) {
    HBITMAP up = LoadBitmapA(program_, lang::kBitmapNames[i]);
    HBITMAP down = LoadBitmapA(program_, lang::kBitmapNames[i + 1]);
    ASSERT_TRUE(up && down);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 40;
    format.bmiHeader.biHeight = 40;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> a(1600), b(1600);
    GetDIBits(screen, up, 0, 40, a.data(), &format, DIB_RGB_COLORS);
    GetDIBits(screen, down, 0, 40, b.data(), &format, DIB_RGB_COLORS);
    EXPECT_NE(a, b) << lang::kBitmapNames[i];
    int distinct_colours = 0;
    std::vector<DWORD> seen;
    for (DWORD pixel : a) {
      if (std::find(seen.begin(), seen.end(), pixel) == seen.end()) seen.push_back(pixel), ++distinct_colours;
    }
    EXPECT_GE(distinct_colours, 4) << lang::kBitmapNames[i] << " shows a picture";
    DeleteObject(up);
    DeleteObject(down);
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace tamblor
