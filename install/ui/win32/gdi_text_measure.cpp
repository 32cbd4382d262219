#include "install/ui/win32/gdi_text_measure.h"

#include "install/os/win32/windows_api.h"

#include <string>

namespace install::ui {

namespace {

// A screen device context, released on scope exit.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class FontHandle {
 public:
  explicit FontHandle(HFONT font) : font_(font) {}
  ~FontHandle() {
    if (font_) DeleteObject(font_);
  }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  HFONT get() const { return font_; }

 private:
  HFONT font_;
};

}  // namespace

int GdiTextMeasure::TextExtent(std::string_view text, const ui::MeasureFont& font) {
  ScreenDc dc;
  if (!dc.get()) return 0;
  int point_size = font.point_size > 0 ? font.point_size : 10;
  int height = -MulDiv(point_size, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
  std::string face = font.face.substr(0, LF_FACESIZE - 1);
  FontHandle handle(CreateFontA(height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE,
                                font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  HGDIOBJ old = handle.get() ? SelectObject(dc.get(), handle.get()) : nullptr;
  SIZE size{};
  BOOL ok = GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  if (old) SelectObject(dc.get(), old);
  return ok ? static_cast<int>(size.cx) : 0;
}

int GdiTextMeasure::DialogBaseWidth() {
  int base = LOWORD(GetDialogBaseUnits());
  return base > 0 ? base : 8;
}

}  // namespace install::ui
