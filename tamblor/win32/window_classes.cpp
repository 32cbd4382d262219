#include "tamblor/win32/window_classes.h"

#include "tamblor/os/win32/window_procedure.h"
#include "tamblor/views/win32/child_windows.h"
#include "tamblor/win32/main_window.h"

namespace tamblor::app {
namespace {

bool Register(HINSTANCE instance, const char* name, UINT style, WNDPROC procedure, int extra, HICON icon,
              HBRUSH background) {
  WNDCLASSA c{};
  c.style = style;
  c.lpfnWndProc = procedure;
  c.cbWndExtra = extra;
  c.hInstance = instance;
  c.hIcon = icon;
  c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  c.hbrBackground = background;
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0;
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
  const UINT redraw = CS_HREDRAW | CS_VREDRAW;
  bool ok = Register(instance, "Tamblor", redraw, os::win32::WindowProcedure<MainWindow>, 0, LoadIconA(instance, "TAMBLOR_ICO"), nullptr);
  ok = Register(instance, "ToolBar", redraw, views::ToolbarWindowProc, 30, nullptr,
                static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))) && ok;
  ok = Register(instance, "PanelWin", redraw, views::TitlePanelWindowProc, 0, nullptr, nullptr) && ok;
  ok = Register(instance, "ScrollWin", redraw | CS_DBLCLKS, views::TextPaneWindowProc, 0, nullptr, nullptr) && ok;
  return ok;
}

}  // namespace tamblor::app
