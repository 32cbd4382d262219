#include "install/ui/win32/dialog_controls.h"

#include <vector>

#include "install/ui/dialog_rules.h"
#include "install/ui/win32/dialog_resources.h"

namespace install::ui {

std::string ItemText(HWND dialog, int id, std::size_t capacity) {
  std::vector<char> buffer(capacity + 1, '\0');
  GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data());
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, text.c_str());
}

void ShowPromptLines(HWND dialog, const std::string& prompt) {
  const PromptLines lines = SplitPrompt(prompt);
  SetItemText(dialog, IDC_PROMPT_FIRST, lines.first);
  SetItemText(dialog, IDC_PROMPT_SECOND, lines.second);
}

void CaptionButtons(HWND dialog, const PromptTexts& texts) {
  SetItemText(dialog, IDOK, texts.ok);
  SetItemText(dialog, IDCANCEL, texts.cancel);
}

SIZE WindowSize(HWND hwnd) {
  RECT frame{};
  GetWindowRect(hwnd, &frame);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void MoveWindowTo(HWND hwnd, WindowOrigin origin) {
  SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnScreen(HWND hwnd) {
  const SIZE size = WindowSize(hwnd);
  MoveWindowTo(hwnd, CentreOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    size.cx, size.cy));
}

INT_PTR WindowColourBackground(WPARAM dc, HBRUSH brush) {
  SetBkColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<INT_PTR>(brush);
}

}  // namespace install::ui
