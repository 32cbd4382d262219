#include "tamblor/os/win32/win32_resources.h"

#include <windows.h>

#include <vector>

namespace tamblor::os::win32 {
namespace {

HINSTANCE Instance(ModuleHandle module) { return reinterpret_cast<HINSTANCE>(module); }
HMENU Menu(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace

// A language library is data: its resources are mapped, its entry point and
// imports are never run or resolved, whatever code the file carries.
ModuleHandle Win32Resources::LoadLanguageLibrary(const std::string& path) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module) ++open_libraries_;
  return reinterpret_cast<ModuleHandle>(module);
}

void Win32Resources::FreeLanguageLibrary(ModuleHandle module) {
  if (module < 32 || module == program_) return;
  if (::FreeLibrary(Instance(module))) --open_libraries_;
}

std::string Win32Resources::LoadText(ModuleHandle module, int id, int capacity) {
  if (capacity < 1) return {};
  std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
  int length = LoadStringA(Instance(module), static_cast<UINT>(id), buffer.data(), capacity);
  if (length < 0 || length >= capacity) length = length < 0 ? 0 : capacity - 1;
  return std::string(buffer.data(), static_cast<size_t>(length));
}

MenuHandle Win32Resources::LoadMenuByName(ModuleHandle module, const char* name) {
  return reinterpret_cast<MenuHandle>(LoadMenuA(Instance(module), name));
}

void Win32Resources::DestroyMenu(MenuHandle menu) {
  if (menu) ::DestroyMenu(Menu(menu));
}

int Win32Resources::MenuItemCount(MenuHandle menu) { return GetMenuItemCount(Menu(menu)); }

MenuHandle Win32Resources::SubMenu(MenuHandle menu, int position) {
  return reinterpret_cast<MenuHandle>(GetSubMenu(Menu(menu), position));
}

bool Win32Resources::AppendMenuItem(MenuHandle popup, int command, const std::string& text) {
  return AppendMenuA(Menu(popup), MF_STRING, static_cast<UINT_PTR>(command), text.c_str()) != FALSE;
}

void Win32Resources::CheckMenuItemAt(MenuHandle popup, int position, bool checked) {
  CheckMenuItem(Menu(popup), static_cast<UINT>(position), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

BitmapHandle Win32Resources::LoadBitmapByName(ModuleHandle module, const char* name) {
  return reinterpret_cast<BitmapHandle>(LoadBitmapA(Instance(module), name));
}

void Win32Resources::DeleteBitmap(BitmapHandle bitmap) {
  if (bitmap) DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
}

std::intptr_t Win32Resources::RunDialog(ModuleHandle module, const char* name, WindowHandle owner, void* procedure,
                                        std::intptr_t parameter) {
  return DialogBoxParamA(Instance(module), name, reinterpret_cast<HWND>(owner),
                         reinterpret_cast<DLGPROC>(procedure), parameter);
}

}  // namespace tamblor::os::win32
