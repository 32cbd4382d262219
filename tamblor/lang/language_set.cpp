#include "tamblor/lang/language_set.h"

#include <cstdlib>

#include "tamblor/config/command_line.h"
#include "tamblor/os/ascii_case.h"

namespace tamblor::lang {
namespace {

constexpr os::ModuleHandle kFirstValidModule = 32;

[[noreturn]] void EndProcess() { std::exit(-1); }

}  // namespace

LanguageSet::LanguageSet(os::Resources& resources, FileLister list_files)
    : resources_(resources), list_files_(std::move(list_files)) {}

LanguageSet::~LanguageSet() {
  if (LanguageEntry* current = Current()) Unload(*current);
}

LanguageEntry* LanguageSet::Current() {
  for (LanguageEntry& entry : entries_) {
    if (entry.id == current_) return &entry;
  }
  return nullptr;
}

const LanguageEntry* LanguageSet::Current() const { return const_cast<LanguageSet*>(this)->Current(); }

void LanguageSet::Create(char drive, const std::string& translation_dir, const std::string& language) {
  os::ModuleHandle program = resources_.ProgramModule();
  LanguageEntry built_in;
  built_in.module = program;
  built_in.built_in_module = program;
  built_in.id = next_id_++;
  built_in.menu_label = resources_.LoadText(program, 1, kLabelCapacity);
  built_in.language_name = resources_.LoadText(program, 2, kLabelCapacity);
  entries_.push_back(built_in);

  const std::string pattern = std::string(1, drive) + ":" + translation_dir + "\\*32.dll";
  const std::string directory = pattern.substr(0, pattern.rfind('\\') + 1);
  for (const std::string& name : list_files_(pattern)) {
    LanguageEntry entry;
    entry.file = directory + name;
    // A path the file field cannot hold is no language of this disc.
    if (entry.file.size() >= config::kMaxPath) continue;
    os::ModuleHandle module = resources_.LoadLanguageLibrary(entry.file);
    if (module < kFirstValidModule) EndProcess();
    entry.built_in_module = program;
    entry.id = next_id_++;
    entry.menu_label = resources_.LoadText(module, 1, kLabelCapacity);
    entry.language_name = resources_.LoadText(module, 2, kLabelCapacity);
    resources_.FreeLanguageLibrary(module);
    entries_.push_back(entry);
  }

  LanguageEntry* start = &entries_.front();
  if (!language.empty()) {
    for (LanguageEntry& entry : entries_) {
      if (os::EqualsNoCase(entry.language_name, language)) {
        start = &entry;
        break;
      }
    }
  }
  MakeCurrent(*start, false);
}

void LanguageSet::Unload(LanguageEntry& entry) {
  if (!entry.file.empty()) {  // the program's own module stays
    if (entry.module >= kFirstValidModule) resources_.FreeLanguageLibrary(entry.module);
    entry.module = 0;
  }
  for (os::MenuHandle& menu : entry.menus) {
    if (menu) resources_.DestroyMenu(menu);
    menu = 0;
  }
  for (os::BitmapHandle& bitmap : entry.bitmaps) {
    if (bitmap) resources_.DeleteBitmap(bitmap);
    bitmap = 0;
  }
}

void LanguageSet::MakeCurrent(LanguageEntry& entry, bool switching) {
  if (switching) {
    if (LanguageEntry* old = Current()) Unload(*old);
  }
  current_ = entry.id;
  if (entry.file.empty()) {
    entry.module = entry.built_in_module;
  } else {
    entry.module = resources_.LoadLanguageLibrary(entry.file);
    if (entry.module < kFirstValidModule) EndProcess();
  }
  for (int i = 0; i < kMenuCount; ++i) entry.menus[i] = resources_.LoadMenuByName(entry.module, kMenuNames[i]);
  for (int i = 0; i < kBitmapCount; ++i) entry.bitmaps[i] = resources_.LoadBitmapByName(entry.module, kBitmapNames[i]);

  for (os::MenuHandle menu : entry.menus) {
    if (!menu) continue;
    int count = resources_.MenuItemCount(menu);
    if (count < 2) continue;
    os::MenuHandle popup = resources_.SubMenu(menu, count - 2);
    if (!popup) continue;
    for (size_t i = 1; i < entries_.size(); ++i) {
      resources_.AppendMenuItem(popup, entries_[i].id + kCmdFirstLanguage, entries_[i].menu_label);
    }
  }
  if (switching && on_switch_) on_switch_();
}

const char* LanguageSet::String(int id) {
  const LanguageEntry* current = Current();
  buffer_ = current ? resources_.LoadText(current->module, id, kStringCapacity) : std::string();
  return buffer_.c_str();
}

os::MenuHandle LanguageSet::Menu(const std::string& name) const {
  const LanguageEntry* current = Current();
  for (int i = 0; i < kMenuCount; ++i) {
    if (name == kMenuNames[i]) return current ? current->menus[i] : 0;
  }
  EndProcess();
}

os::BitmapHandle LanguageSet::Bitmap(const std::string& name) const {
  const LanguageEntry* current = Current();
  if (!current) return 0;
  for (int i = 0; i < kBitmapCount; ++i) {
    if (name == kBitmapNames[i]) return current->bitmaps[i];
  }
  return 0;
}

std::intptr_t LanguageSet::Dialog(const char* name, os::WindowHandle owner, void* procedure, std::intptr_t parameter) {
  const LanguageEntry* current = Current();
  if (!current) return -1;
  return resources_.RunDialog(current->module, name, owner, procedure, parameter);
}

bool LanguageSet::OnLanguageCommand(int command) {
  for (LanguageEntry& entry : entries_) {
    if (entry.id + kCmdFirstLanguage != command) continue;
    if (entry.id == current_) return false;
    MakeCurrent(entry, true);
    return true;
  }
  return false;
}

bool LanguageSet::OnLanguagePopup(os::MenuHandle menu_bar, int popup_index) {
  if (!menu_bar) return false;
  int count = resources_.MenuItemCount(menu_bar);
  if (count < 2 || popup_index != count - 2) return false;
  os::MenuHandle popup = resources_.SubMenu(menu_bar, popup_index);
  if (!popup) return false;
  for (int position = 0; position < static_cast<int>(entries_.size()); ++position) {
    resources_.CheckMenuItemAt(popup, position, position == current_);
  }
  return true;
}

}  // namespace tamblor::lang
