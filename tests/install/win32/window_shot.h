// Pictures of the test's own windows, read from the windows themselves
// (their device contexts), so they show exactly what was painted; saved as
// PNG under the build tree's screenshots folder for people to look at.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/png_writer.h"

namespace install::ui::testing {

struct WindowShot {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  COLORREF At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  }
};

// The whole window, frame included.
inline WindowShot CaptureWindow(HWND hwnd) {
  WindowShot shot;
  RECT frame{};
  GetWindowRect(hwnd, &frame);
  shot.width = frame.right - frame.left;
  shot.height = frame.bottom - frame.top;
  if (shot.width <= 0 || shot.height <= 0) return shot;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  uint32_t* bits = nullptr;
  HDC window_dc = GetWindowDC(hwnd);
  HDC memory = CreateCompatibleDC(window_dc);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, window_dc, 0, 0, SRCCOPY);
  GdiFlush();
  shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
  for (int i = 0; i < shot.width * shot.height; ++i) {
    shot.rgb[3 * i] = static_cast<uint8_t>(bits[i] >> 16);
    shot.rgb[3 * i + 1] = static_cast<uint8_t>(bits[i] >> 8);
    shot.rgb[3 * i + 2] = static_cast<uint8_t>(bits[i]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, window_dc);
  return shot;
}

// Saves the picture as <build>/screenshots/<name>.png when the build
// directory is known (QM_BUILD, a path of the machine running Wine).
inline void SaveShot(const WindowShot& shot, const std::string& name) {
  const char* build = std::getenv("QM_BUILD");
  if (!build || !*build || shot.rgb.empty()) return;
  std::string folder = std::string("Z:") + build + "/screenshots";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".png";
  test_support::WritePngFile(path.c_str(), shot.width, shot.height, shot.rgb);
}

}  // namespace install::ui::testing
