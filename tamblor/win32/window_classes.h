// The browser's window classes: "Tamblor" (the main window) and its three
// children "ToolBar", "PanelWin" and "ScrollWin".
#pragma once

#include <windows.h>

namespace tamblor::app {

bool RegisterWindowClasses(HINSTANCE instance);

}  // namespace tamblor::app
