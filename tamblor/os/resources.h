// Language libraries and the resources inside them: strings, menus, bitmaps and
// dialog templates, addressed by module.
//
// Handles are opaque numbers; 0 is "none". A module handle below 32 from
// LoadLibrary means the library could not be loaded (the value the system
// reports for a failed load). os/win32 implements this with the real module and
// resource calls; os/host with in-memory modules that tests describe.
#pragma once

#include <cstdint>
#include <string>

namespace tamblor::os {

using ModuleHandle = std::uintptr_t;
using MenuHandle = std::uintptr_t;
using BitmapHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;

class Resources {
 public:
  virtual ~Resources() = default;

  // The program's own module (the built-in language).
  virtual ModuleHandle ProgramModule() = 0;
  // Loads a library as data (its resources only; none of its code runs); a
  // result below 32 is a failure.
  virtual ModuleHandle LoadLanguageLibrary(const std::string& path) = 0;
  virtual void FreeLanguageLibrary(ModuleHandle module) = 0;

  // String `id` of the module's string table, cut to capacity - 1 characters.
  // An empty string when there is none.
  virtual std::string LoadText(ModuleHandle module, int id, int capacity) = 0;

  // A menu bar by resource name; 0 when the module has none of that name. The
  // caller destroys it with DestroyMenu.
  virtual MenuHandle LoadMenuByName(ModuleHandle module, const char* name) = 0;
  virtual void DestroyMenu(MenuHandle menu) = 0;
  virtual int MenuItemCount(MenuHandle menu) = 0;
  // The popup at `position` of a menu, 0 when that item has none.
  virtual MenuHandle SubMenu(MenuHandle menu, int position) = 0;
  virtual bool AppendMenuItem(MenuHandle popup, int command, const std::string& text) = 0;
  // Sets or clears the check mark of the item at `position`.
  virtual void CheckMenuItemAt(MenuHandle popup, int position, bool checked) = 0;

  // A bitmap by resource name; 0 when missing. Deleted with DeleteBitmap.
  virtual BitmapHandle LoadBitmapByName(ModuleHandle module, const char* name) = 0;
  virtual void DeleteBitmap(BitmapHandle bitmap) = 0;

  // Runs a modal dialog from the module's template `name`, owned by `owner`.
  // `procedure` is the address of the dialog procedure, `parameter` its
  // initialisation value. Returns the dialog's result, -1 when it cannot be shown.
  virtual std::intptr_t RunDialog(ModuleHandle module, const char* name, WindowHandle owner,
                                  void* procedure, std::intptr_t parameter) = 0;
};

}  // namespace tamblor::os
