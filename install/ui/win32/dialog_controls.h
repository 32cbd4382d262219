// Moving text between the installer's dialogs and their controls, and the
// dialogs' placement on the screen.
#pragma once

#include "install/os/win32/windows_api.h"

#include <cstddef>
#include <string>

#include "install/ui/builtin_texts.h"
#include "install/ui/dialog_placement.h"

namespace install::ui {

// The text of control `id`, at most `capacity` characters.
std::string ItemText(HWND dialog, int id, std::size_t capacity);
void SetItemText(HWND dialog, int id, const std::string& text);

// The prompt on the two prompt lines (items 301 and 302), split at its width.
void ShowPromptLines(HWND dialog, const std::string& prompt);
// OK and Cancel (items 1 and 2) captioned with OKPROMPT and CANCELPROMPT.
void CaptionButtons(HWND dialog, const PromptTexts& texts);

// The window's size in pixels.
SIZE WindowSize(HWND hwnd);
void MoveWindowTo(HWND hwnd, WindowOrigin origin);
// Centres a window on the screen.
void CentreOnScreen(HWND hwnd);

// The answer to WM_CTLCOLOR* that paints a control's background in the system
// window colour with `brush`.
INT_PTR WindowColourBackground(WPARAM dc, HBRUSH brush);

}  // namespace install::ui
