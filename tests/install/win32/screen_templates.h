// Dialog templates for the Wine tests, made the way the parser makes them:
// the lines packed into a text block measured with GDI, then built into a
// screen of the given kind.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/script/text_block.h"
#include "install/ui/win32/gdi_text_measure.h"

namespace install::ui::testing {

struct ScreenOptions {
  script::ScreenKind kind = script::ScreenKind::TextScreen;
  bool exclusive = false;
  int first_item = 0;
  std::string ok_text = "OK";
  std::string cancel_text = "Cancel";
};

inline std::vector<uint8_t> ScreenTemplate(const std::vector<std::string>& lines,
                                           const ScreenOptions& options = {}) {
  GdiTextMeasure measure;
  script::TextBlock block;
  EXPECT_EQ(script::PackTextBlock(lines, measure, MeasureFont{"MS Sans Serif"}, block),
            script::PackResult::Ok);
  script::ScreenStyle style;
  style.kind = options.kind;
  style.face = "MS Sans Serif";
  style.point_size = 10;
  style.ok_text = options.ok_text;
  style.cancel_text = options.cancel_text;
  style.exclusive = options.exclusive;
  style.first_item_index = options.first_item;
  script::DialogTemplate dialog;
  EXPECT_EQ(script::BuildScreen(block, style, dialog), script::ScreenResult::Ok);
  return dialog.bytes;
}

}  // namespace install::ui::testing
