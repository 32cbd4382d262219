#include "install/script/text_block.h"

#include <algorithm>

#include "install/script/script_cursor.h"

namespace install::script {

namespace {

int RoundUpEven(int v) { return (v + 1) & ~1; }

int16_t ToDialogUnits(int v) {
  return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

constexpr uint32_t kStaticStyle = kWsChild | kWsVisible | kWsGroup | kSsLeft;

}  // namespace

bool IsEmptyScreenLine(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return IsSeparatorA(c); });
}

PackResult PackTextBlock(const std::vector<std::string>& lines, ui::TextMeasure& measure,
                         const ui::MeasureFont& font, TextBlock& out, std::size_t* bad_line) {
  out.bytes.assign(3, 0);
  if (lines.size() > TextBlock::kMaxLines) {
    if (bad_line) *bad_line = TextBlock::kMaxLines;
    out.bytes.clear();
    return PackResult::BlockTooLarge;
  }
  int non_empty = 0;
  int widest = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (IsEmptyScreenLine(line)) {
      out.bytes.push_back(0);
      out.bytes.push_back(0);
    } else {
      if (line.size() > TextBlock::kMaxLineLength) {
        if (bad_line) *bad_line = i;
        out.bytes.clear();
        return PackResult::LineTooLong;
      }
      ++non_empty;
      widest = std::max(widest, ui::WidthInAverageChars(measure, line, font));
      out.bytes.push_back(static_cast<uint8_t>(line.size()));
      out.bytes.insert(out.bytes.end(), line.begin(), line.end());
      out.bytes.push_back(0);
    }
    if (out.bytes.size() > TextBlock::kCapacity) {
      if (bad_line) *bad_line = i;
      out.bytes.clear();
      return PackResult::BlockTooLarge;
    }
  }
  out.bytes[0] = static_cast<uint8_t>(non_empty);
  out.bytes[1] = static_cast<uint8_t>(std::clamp(widest - TextBlock::kWidestBias, 0, 255));
  out.bytes[2] = static_cast<uint8_t>(lines.size());
  return PackResult::Ok;
}

std::vector<std::string> TextBlock::Lines() const {
  std::vector<std::string> lines;
  std::size_t at = 3;
  for (int i = 0; i < LineCount() && at < bytes.size(); ++i) {
    std::size_t length = bytes[at++];
    if (at + length > bytes.size()) break;
    lines.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length + 1;  // the text and its terminator
  }
  return lines;
}

ScreenResult BuildScreen(const TextBlock& block, const ScreenStyle& style, DialogTemplate& out,
                         std::vector<GroupItemLine>* items, std::size_t* bad_line) {
  const std::vector<std::string> lines = block.Lines();
  const int line_count = static_cast<int>(lines.size());
  const bool two_buttons = style.kind == ScreenKind::TextScreen || style.kind == ScreenKind::GroupPage;

  DialogHeader header;
  header.point_size = static_cast<uint16_t>(style.point_size > 0 ? style.point_size : 10);
  header.face = style.face;
  int width = std::max(kScreenMinWidth, RoundUpEven(4 * block.Widest() + 2 * kScreenTextMargin));
  if (two_buttons) width = std::max(width, kScreenTwoButtonMinWidth);
  int height;
  if (style.kind == ScreenKind::Popup) {
    header.style = kWsPopup | kWsVisible | kWsDlgFrame | kDsSetFont;
    height = kScreenLineHeight * line_count;
  } else {
    header.style = kWsPopup | kWsDlgFrame | kDsSetFont;
    height = RoundUpEven(kScreenLineHeight * line_count) + 16;
  }
  header.cx = ToDialogUnits(width);
  header.cy = ToDialogUnits(height);

  std::vector<DialogItem> controls;
  int item_position = 0;
  for (int i = 0; i < line_count; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    const int y = kScreenLineHeight * i;
    if (style.kind == ScreenKind::GroupPage && !line.empty() && line[0] >= '0' && line[0] <= '9') {
      std::size_t marker = std::min(line.find("[ ]"), line.find("[X]"));
      if (marker == std::string::npos) {
        if (bad_line) *bad_line = static_cast<std::size_t>(i);
        return ScreenResult::MissingMarker;
      }
      GroupItemLine item;
      item.number = LeadingDecimal(std::string_view(line).substr(0, 2));
      item.preselected = line.compare(marker, 3, "[X]") == 0;
      if (items) items->push_back(item);
      DialogItem box;
      box.style = kWsChild | kWsVisible | kWsTabStop |
                  (style.exclusive ? kBsAutoRadioButton : kBsAutoCheckBox);
      box.class_atom = kClassButton;
      box.x = ToDialogUnits(4 * static_cast<int>(marker) - 8);
      box.y = ToDialogUnits(y);
      box.cx = ToDialogUnits(std::max(8, width - box.x - 4));
      box.cy = kScreenLineHeight;
      box.id = static_cast<uint16_t>(100 + style.first_item_index + item_position++);
      box.text = line.substr(marker + 3);
      controls.push_back(std::move(box));
      continue;
    }
    if (line.empty() && style.kind != ScreenKind::Popup) continue;
    DialogItem text;
    text.style = kStaticStyle;
    text.class_atom = kClassStatic;
    text.x = kScreenTextMargin;
    text.y = ToDialogUnits(y);
    text.cx = ToDialogUnits(width - 2 * kScreenTextMargin);
    text.cy = kScreenLineHeight;
    text.id = 0xFFFF;
    text.text = line;
    controls.push_back(std::move(text));
  }

  if (style.kind != ScreenKind::Popup) {
    const int button_y = height - kScreenButtonHeight - 2;
    DialogItem ok;
    ok.style = kWsChild | kWsVisible | kWsTabStop | kBsDefPushButton;
    ok.class_atom = kClassButton;
    ok.y = ToDialogUnits(button_y);
    ok.cx = kScreenButtonWidth;
    ok.cy = kScreenButtonHeight;
    ok.id = 1;
    ok.text = style.ok_text;
    if (two_buttons) {
      ok.x = ToDialogUnits(width / 2 - kScreenButtonWidth - 4);
      DialogItem cancel = ok;
      cancel.style = kWsChild | kWsVisible | kWsTabStop | kBsPushButton;
      cancel.x = ToDialogUnits(width / 2 + 4);
      cancel.id = 2;
      cancel.text = style.cancel_text;
      controls.push_back(std::move(ok));
      controls.push_back(std::move(cancel));
    } else {
      ok.x = ToDialogUnits((width - kScreenButtonWidth) / 2);
      controls.push_back(std::move(ok));
    }
  }

  if (!BuildDialogTemplate(header, controls, out)) return ScreenResult::TooLarge;
  return ScreenResult::Ok;
}

}  // namespace install::script
