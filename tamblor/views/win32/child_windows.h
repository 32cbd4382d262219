// The main window's three children: the toolbar ("ToolBar"), the title panel
// ("PanelWin", child id 1) and the text pane ("ScrollWin", child id 2).
//
// The toolbar shows its buttons and search box and passes clicks on as
// commands, the title panel shows the title, and the text pane shows the
// document the top view lends it (DOS characters converted for display); what
// it shows and how it scrolls and selects is the portable ScrollPane.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tamblor::lang {
class LanguageSet;
}
namespace tamblor::os {
class Machine;
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

struct ViewDocument;
class ScrollPane;

// Messages the text pane accepts from the toolbar and from other programs.
inline constexpr UINT kPaneWordSearch = WM_USER + 1;     // wParam 256 forwards, 257 backwards; lParam the text
inline constexpr UINT kPaneSnapSelection = WM_USER + 2;  // in an index, the entry holding the selection start
inline constexpr WPARAM kSearchForwards = 256;
inline constexpr WPARAM kSearchBackwards = 257;
// The pane's state for tools that inspect the window (the end-to-end tests):
// each answers a byte position (-1: none) or, for the metrics, pixels.
inline constexpr UINT kPaneQueryTop = WM_USER + 10;
inline constexpr UINT kPaneQuerySelectionStart = WM_USER + 11;
inline constexpr UINT kPaneQuerySelectionEnd = WM_USER + 12;
inline constexpr UINT kPaneQueryLineHeight = WM_USER + 13;
inline constexpr UINT kPaneQueryCharWidth = WM_USER + 14;
inline constexpr UINT kPaneQueryHorizontalOffset = WM_USER + 15;
inline constexpr UINT kPaneQueryRowStart = WM_USER + 16;  // wParam: the row

// What the pane needs besides its window: the machine its files are opened
// on and the languages of its message texts. Both outlive the pane.
struct PaneServices {
  os::Machine* machine;
  lang::LanguageSet* languages;
};

HWND CreateTextPane(HWND parent, HINSTANCE instance, const PaneServices& services);
// The pane's model (null for a window that is no pane).
ScrollPane* PaneOf(HWND pane);
// Shows the document's file from its top position; in an index the kept
// selection snaps to its entry, or the first entry is selected.
void AttachDocument(HWND pane, ViewDocument* document);
// Stores the top position into the document and lets it go.
void DetachDocument(HWND pane);
void SetPaneWrap(HWND pane, bool wrap);
// The attached document's selection start, -1 when none.
int64_t PaneSelectionStart(HWND pane);
// The pane font's average character width and line height.
void TextPaneMetrics(HWND pane, int* char_width, int* line_height);

}  // namespace tamblor::views
