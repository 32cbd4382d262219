#include "install/ui/win32/gdi_text_measure.h"

#include "install/os/win32/windows_api.h"

#include <string>

#include "install/ui/win32/gdi_handles.h"

namespace install::ui {

namespace {

// The pixel width of `text` on the screen in `font`, 0 when it cannot be measured.
int ScreenTextWidth(std::string_view text, const ui::MeasureFont& font) {
  WindowDc dc(nullptr);
  if (!dc.get()) return 0;
  int point_size = font.point_size > 0 ? font.point_size : 10;
  int height = -MulDiv(point_size, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
  std::string face = font.face.substr(0, LF_FACESIZE - 1);
  FontObject handle(CreateFontA(height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE,
                                font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  SelectedObject selected(dc.get(), handle.get());
  SIZE size{};
  BOOL ok = GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  return ok ? static_cast<int>(size.cx) : 0;
}

}  // namespace

int GdiTextMeasure::TextExtent(std::string_view text, const ui::MeasureFont& font) {
  return ScreenTextWidth(text, font);
}

int GdiTextMeasure::DialogBaseWidth(const ui::MeasureFont& font) {
  // The dialog manager's average: the 52 letters' extent over 26, halved and
  // rounded.
  const int letters = ScreenTextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", font);
  const int base = (letters / 26 + 1) / 2;
  if (base > 0) return base;
  const int system = LOWORD(GetDialogBaseUnits());
  return system > 0 ? system : 8;
}

}  // namespace install::ui
