// Language libraries and their resources through the real module, menu,
// bitmap and dialog calls.
#pragma once

#include "tamblor/os/resources.h"

namespace tamblor::os::win32 {

class Win32Resources : public Resources {
 public:
  // `program` is the program's own instance handle.
  explicit Win32Resources(ModuleHandle program) : program_(program) {}

  ModuleHandle ProgramModule() override { return program_; }
  // Maps the library as a data file: resources only, no code runs.
  ModuleHandle LoadLanguageLibrary(const std::string& path) override;
  void FreeLanguageLibrary(ModuleHandle module) override;
  std::string LoadText(ModuleHandle module, int id, int capacity) override;
  MenuHandle LoadMenuByName(ModuleHandle module, const char* name) override;
  void DestroyMenu(MenuHandle menu) override;
  int MenuItemCount(MenuHandle menu) override;
  MenuHandle SubMenu(MenuHandle menu, int position) override;
  bool AppendMenuItem(MenuHandle popup, int command, const std::string& text) override;
  void CheckMenuItemAt(MenuHandle popup, int position, bool checked) override;
  BitmapHandle LoadBitmapByName(ModuleHandle module, const char* name) override;
  void DeleteBitmap(BitmapHandle bitmap) override;
  std::intptr_t RunDialog(ModuleHandle module, const char* name, WindowHandle owner, void* procedure,
                          std::intptr_t parameter) override;

  // Libraries loaded and not yet freed (a data file is not in the system's
  // module list, so GetModuleHandle cannot tell).
  int open_libraries() const { return open_libraries_; }

 private:
  ModuleHandle program_;
  int open_libraries_ = 0;
};

}  // namespace tamblor::os::win32
