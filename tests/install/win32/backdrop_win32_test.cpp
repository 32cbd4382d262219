// The backdrop, the picture drawing and the intro screen on real GDI under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "install/os/win32/windows_api.h"
#include "install/ui/bmp_image.h"
#include "install/ui/win32/intro_screen_window.h"
#include "install/ui/win32/main_window.h"
#include "install/ui/win32/screen_picture.h"

namespace install::ui {
namespace {

// A 32-bit top-down surface to paint on, with its pixels readable.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                               nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    Fill(RGB(1, 2, 3));
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  void Fill(COLORREF colour) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) {
      bits_[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// An uncompressed bottom-up BMP file image of `width` x `height`, every pixel
// index `index` (or, for 24 bits, the colour `colour`); colour i of a table is
// (i, 255 - i, 7) and colour `index` is `colour`.
std::vector<uint8_t> MakeBmp(int width, int height, int bits, uint8_t index, COLORREF colour) {
  const int colours = bits <= 8 ? (1 << bits) : 0;
  const int stride = ((bits * width + 31) / 32) * 4;
  const int offset = 14 + 40 + colours * 4;
  std::vector<uint8_t> b(static_cast<size_t>(offset + stride * height), 0);
  auto put32 = [&](int at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, static_cast<uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bits);
  for (int i = 0; i < colours; ++i) {
    uint8_t* entry = &b[54 + 4 * i];
    entry[2] = static_cast<uint8_t>(i);
    entry[1] = static_cast<uint8_t>(255 - i);
    entry[0] = 7;
    if (i == index) {
      entry[2] = GetRValue(colour);
      entry[1] = GetGValue(colour);
      entry[0] = GetBValue(colour);
    }
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &b[offset + y * stride];
    for (int x = 0; x < width; ++x) {
      if (bits == 24) {
        row[3 * x] = GetBValue(colour);
        row[3 * x + 1] = GetGValue(colour);
        row[3 * x + 2] = GetRValue(colour);
      } else if (bits == 8) {
        row[x] = index;
      } else if (bits == 4) {
        row[x / 2] = static_cast<uint8_t>(index | (index << 4));
      }
    }
  }
  return b;
}

ScreenPicture Picture(const std::vector<uint8_t>& bytes, int placement) {
  BmpImage image;
  ReadBmp(bytes.data(), bytes.size(), &image);
  return ScreenPicture(std::move(image), placement);
}

TEST(BackdropPaintTest, GradientBandsAndFlatFill) {
  MainWindow window;
  BackdropStyle style;
  style.top_colour = Rgb{0, 0, 255};
  style.bottom_colour = Rgb{0, 0, 0};
  window.SetStyle(style);
  Surface surface(64, 80);
  window.PaintBackground(surface.dc(), 64, 80);
  // 10 bands; blue falls by 25 a band.
  EXPECT_EQ(surface.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(63, 7), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(10, 8), RGB(0, 0, 230));
  EXPECT_EQ(surface.At(10, 79), RGB(0, 0, 30));

  style.bottom_colour = style.top_colour = Rgb{10, 20, 30};
  window.SetStyle(style);
  window.PaintBackground(surface.dc(), 64, 80);
  EXPECT_EQ(surface.At(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(surface.At(63, 79), RGB(10, 20, 30));
}

TEST(BackdropPaintTest, PictureIsPlacedOverTheBackground) {
  MainWindow window;
  BackdropStyle style;
  style.top_colour = style.bottom_colour = Rgb{0, 0, 200};
  window.SetStyle(style);
  window.SetScreenGraphic(Picture(MakeBmp(16, 8, 24, 0, RGB(0, 200, 0)), kPlaceBottomRight));
  Surface surface(64, 40);
  window.PaintBackground(surface.dc(), 64, 40);
  // BOTTOMRIGHT: at (64 - 16 + 1, 40 - 8 + 1) = (49, 33).
  EXPECT_EQ(surface.At(49, 33), RGB(0, 200, 0));
  EXPECT_EQ(surface.At(63, 39), RGB(0, 200, 0));
  EXPECT_EQ(surface.At(48, 33), RGB(0, 0, 200));
  EXPECT_EQ(surface.At(49, 32), RGB(0, 0, 200));
}

TEST(BackdropPaintTest, ManyColoursUseAPaletteAndSixteenDoNot) {
  Surface surface(32, 32);
  ScreenPicture rich = Picture(MakeBmp(32, 32, 8, 200, RGB(250, 128, 10)), kPlaceTopLeft);
  ASSERT_TRUE(rich.has_bitmap());
  rich.Draw(surface.dc(), 32, 32);
  EXPECT_TRUE(rich.has_palette());
  EXPECT_EQ(surface.At(5, 5), RGB(250, 128, 10));

  ScreenPicture plain = Picture(MakeBmp(32, 32, 4, 9, RGB(20, 40, 60)), kPlaceTopLeft);
  plain.Draw(surface.dc(), 32, 32);
  EXPECT_FALSE(plain.has_palette());
  EXPECT_EQ(surface.At(31, 31), RGB(20, 40, 60));
}

TEST(BackdropPaintTest, BadPictureLeavesTheFullBackgroundAndTilesCoverIt) {
  MainWindow window;
  BackdropStyle style;
  style.top_colour = style.bottom_colour = Rgb{90, 0, 0};
  window.SetStyle(style);
  std::vector<uint8_t> truncated = MakeBmp(16, 16, 24, 0, RGB(0, 255, 0));
  truncated.resize(truncated.size() - 1);
  window.SetScreenGraphic(Picture(truncated, kPlaceTopLeft));
  EXPECT_FALSE(window.screen_graphic().has_bitmap());
  Surface surface(40, 40);
  window.PaintBackground(surface.dc(), 40, 40);
  EXPECT_EQ(surface.At(0, 0), RGB(90, 0, 0));

  window.SetScreenGraphic(Picture(MakeBmp(16, 16, 24, 0, RGB(0, 255, 0)), kPlaceTile));
  surface.Fill(RGB(1, 2, 3));
  window.PaintBackground(surface.dc(), 40, 40);
  EXPECT_EQ(surface.At(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(surface.At(39, 39), RGB(0, 255, 0));
  EXPECT_EQ(surface.At(20, 35), RGB(0, 255, 0));

  // FULLSCREEN draws no picture: only the background shows.
  window.SetScreenGraphic(Picture(MakeBmp(16, 16, 24, 0, RGB(0, 255, 0)), kPlaceFullScreen));
  window.PaintBackground(surface.dc(), 40, 40);
  EXPECT_EQ(surface.At(0, 0), RGB(90, 0, 0));
}

// A 3 x 2 picture tiled over a window larger than its block: every pixel of
// the window is the picture's pixel at (x mod 3, y mod 2).
TEST(BackdropPaintTest, ATiledPictureKeepsItsPatternAcrossTheWindow) {
  const int width = 3, height = 2;
  auto colour_at = [](int x, int y) { return RGB(40 * x + 10, 100 * y + 20, 200); };
  const int stride = ((24 * width + 31) / 32) * 4;
  std::vector<uint8_t> bmp = MakeBmp(width, height, 24, 0, RGB(0, 0, 0));
  const size_t offset = bmp.size() - static_cast<size_t>(stride * height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &bmp[offset + static_cast<size_t>((height - 1 - y) * stride)];  // bottom-up rows
    for (int x = 0; x < width; ++x) {
      row[3 * x] = GetBValue(colour_at(x, y));
      row[3 * x + 1] = GetGValue(colour_at(x, y));
      row[3 * x + 2] = GetRValue(colour_at(x, y));
    }
  }
  ScreenPicture picture = Picture(bmp, kPlaceTile);
  ASSERT_TRUE(picture.has_bitmap());
  Surface surface(200, 150);
  picture.Draw(surface.dc(), 200, 150);
  for (int y : {0, 1, 2, 65, 66, 67, 131, 149}) {
    for (int x : {0, 1, 2, 3, 65, 66, 67, 130, 199}) {
      EXPECT_EQ(surface.At(x, y), colour_at(x % width, y % height)) << x << "," << y;
    }
  }
}

TEST(BackdropPaintTest, TitleIsDrawnInItsColourWithAShadow) {
  MainWindow window;
  BackdropStyle style;
  style.title = "WWWWWWWW";
  style.title_colour = Rgb{255, 255, 0};
  style.screen_width = 400;
  window.SetStyle(style);
  Surface surface(400, 100);
  window.PaintTitle(surface.dc());
  int title_pixels = 0, shadow_pixels = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 400; ++x) {
      if (surface.At(x, y) == RGB(255, 255, 0)) ++title_pixels;
      if (surface.At(x, y) == RGB(0, 0, 0)) ++shadow_pixels;
    }
  }
  EXPECT_GT(title_pixels, 50);
  EXPECT_GT(shadow_pixels, 10);
  EXPECT_EQ(surface.At(5, 5), RGB(1, 2, 3));  // nothing above the title's corner
}

WPARAM g_forwarded = 0;

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) g_forwarded = wparam;
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST(MainWindowTest, ApplicationMessages) {
  MainWindow window;
  ASSERT_TRUE(window.Create(GetModuleHandleA(nullptr)));
  EXPECT_EQ(SendMessageA(window.hwnd(), kNextDiskMessage, 1, 0), 0);  // no disk step yet
  std::vector<bool> advances;
  int answer = 3;
  window.SetNextDiskHandler([&](bool advance) {
    advances.push_back(advance);
    return answer;
  });
  EXPECT_EQ(SendMessageA(window.hwnd(), kNextDiskMessage, 1, 0), 3);
  answer = -1;
  EXPECT_EQ(SendMessageA(window.hwnd(), kNextDiskMessage, 0, 0), 0);
  EXPECT_EQ(advances, (std::vector<bool>{true, false}));

  // Progress refreshes go on to the progress window with their wParam.
  g_forwarded = 0;
  WNDCLASSA progress_class{};
  progress_class.lpfnWndProc = ProgressProc;
  progress_class.hInstance = GetModuleHandleA(nullptr);
  progress_class.lpszClassName = "BackdropTestProgress";
  RegisterClassA(&progress_class);
  HWND progress = CreateWindowExA(0, "BackdropTestProgress", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  window.SetProgressWindow(progress);
  SendMessageA(window.hwnd(), kProgressRefreshMessage, 42, 0);
  EXPECT_EQ(g_forwarded, 42u);
  DestroyWindow(progress);

  EXPECT_EQ(SendMessageA(window.hwnd(), 996, 0, 0), 0);
  EXPECT_EQ(SendMessageA(window.hwnd(), WM_USER + 4, 0, 0), 0);
  int runs = 0;
  window.SetRunHandler([&] { ++runs; });
  SendMessageA(window.hwnd(), kRunInstallationMessage, 0, 0);
  EXPECT_EQ(runs, 1);
}

TEST(IntroScreenTest, KeyAndClickTogetherCloseItOnce) {
  MainWindow main_window;
  ASSERT_TRUE(main_window.Create(GetModuleHandleA(nullptr)));
  int closes = 0;
  IntroScreenWindow intro;
  ASSERT_TRUE(intro.Create(GetModuleHandleA(nullptr), main_window.hwnd(),
                           Picture(MakeBmp(8, 8, 24, 0, RGB(1, 1, 1)), kPlaceCentred), 0,
                           [&] {
                             ++closes;
                             PostMessageA(main_window.hwnd(), kRunInstallationMessage, 0, 0);
                           }));
  EXPECT_EQ(GetWindow(intro.hwnd(), GW_OWNER), main_window.hwnd());
  EXPECT_TRUE(intro.picture().has_bitmap());
  SendMessageA(intro.hwnd(), WM_CHAR, 'x', 0);
  SendMessageA(intro.hwnd(), WM_LBUTTONDOWN, 0, 0);
  SendMessageA(intro.hwnd(), WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(intro.closed());
  EXPECT_FALSE(intro.picture().has_bitmap());
  MSG message;
  int posted = 0;
  while (PeekMessageA(&message, main_window.hwnd(), kRunInstallationMessage,
                      kRunInstallationMessage, PM_REMOVE)) {
    ++posted;
  }
  EXPECT_EQ(posted, 1);
}

TEST(IntroScreenTest, DisplayTimeClosesItByItself) {
  int closes = 0;
  IntroScreenWindow intro;
  ASSERT_TRUE(intro.Create(GetModuleHandleA(nullptr), nullptr,
                           Picture(MakeBmp(8, 8, 24, 0, RGB(1, 1, 1)), kPlaceCentred), 1,
                           [&] { ++closes; }));
  intro.ShowMaximised();  // the first paint starts the timer
  const DWORD start = GetTickCount();
  MSG message;
  while (closes == 0 && GetTickCount() - start < 5000) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  EXPECT_EQ(closes, 1);
  EXPECT_GE(GetTickCount() - start, 900u);
}

}  // namespace
}  // namespace install::ui
