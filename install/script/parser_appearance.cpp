// The script keywords of the appearance: title, colours, fonts, pictures.
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

// --- Appearance -----------------------------------------------------------------

LineResult ScriptParser::DoTitle(std::string_view) {
  std::string title;
  cursor_.ReadText(title);
  if (title.empty() || title.size() > InstallPlan::kTitleCapacity) return LineResult::Error;
  plan_.title = title;
  for (int i = 0; i < 5; ++i) {
    std::string token;
    cursor_.ReadQuoted(token);
    if (!token.empty()) {
      if (token.size() > kTitleFaceCapacity) return LineResult::Error;
      plan_.title_font.face = token;
      continue;
    }
    cursor_.ReadWord(token);
    if (token.empty()) break;
    if (os::EqualsIgnoringCase(token, "Italic")) {
      plan_.title_font.italic = 1;
    } else if (os::EqualsIgnoringCase(token, "Bold")) {
      plan_.title_font.bold = 1;
    } else if (os::EqualsIgnoringCase(token, "Underline")) {
      plan_.title_font.underline = 1;
    } else if (StartsWithDigit(token)) {
      plan_.title_font.point_size = LeadingDecimal(token);
    } else {
      return LineResult::Error;
    }
  }
  return LineResult::Ok;
}

namespace {
void ReadColorText(ScriptCursor& cursor, std::string& out) {
  cursor.SkipSeparatorsA();
  if (cursor.Current() == '(')
    cursor.ReadParenthesised(out);
  else
    cursor.ReadWord(out);
}
}  // namespace

LineResult ScriptParser::DoTitleColor(std::string_view) {
  std::string text;
  ReadColorText(cursor_, text);
  if (std::optional<Rgb> rgb = ParseColor(text)) plan_.title_color = *rgb;
  return LineResult::Ok;
}

LineResult ScriptParser::DoScreenColor(std::string_view) {
  std::string first, second;
  ReadColorText(cursor_, first);
  ReadColorText(cursor_, second);
  std::optional<Rgb> from = ParseColor(first);
  if (second.empty()) {
    if (from) plan_.screen_color_from = plan_.screen_color_to = *from;
    return LineResult::Ok;
  }
  if (from) plan_.screen_color_from = *from;
  if (std::optional<Rgb> to = ParseColor(second)) plan_.screen_color_to = *to;
  return LineResult::Ok;
}

LineResult ScriptParser::DoFontName(std::string_view) {
  std::string face;
  cursor_.ReadQuoted(face);
  if (face.size() > kFaceCapacity) return LineResult::Error;
  plan_.screen_font_face = face;
  return LineResult::Ok;
}

LineResult ScriptParser::DoScreenGraphic(std::string_view) {
  std::string name, placement_word;
  cursor_.ReadText(name);
  ScreenGraphic graphic;
  graphic.path = InSourceDir(plan_.macros.source_dir, name);
  if (graphic.path.size() > kPathCapacity) return LineResult::Error;
  cursor_.ReadWord(placement_word);
  if (!placement_word.empty()) {
    graphic.placement = -1;
    for (std::size_t i = 0; i < kPlacements.size(); ++i) {
      if (os::EqualsIgnoringCase(kPlacements[i], placement_word)) graphic.placement = static_cast<int>(i) + 1;
    }
    if (graphic.placement < 0) return LineResult::Error;
  } else if (!cursor_.AtEnd()) {
    return LineResult::Error;  // a bare "=" where the placement belongs
  }
  plan_.screen_graphic = graphic;
  return LineResult::Ok;
}

LineResult ScriptParser::DoIntroScreen(std::string_view) {
  std::string name, seconds;
  cursor_.ReadText(name);
  ExpandPrefix(name, plan_.macros, kPathCapacity + 1);
  IntroScreen intro;
  if ((!name.empty() && name[0] == '\\') || (name.size() > 1 && name[1] == ':'))
    intro.path = name;
  else
    intro.path = InSourceDir(plan_.macros.source_dir, name);
  if (intro.path.size() > kPathCapacity) return LineResult::Error;
  cursor_.ReadWord(seconds);
  intro.seconds = LeadingDecimal(seconds);
  plan_.intro_screen = intro;
  return LineResult::Ok;
}

}  // namespace install::script
