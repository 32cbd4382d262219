// Language libraries held in memory, for the native tests: a test describes
// each module (strings, menus, bitmap and dialog names) and registers it under
// a library path; loading, menus and bitmaps behave like their Win32
// counterparts and every live handle is counted so that leaks show.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tamblor/os/resources.h"

namespace tamblor::os::host {

struct HostMenuItem {
  std::string text;
  int command = 0;
  bool checked = false;
  std::vector<HostMenuItem> popup;  // items of a popup; empty for a command
  bool is_popup = false;
};

struct HostModule {
  std::map<int, std::string> strings;
  std::map<std::string, std::vector<HostMenuItem>> menus;  // menu bars by name
  std::set<std::string> bitmaps;
  std::set<std::string> dialogs;
};

class HostResources : public Resources {
 public:
  explicit HostResources(HostModule program);

  // Makes `path` (compared ignoring case) loadable as `module`.
  void AddLibrary(const std::string& path, HostModule module);
  // The result DialogBox gives.
  void SetDialogResult(std::intptr_t result) { dialog_result_ = result; }

  int loaded_libraries() const { return static_cast<int>(loaded_.size()); }
  int live_menus() const { return static_cast<int>(menus_.size()); }
  int live_bitmaps() const { return static_cast<int>(bitmaps_.size()); }
  int total_library_loads() const { return total_loads_; }
  const std::vector<std::string>& dialogs_shown() const { return dialogs_shown_; }
  // The menu bar behind a handle (for inspection), nullptr when not live.
  const std::vector<HostMenuItem>* MenuItems(MenuHandle menu) const;
  // The resource name behind a bitmap handle, empty when not live.
  std::string BitmapName(BitmapHandle bitmap) const;

  ModuleHandle ProgramModule() override { return kProgramModule; }
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

 private:
  static constexpr ModuleHandle kProgramModule = 0x400000;
  const HostModule* Module(ModuleHandle module) const;
  std::vector<HostMenuItem>* Items(MenuHandle menu);

  HostModule program_;
  std::map<std::string, HostModule> libraries_;  // by upper-case path
  std::map<ModuleHandle, std::string> loaded_;   // handle -> upper-case path
  // A menu handle names a menu bar (owned here) or a popup inside one.
  std::map<MenuHandle, std::unique_ptr<std::vector<HostMenuItem>>> menus_;
  std::map<MenuHandle, std::vector<HostMenuItem>*> popups_;
  std::map<BitmapHandle, std::string> bitmaps_;
  std::vector<std::string> dialogs_shown_;
  std::intptr_t dialog_result_ = 1;
  std::uintptr_t next_handle_ = 0x1000;
  int total_loads_ = 0;
};

}  // namespace tamblor::os::host
