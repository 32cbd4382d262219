// The main window's three children: the toolbar ("ToolBar"), the title panel
// ("PanelWin", child id 1) and the text pane ("ScrollWin", child id 2).
//
// This is the first, read-only form of the children: the toolbar shows its
// buttons and search box and passes clicks on as commands, the title panel
// shows the title, and the text pane shows a file's lines (DOS characters
// converted for display) with scrolling. Selection and search come with the
// views.
#pragma once

#include <windows.h>

#include <string>

namespace tamblor::lang {
class LanguageSet;
}

namespace tamblor::views {

inline constexpr int kTitlePanelId = 1;
inline constexpr int kTextPaneId = 2;
inline constexpr int kToolbarId = 3;

// Toolbar control ids.
enum : int {
  kPrevButton = 200,
  kSelectButton = 201,
  kCopyButton = 202,
  kSearchText = 203,
  kFindNextButton = 204,
  kFindPrevButton = 205,
  kWordSearchBox = 206,
};

LRESULT CALLBACK ToolbarWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK TitlePanelWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK TextPaneWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The toolbar draws its buttons with the current language's bitmaps.
HWND CreateToolbar(HWND parent, HINSTANCE instance, lang::LanguageSet* languages);
// After a language switch: the "Word Search" text and the bitmaps again.
void ReloadToolbar(HWND toolbar);

HWND CreateTitlePanel(HWND parent, HINSTANCE instance);
void SetPanelTitle(HWND panel, const std::string& title);

HWND CreateTextPane(HWND parent, HINSTANCE instance);
// Shows the lines of the file at `path` (which must exist) from its start.
void ShowFileInPane(HWND pane, const std::string& path);
// The pane font's average character width and line height.
void TextPaneMetrics(HWND pane, int* char_width, int* line_height);

}  // namespace tamblor::views
