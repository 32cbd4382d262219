// The user-interface languages: the built-in one (the program's own
// resources) and the resource-only libraries "*32.dll" in the disc's
// translation directory. Exactly one language is current and has its menus
// and bitmaps loaded; every text, menu, bitmap and dialog the program shows
// comes from it.
//
// A language library that cannot be loaded, and a request for a menu that is
// none of the four, end the process with exit code -1 (the disc is broken; no
// message can be shown in a language).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tamblor/lang/resource_names.h"
#include "tamblor/os/resources.h"

namespace tamblor::lang {

struct LanguageEntry {
  os::ModuleHandle module = 0;          // loaded while current; the program's module for the built-in entry
  std::string file;                     // full path of the library; empty for the built-in entry
  os::ModuleHandle built_in_module = 0;
  int id = 0;                           // 0 built-in, then 1, 2, ... in the order found
  std::string menu_label;               // string 1
  std::string language_name;            // string 2
  std::array<os::MenuHandle, kMenuCount> menus{};
  std::array<os::BitmapHandle, kBitmapCount> bitmaps{};
};

class LanguageSet {
 public:
  // The names (without directory) of the files a directory search finds for a
  // pattern, files only, passed through the browser's wildcard test, in the
  // order the search lists them.
  using FileLister = std::function<std::vector<std::string>(const std::string& pattern)>;

  LanguageSet(os::Resources& resources, FileLister list_files);
  ~LanguageSet();
  LanguageSet(const LanguageSet&) = delete;
  LanguageSet& operator=(const LanguageSet&) = delete;

  // Builds the list from the libraries "%c:%s\*32.dll" (drive, translation
  // dir) and makes current the first whose language name equals `language`
  // ignoring case, else the built-in language.
  void Create(char drive, const std::string& translation_dir, const std::string& language);

  // Called after every switch of the current language (not at Create), so the
  // top view and the toolbar can take the new language's resources.
  void SetSwitchListener(std::function<void()> listener) { on_switch_ = std::move(listener); }

  // String `id` of the current language in one shared buffer of 512
  // characters: the next call overwrites it.
  const char* String(int id);
  // The current language's menu of that name (one of the four).
  os::MenuHandle Menu(const std::string& name) const;
  // The current language's bitmap of that name, 0 for a name that is none of
  // the ten or a bitmap the language lacks.
  os::BitmapHandle Bitmap(const std::string& name) const;
  // A modal dialog from the current language's template.
  std::intptr_t Dialog(const char* name, os::WindowHandle owner, void* procedure, std::intptr_t parameter);

  // Switches to the language of menu command `command` (id + 50). False when
  // the command names no language or the current one.
  bool OnLanguageCommand(int command);
  // Sets the check marks of the Language popup when `popup_index` is its
  // position in `menu_bar` (the item count less 2). False for other popups.
  bool OnLanguagePopup(os::MenuHandle menu_bar, int popup_index);

  int current_id() const { return current_; }
  const std::vector<LanguageEntry>& entries() const { return entries_; }

 private:
  void MakeCurrent(LanguageEntry& entry, bool switching);
  void Unload(LanguageEntry& entry);
  LanguageEntry* Current();
  const LanguageEntry* Current() const;

  os::Resources& resources_;
  FileLister list_files_;
  std::function<void()> on_switch_;
  std::vector<LanguageEntry> entries_;
  int next_id_ = 0;   // never reset
  int current_ = -1;
  std::string buffer_;  // the shared text of String
};

}  // namespace tamblor::lang
