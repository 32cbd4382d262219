// The progress dialog and the pop-up message windows on real windows under
// Wine: placement, the refreshes and file names passed on by the main
// window, the bar's inverted label, and Cancel during copying.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "install/os/win32/windows_api.h"
#include "install/ui/win32/dialog_resources.h"
#include "install/ui/win32/gdi_handles.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/progress_window.h"
#include "install/ui/win32/win32_desktop.h"
#include "tests/install/win32/dialog_driver.h"
#include "tests/install/win32/screen_templates.h"
#include "tests/install/win32/window_shot.h"

namespace install::ui {
namespace {

using testing::DialogDriver;
using testing::FrameOf;
using testing::ItemTextOf;
using testing::MessageText;
using testing::OtherThan;
using testing::Press;
using testing::ScreenOptions;
using testing::ScreenTemplate;
using testing::StaticTexts;
using testing::TextOf;
using testing::CaptureWindow;
using testing::SaveShot;

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

std::vector<uint8_t> PopupTemplate(const std::vector<std::string>& lines) {
  return ScreenTemplate(lines, ScreenOptions{.kind = script::ScreenKind::Popup});
}

TEST(ProgressDialogTest, OpensCentredWithTheCancelPromptAndCountsSteps) {
  Win32Desktop desktop;
  PromptTexts texts;
  texts.cancel = "Stop";
  desktop.OpenProgress(4, texts);
  const HWND progress = desktop.progress_window();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(IsWindowVisible(progress));
  EXPECT_EQ(ItemTextOf(progress, IDCANCEL), "Stop");
  const RECT frame = FrameOf(progress);
  EXPECT_EQ(frame.left, (ScreenWidth() - (frame.right - frame.left)) / 2);
  EXPECT_EQ(frame.top, (ScreenHeight() - (frame.bottom - frame.top)) / 2);
  ASSERT_NE(desktop.progress_meter(), nullptr);
  EXPECT_EQ(desktop.progress_meter()->percent(), 0);

  desktop.UpdateProgress(true, 0, 0);
  EXPECT_EQ(desktop.progress_meter()->percent(), 25);
  desktop.UpdateProgress(false, 0, 0);
  desktop.UpdateProgress(false, 0, 0);
  EXPECT_EQ(desktop.progress_meter()->percent(), 43);  // 25 + 12 + 6
  desktop.UpdateProgress(false, 740, 2000);
  EXPECT_EQ(desktop.progress_meter()->percent(), 37);

  // Without a main window the file line goes to the dialog directly.
  desktop.ShowProgressFile("Copying:", "setup\\readme.txt");
  EXPECT_EQ(ItemTextOf(progress, IDC_PROGRESS_PROMPT), "Copying:");
  EXPECT_EQ(ItemTextOf(progress, IDC_PROGRESS_FILE), "SETUP\\README.TXT");

  desktop.CloseProgress();
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_EQ(desktop.progress_window(), nullptr);
  EXPECT_EQ(desktop.progress_meter(), nullptr);
  desktop.UpdateProgress(true, 0, 0);  // nothing to refresh: no effect
  desktop.ShowProgressFile("x", "y");
}

TEST(ProgressDialogTest, RefreshesAndFileNamesPassThroughTheMainWindow) {
  MainWindow main_window;
  ASSERT_TRUE(main_window.Create(GetModuleHandleA(nullptr)));
  Win32Desktop desktop;
  desktop.SetMainWindow(&main_window);
  EXPECT_EQ(desktop.owner(), main_window.hwnd());
  PromptTexts texts;
  desktop.OpenProgress(2, texts);
  const HWND progress = desktop.progress_window();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(GetWindow(progress, GW_OWNER), main_window.hwnd());

  // WM_USER to the main window refreshes the progress dialog.
  SendMessageA(main_window.hwnd(), kProgressRefreshMessage, 1, 0);
  EXPECT_EQ(desktop.progress_meter()->percent(), 50);
  desktop.UpdateProgress(true, 0, 0);
  EXPECT_EQ(desktop.progress_meter()->percent(), 100);

  // WM_USER+3: the prompt and the file name, ASCII letters upper-cased only.
  desktop.ShowProgressFile("Installing file:", "c:\\m\xe4rz\\a-b.txt");
  EXPECT_EQ(ItemTextOf(progress, IDC_PROGRESS_PROMPT), "Installing file:");
  EXPECT_EQ(ItemTextOf(progress, IDC_PROGRESS_FILE), "C:\\M\xe4RZ\\A-B.TXT");
  const char* other = "next.dll";
  SendMessageA(main_window.hwnd(), kShowCopyFileMessage, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_EQ(ItemTextOf(progress, IDC_PROGRESS_FILE), "NEXT.DLL");

  desktop.CloseProgress();
  // With the dialog gone the main window drops both messages.
  SendMessageA(main_window.hwnd(), kProgressRefreshMessage, 1, 0);
  SendMessageA(main_window.hwnd(), kShowCopyFileMessage, 0, reinterpret_cast<LPARAM>(other));
  desktop.SetMainWindow(nullptr);
}

TEST(ProgressDialogTest, CancelAsksToQuitAndYesEndsTheCopying) {
  Win32Desktop desktop;
  PromptTexts texts;
  texts.quit = "Stop copying?";
  desktop.OpenProgress(3, texts);
  const HWND progress = desktop.progress_window();
  ASSERT_NE(progress, nullptr);
  DialogDriver driver;
  driver
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "Stop copying?");
        EXPECT_EQ(TextOf(box), "");
        EXPECT_EQ(GetWindow(box, GW_OWNER), progress);
        Press(box, IDNO);
      }, OtherThan(progress))
      .Then([&](HWND box) {
        EXPECT_EQ(MessageText(box), "Stop copying?");
        Press(box, IDYES);
      }, OtherThan(progress));
  // The copy loop pumps messages: the click is handled there.
  Press(progress, IDCANCEL);
  EXPECT_FALSE(desktop.PumpMessages());
  EXPECT_TRUE(IsWindow(progress));
  // Escape reaches the modeless dialog through the pump too.
  PostMessageA(progress, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(desktop.PumpMessages());
  EXPECT_TRUE(desktop.cancel_requested());
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_EQ(desktop.progress_window(), nullptr);
  desktop.CloseProgress();  // the copy loop still closes it: nothing left to do
}

TEST(PopupWindowTest, PlacedAboveTheMiddleAndTheProgressDialogGoesBelow) {
  Win32Desktop desktop;
  PromptTexts texts;
  const std::vector<uint8_t> first = PopupTemplate({"Now copying the help files.", "Please wait."});
  desktop.ShowPopup(ScriptDialog{&first, {}});
  const HWND popup = desktop.popup_window();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(StaticTexts(popup), (std::vector<std::string>{"Now copying the help files.", "Please wait."}));
  EXPECT_EQ(GetDlgItem(popup, IDOK), nullptr);
  const RECT frame = FrameOf(popup);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  EXPECT_EQ(frame.left, (ScreenWidth() - width) / 2);
  EXPECT_EQ(frame.top, (ScreenHeight() - height - 244) / 2 + 60);
  EXPECT_TRUE(desktop.popup_trace().shown);
  EXPECT_EQ(desktop.popup_trace().top, frame.top);
  EXPECT_EQ(desktop.popup_trace().bottom, height);  // created at the top of the screen

  desktop.OpenProgress(1, texts);
  const RECT progress = FrameOf(desktop.progress_window());
  EXPECT_EQ(progress.top, frame.top + height + 24);
  EXPECT_EQ(progress.left, (ScreenWidth() - (progress.right - progress.left)) / 2);
  desktop.CloseProgress();

  // The next pop-up replaces the first; one without a template changes nothing.
  const std::vector<uint8_t> second = PopupTemplate({"Almost done."});
  desktop.ShowPopup(ScriptDialog{&second, {}});
  EXPECT_FALSE(IsWindow(popup));
  const HWND replacement = desktop.popup_window();
  ASSERT_NE(replacement, nullptr);
  EXPECT_EQ(StaticTexts(replacement), (std::vector<std::string>{"Almost done."}));
  desktop.ShowPopup(ScriptDialog{});
  EXPECT_EQ(desktop.popup_window(), replacement);
  desktop.ClosePopup();
  EXPECT_FALSE(IsWindow(replacement));
  EXPECT_EQ(desktop.popup_window(), nullptr);
}

TEST(ProgressDialogTest, TheDialogPaintsItsBarPartWay) {
  Win32Desktop desktop;
  PromptTexts texts;
  const std::vector<uint8_t> popup = PopupTemplate({"Copying the program files.", "This takes a minute."});
  desktop.ShowPopup(ScriptDialog{&popup, {}});
  desktop.OpenProgress(8, texts);
  const HWND progress = desktop.progress_window();
  ASSERT_NE(progress, nullptr);
  desktop.ShowProgressFile(texts.copy_file, "program\\setup.exe");
  desktop.PumpMessages();  // the first painting of the dialog and its controls
  desktop.UpdateProgress(false, 37000, 100000);
  ASSERT_EQ(desktop.progress_meter()->percent(), 37);

  const HWND frame = GetDlgItem(progress, IDC_PROGRESS_BAR);
  RECT bar{};
  GetClientRect(frame, &bar);
  MapWindowPoints(frame, progress, reinterpret_cast<POINT*>(&bar), 2);
  const int split = bar.left + 37 * (bar.right - bar.left) / 100;
  HDC dc = GetDC(progress);
  const int row = bar.top + 2;  // above the label, inside the frame line
  EXPECT_EQ(GetPixel(dc, bar.left + 2, row), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, split - 1, row), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, split, row), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, bar.right - 3, row), RGB(255, 255, 255));
  ReleaseDC(progress, dc);

  SaveShot(CaptureWindow(progress), "install-progress");
  SaveShot(CaptureWindow(desktop.popup_window()), "install-popup");
}

// A 32-bit top-down surface to paint the bar on.
class BarSurface {
 public:
  BarSurface(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~BarSurface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(COLORREF colour, int left, int right, int top, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) n += At(x, y) == colour;
    }
    return n;
  }

 private:
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// A font drawn without smoothing, so that every pixel is one of two colours.
FontObject CrispFont() {
  return FontObject(CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
}

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(ProgressBarPaintTest, ThirtySevenPercentFillsSeventyFourOfTwoHundredPixels) {
  BarSurface surface(220, 30);
  const RECT bar{10, 5, 210, 25};
  const FontObject font = CrispFont();
  PaintProgressBar(surface.dc(), bar, 37, font.get());
  // Columns 10..83 blue, 84..209 white, outside the bar untouched (black).
  EXPECT_EQ(surface.Count(kBlue, 10, 84, 5, 25), 74 * 20);
  EXPECT_EQ(surface.At(84, 6), kWhite);
  EXPECT_EQ(surface.At(209, 24), kWhite);
  EXPECT_EQ(surface.At(9, 10), RGB(0, 0, 0));
  EXPECT_EQ(surface.At(210, 10), RGB(0, 0, 0));
  // The label " 37%" sits in the white part, in blue.
  EXPECT_GT(surface.Count(kBlue, 84, 210, 5, 25), 10);
}

TEST(ProgressBarPaintTest, TheLabelIsInvertedWhereTheBarHasPassed) {
  BarSurface surface(200, 20);
  const RECT bar{0, 0, 200, 20};
  const FontObject font = CrispFont();
  PaintProgressBar(surface.dc(), bar, 50, font.get());
  // The label " 50%" straddles the split at x = 100: white strokes on the
  // blue side, blue strokes on the white side.
  const int white_on_blue = surface.Count(kWhite, 0, 100, 0, 20);
  const int blue_on_white = surface.Count(kBlue, 100, 200, 0, 20);
  EXPECT_GT(white_on_blue, 5);
  EXPECT_GT(blue_on_white, 5);
  EXPECT_EQ(surface.Count(kBlue, 0, 100, 0, 20) + white_on_blue, 100 * 20);
  EXPECT_EQ(surface.Count(kWhite, 100, 200, 0, 20) + blue_on_white, 100 * 20);

  PaintProgressBar(surface.dc(), bar, 100, font.get());
  EXPECT_EQ(surface.Count(kBlue, 0, 200, 0, 20) + surface.Count(kWhite, 0, 200, 0, 20), 200 * 20);
  EXPECT_GT(surface.Count(kWhite, 0, 200, 0, 20), 10);  // "100%" in white on full blue
  EXPECT_EQ(surface.At(199, 0), kBlue);
}

}  // namespace
}  // namespace install::ui
