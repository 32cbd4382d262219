// The script keywords of text screens, group pages, pop-up and exit messages.
#include "install/script/script_parser.h"

#include <array>
#include <climits>

#include "install/os/ascii_case.h"
#include "install/os/machine.h"
#include "install/script/parser_parts.h"
#include "install/ui/builtin_texts.h"
#include "install/ui/desktop.h"

namespace install::script {

using namespace parsing;

// --- Screens ----------------------------------------------------------------------

LineResult ScriptParser::DoScreen(std::string_view keyword) {
  const bool first = IsKeywordOf(keyword, "BEGINFIRSTSCREEN");
  std::string face, size;
  cursor_.ReadQuoted(face);
  if (face.size() > kFaceCapacity) return LineResult::Error;
  cursor_.ReadWord(size);
  plan_.next_screen_face = face;
  plan_.next_screen_size = LeadingDecimal(size);

  const int start = line_number_;
  std::vector<std::string> lines;
  bool ended = ReadBlockText(first ? "ENDFIRSTSCREEN" : "ENDLASTSCREEN", lines);
  ScreenStyle style;
  style.kind = ScreenKind::TextScreen;
  style.face = ScreenFace(plan_.next_screen_face);
  style.point_size = plan_.next_screen_size > 0 ? plan_.next_screen_size : 10;
  style.ok_text = plan_.prompts.ok;
  style.cancel_text = plan_.prompts.cancel;
  plan_.next_screen_face.clear();
  plan_.next_screen_size = 0;
  if (!ended) return LineResult::Error;
  DialogTemplate dialog;
  LineResult result = BuildTextScreen(lines, style, dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  (first ? plan_.first_screen : plan_.last_screen) = std::move(dialog);
  return LineResult::Ok;
}

LineResult ScriptParser::DoBeginGroup(std::string_view) {
  std::string first, second;
  cursor_.ReadWord(first);
  cursor_.ReadWord(second);
  const bool exclusive = os::EqualsIgnoringCase(first, "EXCLUSIVE");
  const bool is_header = !StartsWithDigit(first) && !StartsWithDigit(second);
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("ENDGROUP", lines)) return LineResult::Error;
  if (!is_header && static_cast<int>(plan_.group_pages.size()) >= InstallPlan::kMaxGroupPages)
    return LineResult::Error;

  ScreenStyle style;
  style.kind = ScreenKind::GroupPage;
  style.face = ScreenFace("");
  style.ok_text = plan_.prompts.ok;
  style.cancel_text = plan_.prompts.cancel;
  style.exclusive = exclusive;
  style.first_item_index = plan_.group_item_count;
  DialogTemplate dialog;
  std::vector<GroupItemLine> items;
  LineResult result = BuildTextScreen(lines, style, dialog, &items, start);
  if (result != LineResult::Ok) return result;
  if (plan_.group_item_count + static_cast<int>(items.size()) > InstallPlan::kMaxGroupItems)
    return LineResult::Error;

  const int items_before = plan_.group_item_count;
  for (const GroupItemLine& item : items) {
    const int index = plan_.group_item_count++;
    plan_.group_map.Set(item.number, index);
    plan_.group_preselected[static_cast<std::size_t>(index)] = item.preselected ? 1 : 0;
  }
  if (is_header) {
    GroupHeader header;
    header.dialog = std::move(dialog);
    header.exclusive = exclusive ? 1 : 0;
    header.items_before = items_before;
    plan_.group_header = std::move(header);
    return LineResult::Ok;
  }
  GroupPage page;
  page.dialog = std::move(dialog);
  page.page_number = LeadingDecimal(exclusive ? second : first);
  page.first_item = items_before;
  page.bit_mask = items_before < 32 ? (1u << items_before) : 0u;
  page.end_item = plan_.group_item_count;
  page.exclusive = exclusive ? 1 : 0;
  plan_.group_pages.push_back(std::move(page));
  return LineResult::Ok;
}

LineResult ScriptParser::DoPopMessage(std::string_view) {
  std::string number, face, size;
  cursor_.ReadWord(number);
  if (!StartsWithDigit(number)) return LineResult::Error;
  cursor_.ReadQuoted(face);
  if (face.size() > PopupMessage::kFaceCapacity) return LineResult::Error;
  cursor_.ReadWord(size);
  if (static_cast<int>(plan_.popups.size()) >= InstallPlan::kMaxPopups) return LineResult::Error;

  PopupMessage popup;
  popup.number = LeadingDecimal(number);
  popup.face = face.empty() ? "MS Sans Serif" : face;
  popup.size = LeadingDecimal(size);
  if (popup.size == 0) popup.size = 10;
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("ENDPOP", lines)) return LineResult::Error;
  ScreenStyle style;
  style.kind = ScreenKind::Popup;
  style.face = popup.face;
  style.point_size = popup.size;
  LineResult result = BuildTextScreen(lines, style, popup.dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  plan_.popups.push_back(std::move(popup));
  return LineResult::Ok;
}

LineResult ScriptParser::DoExitMessage(std::string_view) {
  const int start = line_number_;
  std::vector<std::string> lines;
  if (!ReadBlockText("EXIT", lines)) return LineResult::Error;
  ScreenStyle style;
  style.kind = ScreenKind::ExitMessage;
  style.face = ScreenFace("");
  style.ok_text = plan_.prompts.ok;
  DialogTemplate dialog;
  LineResult result = BuildTextScreen(lines, style, dialog, nullptr, start);
  if (result != LineResult::Ok) return result;
  plan_.exit_message = dialog;
  if (services_.screens) {
    services_.screens->ShowExitMessage(dialog, lines);
  } else {
    std::string text;
    for (const std::string& line : lines) {
      if (!text.empty()) text.push_back('\n');
      text += line;
    }
    services_.desktop.MessageBox(text, " ", ui::kMbOk);
  }
  plan_.exit_message.reset();  // shown once, then freed
  return LineResult::Exit;
}

}  // namespace install::script
