// The installer's Win32 text measurement, system facts and desktop, for real under Wine.
#include <gtest/gtest.h>

#include "install/os/win32/win32_system_info.h"
#include "install/os/win32/windows_api.h"
#include "install/ui/win32/gdi_text_measure.h"
#include "install/ui/win32/win32_desktop.h"

namespace install::ui {
namespace {

TEST(GdiTextMeasureTest, WiderTextMeasuresWider) {
  GdiTextMeasure measure;
  ui::MeasureFont font{"MS Sans Serif", 10, 400, false, false};
  int narrow = measure.TextExtent("iiii", font);
  int wide = measure.TextExtent("WWWW", font);
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow);
  EXPECT_EQ(measure.TextExtent("", font), 0);
  ui::MeasureFont bigger = font;
  bigger.point_size = 20;
  EXPECT_GT(measure.TextExtent("WWWW", bigger), wide);
  // The base unit follows the font: a larger size has a wider average.
  EXPECT_GT(measure.DialogBaseWidth(font), 0);
  EXPECT_GT(measure.DialogBaseWidth(bigger), measure.DialogBaseWidth(font));
}

TEST(Win32SystemInfoTest, ReportsAWindowsVersion) {
  auto system = os::CreateWin32SystemInfo();
  uint32_t version = system->GetVersion();
  EXPECT_GE(version & 0xFF, 3u);  // major version in the low byte
}

TEST(Win32DesktopTest, PumpLeavesQuitForTheMainLoopAndReportsCancel) {
  Win32Desktop desktop;
  EXPECT_FALSE(desktop.PumpMessages());
  PostQuitMessage(3);
  EXPECT_FALSE(desktop.PumpMessages());
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
  desktop.RequestCancel();
  EXPECT_TRUE(desktop.PumpMessages());
}

}  // namespace
}  // namespace install::ui
