#include "tamblor/os/host/host_resources.h"

#include "tamblor/os/ascii_case.h"

namespace tamblor::os::host {

HostResources::HostResources(HostModule program) : program_(std::move(program)) {}

void HostResources::AddLibrary(const std::string& path, HostModule module) {
  libraries_[UpperAscii(path)] = std::move(module);
}

const HostModule* HostResources::Module(ModuleHandle module) const {
  if (module == kProgramModule) return &program_;
  auto loaded = loaded_.find(module);
  if (loaded == loaded_.end()) return nullptr;
  return &libraries_.at(loaded->second);
}

ModuleHandle HostResources::LoadLanguageLibrary(const std::string& path) {
  auto found = libraries_.find(UpperAscii(path));
  if (found == libraries_.end()) return 2;  // "file not found"
  ModuleHandle handle = next_handle_++;
  loaded_[handle] = found->first;
  ++total_loads_;
  return handle;
}

void HostResources::FreeLanguageLibrary(ModuleHandle module) { loaded_.erase(module); }

std::string HostResources::LoadText(ModuleHandle module, int id, int capacity) {
  const HostModule* source = Module(module);
  if (!source || capacity < 1) return {};
  auto found = source->strings.find(id);
  if (found == source->strings.end()) return {};
  return found->second.substr(0, static_cast<size_t>(capacity - 1));
}

MenuHandle HostResources::LoadMenuByName(ModuleHandle module, const char* name) {
  const HostModule* source = Module(module);
  if (!source) return 0;
  auto found = source->menus.find(UpperAscii(name));
  if (found == source->menus.end()) return 0;
  MenuHandle handle = next_handle_++;
  menus_[handle] = std::make_unique<std::vector<HostMenuItem>>(found->second);
  return handle;
}

void HostResources::DestroyMenu(MenuHandle menu) {
  auto found = menus_.find(menu);
  if (found == menus_.end()) return;
  // Popup handles into this bar die with it.
  for (auto it = popups_.begin(); it != popups_.end();) {
    bool inside = false;
    for (auto& item : *found->second) inside = inside || (&item.popup == it->second);
    it = inside ? popups_.erase(it) : std::next(it);
  }
  menus_.erase(found);
}

std::vector<HostMenuItem>* HostResources::Items(MenuHandle menu) {
  if (auto bar = menus_.find(menu); bar != menus_.end()) return bar->second.get();
  if (auto popup = popups_.find(menu); popup != popups_.end()) return popup->second;
  return nullptr;
}

const std::vector<HostMenuItem>* HostResources::MenuItems(MenuHandle menu) const {
  auto bar = menus_.find(menu);
  return bar == menus_.end() ? nullptr : bar->second.get();
}

int HostResources::MenuItemCount(MenuHandle menu) {
  std::vector<HostMenuItem>* items = Items(menu);
  return items ? static_cast<int>(items->size()) : -1;
}

MenuHandle HostResources::SubMenu(MenuHandle menu, int position) {
  std::vector<HostMenuItem>* items = Items(menu);
  if (!items || position < 0 || position >= static_cast<int>(items->size())) return 0;
  HostMenuItem& item = (*items)[static_cast<size_t>(position)];
  if (!item.is_popup) return 0;
  for (auto& [handle, popup] : popups_) {
    if (popup == &item.popup) return handle;
  }
  MenuHandle handle = next_handle_++;
  popups_[handle] = &item.popup;
  return handle;
}

bool HostResources::AppendMenuItem(MenuHandle popup, int command, const std::string& text) {
  std::vector<HostMenuItem>* items = Items(popup);
  if (!items) return false;
  items->push_back(HostMenuItem{text, command, false, {}, false});
  return true;
}

void HostResources::CheckMenuItemAt(MenuHandle popup, int position, bool checked) {
  std::vector<HostMenuItem>* items = Items(popup);
  if (!items || position < 0 || position >= static_cast<int>(items->size())) return;
  (*items)[static_cast<size_t>(position)].checked = checked;
}

BitmapHandle HostResources::LoadBitmapByName(ModuleHandle module, const char* name) {
  const HostModule* source = Module(module);
  if (!source || !source->bitmaps.count(UpperAscii(name))) return 0;
  BitmapHandle handle = next_handle_++;
  bitmaps_[handle] = UpperAscii(name);
  return handle;
}

void HostResources::DeleteBitmap(BitmapHandle bitmap) { bitmaps_.erase(bitmap); }

std::string HostResources::BitmapName(BitmapHandle bitmap) const {
  auto found = bitmaps_.find(bitmap);
  return found == bitmaps_.end() ? std::string() : found->second;
}

std::intptr_t HostResources::RunDialog(ModuleHandle module, const char* name, WindowHandle owner, void* procedure,
                                       std::intptr_t parameter) {
  const HostModule* source = Module(module);
  if (!source || !source->dialogs.count(UpperAscii(name))) return -1;
  dialogs_shown_.push_back(UpperAscii(name));
  return dialog_result_;
}

}  // namespace tamblor::os::host
