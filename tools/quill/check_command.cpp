// quill check SCRIPT [--dump] [-- OPTIONS]
//
// Parses an installation script with the installer's own start-up code, on a
// modelled machine: the script's directory is drive A: (a removable disk, the
// installer's own directory and the current directory; a multi-disk script
// restarts from a temporary copy on a scratch drive C:), Windows lives in
// C:\WINDOWS, the system reports Windows 3.95 over DOS 7.0 with 16 MB of
// memory and a 640 x 480 display of 256 colours, and no component is
// registered. The words after "--" that begin with "-" are the installer's
// command-line options (the values of $SYSTEM$, $SYS2$ and $SYS3$, at most
// three). IF conditions are decided on this machine; those on the user's
// choices become deferred blocks.
//
// Output and exit status:
//   0  "OK"; with --dump the plan follows (format below).
//   1  a syntax error: exactly two lines, "Syntax error, line: N" and the
//      offending line as the parser holds it (after parse-time macro
//      substitution).
//   2  the script cannot be opened: the FILENOTFOUNDPROMPT text, the script
//      path as given, and ". ".
//   3  an EXITMESSAGE was reached: its text lines.
//
// Dump format (one item per line, in this order; lists keep script order;
// optional parts are left out when absent). Texts are written in double
// quotes; a quote inside is doubled and control characters are written as
// \xNN (other backslashes are literal). Numbers are decimal unless shown with
// 0x.
//   title "T" font "Arial" italic 0 underline 0 bold 0 size 0
//   title-color R,G,B
//   screen-colors R,G,B R,G,B
//   font-name "F"
//   screen-graphic "PATH" placement N
//   intro-screen "PATH" seconds N
//   destination DEFAULTDIR|DIR2|DIR3 "PATH" ask-mode N [prompt "P"]
//   ask N default "A" prompt "P"
//   macro NAME "VALUE"                  (the 19 macros, $ signs left out)
//   min-cpu N
//   disk-space N
//   group-disk-space GROUP N            (each group number given a size)
//   item-disk-space N N ...             (one requirement per group item)
//   progress-total N
//   overwrite NO|YES|ASK|NEW
//   unpacker PKWARE|LHA
//   reboot N
//   uninstall N title "T" begin "B" end "E"
//   run-at-start "C"
//   run-at-exit "C"
//   readme "R"
//   prompt KEYWORD "TEXT"               (all 17)
//   regserver "F"
//   file "NAME" compression N overwrite M popup N attributes 0xNN [source "S" kind N] [groups I,I] [error]
//   insertdisk "NAME" [check "C"] popup N [error]
//   delete "P"
//   rename "OLD" "NEW"
//   winitem group "G" command "C" title "T" workdir "W" icon "I" index "X" action add|replace|remove
//   inifile section "S" key "K" value "V" file "F" mode N add N
//   addtext text "T" file "F" place "P" replace N
//   autoexec mode N install-dir N share N files N locks N
//     path "P"  /  add "L"              (indented, one per entry)
//   config mode N buffers N files N
//     add "L"
//   registry ROOT "PATH" NEW|DELETE|RENAME|QUERY [new "N"]
//     value TYPE NEW|... name "N"|DEFAULT [data "D"] [new "N"|DEFAULT]
//   deferred-block line N lines N
//   screen first|last|group-header|group-page|popup [details] size WxH items N
//     item static|button|checkbox|radio id N at X,Y "TEXT"
//   group-items N preselected I,I
//   group-map NUMBER ITEM
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "install/ui/builtin_texts.h"
#include "install/os/host/host_machine.h"
#include "install/os/host/host_system_info.h"
#include "install/script/script_parser.h"
#include "install/ui/host/host_desktop.h"
#include "tools/quill/command.h"
#include "tools/quill/installer_start.h"

namespace quill {
namespace {

using install::script::InstallPlan;

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"') {
      out += "\"\"";
    } else if (u < 0x20 || u == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

class Dump {
 public:
  explicit Dump(std::FILE* out) : out_(out) {}
  void Line(const std::string& text) { std::fprintf(out_, "%s\n", text.c_str()); }

 private:
  std::FILE* out_;
};

std::string N(long long value) { return std::to_string(value); }

std::string Color(const install::script::Rgb& c) {
  return N(c.red) + "," + N(c.green) + "," + N(c.blue);
}

const char* OverwriteName(install::script::OverwriteMode mode) {
  switch (mode) {
    case install::script::OverwriteMode::No: return "NO";
    case install::script::OverwriteMode::Yes: return "YES";
    case install::script::OverwriteMode::Ask: return "ASK";
    case install::script::OverwriteMode::New: return "NEW";
  }
  return "?";
}

// --- Dialog templates, read back for the dump -------------------------------

class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  std::size_t offset() const { return at_; }
  void AlignTo4() { at_ = (at_ + 3) & ~static_cast<std::size_t>(3); }
  uint16_t U16() {
    if (at_ + 2 > bytes_.size()) { ok_ = false; return 0; }
    uint16_t v = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  uint32_t U32() {
    uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  std::string Text() {
    std::string text;
    for (uint16_t unit = U16(); ok_ && unit != 0; unit = U16()) {
      text.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
    }
    return text;
  }
  // A class or title field: 0xFFFF + atom, or a text.
  std::string NameOrAtom(uint16_t* atom) {
    if (at_ + 2 <= bytes_.size() && bytes_[at_] == 0xFF && bytes_[at_ + 1] == 0xFF) {
      U16();
      *atom = U16();
      return {};
    }
    *atom = 0;
    return Text();
  }

 private:
  const std::vector<uint8_t>& bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

void DumpScreen(Dump& dump, const std::string& heading, const install::script::DialogTemplate& dialog) {
  TemplateReader r(dialog.bytes);
  uint32_t style = r.U32();
  r.U32();  // extended style
  uint16_t count = r.U16();
  r.U16();  // x
  r.U16();  // y
  int16_t cx = static_cast<int16_t>(r.U16());
  int16_t cy = static_cast<int16_t>(r.U16());
  uint16_t atom = 0;
  r.NameOrAtom(&atom);  // menu
  r.NameOrAtom(&atom);  // class
  r.Text();             // title
  std::string font;
  if (style & install::script::kDsSetFont) {
    uint16_t points = r.U16();
    font = " font " + Quote(r.Text()) + " " + N(points);
  }
  if (!r.ok()) {
    dump.Line("screen " + heading + " malformed (" + N(static_cast<long long>(dialog.bytes.size())) + " bytes)");
    return;
  }
  dump.Line("screen " + heading + " size " + N(cx) + "x" + N(cy) + " items " + N(count) + font);
  for (uint16_t i = 0; i < count && r.ok(); ++i) {
    r.AlignTo4();
    uint32_t item_style = r.U32();
    r.U32();
    int16_t x = static_cast<int16_t>(r.U16());
    int16_t y = static_cast<int16_t>(r.U16());
    r.U16();
    r.U16();
    uint16_t id = r.U16();
    uint16_t class_atom = 0;
    r.NameOrAtom(&class_atom);
    uint16_t title_atom = 0;
    std::string text = r.NameOrAtom(&title_atom);
    r.U16();  // creation data size
    const char* kind = "static";
    if (class_atom == install::script::kClassButton) {
      uint32_t type = item_style & 0x0F;
      kind = type == install::script::kBsAutoCheckBox     ? "checkbox"
             : type == install::script::kBsAutoRadioButton ? "radio"
                                                           : "button";
    }
    if (!r.ok()) break;
    dump.Line("  item " + std::string(kind) + " id " + N(id) + " at " + N(x) + "," + N(y) + " " + Quote(text));
  }
}

void DumpRegistry(Dump& dump, const install::script::RegistryBlock& block) {
  static const char* kKeyOps[] = {"NEW", "DELETE", "RENAME", "QUERY"};
  static const char* kValueOps[] = {"NEW", "DELETE", "RENAME", "REPLACE", "MAX", "MIN", "INCREMENT"};
  std::string line = "registry " + block.root_name + " " + Quote(block.key_path) + " " +
                     kKeyOps[static_cast<int>(block.operation)];
  if (block.operation == install::script::RegistryKeyOperation::Rename) line += " new " + Quote(block.new_key_name);
  dump.Line(line);
  for (const install::script::RegistryValue& v : block.values) {
    std::string value = "  value " + N(v.type) + " " + kValueOps[static_cast<int>(v.operation)] + " name " +
                        (v.name ? Quote(*v.name) : std::string("DEFAULT"));
    using Op = install::script::RegistryValueOperation;
    if (v.operation == Op::Rename) {
      value += " new " + (v.new_name ? Quote(*v.new_name) : std::string("DEFAULT"));
    } else if (v.operation != Op::Delete) {
      value += " data " + Quote(v.data);
    }
    dump.Line(value);
  }
}

// Settings, destinations, questions, macros, requirements, behaviour and prompts.
void DumpSettings(Dump& dump, const InstallPlan& plan) {
  using namespace install::script;
  const TitleFont& f = plan.title_font;
  dump.Line("title " + Quote(plan.title) + " font " + Quote(f.face) + " italic " + N(f.italic) +
            " underline " + N(f.underline) + " bold " + N(f.bold) + " size " + N(f.point_size));
  dump.Line("title-color " + Color(plan.title_color));
  dump.Line("screen-colors " + Color(plan.screen_color_from) + " " + Color(plan.screen_color_to));
  dump.Line("font-name " + Quote(plan.screen_font_face));
  if (plan.screen_graphic)
    dump.Line("screen-graphic " + Quote(plan.screen_graphic->path) + " placement " + N(plan.screen_graphic->placement));
  if (plan.intro_screen)
    dump.Line("intro-screen " + Quote(plan.intro_screen->path) + " seconds " + N(plan.intro_screen->seconds));
  static const char* kDestinations[] = {"DEFAULTDIR", "DIR2", "DIR3"};
  for (int i = 0; i < 3; ++i) {
    const auto& d = plan.destinations[static_cast<std::size_t>(i)];
    if (!d) continue;
    std::string line = std::string("destination ") + kDestinations[i] + " " + Quote(d->path) + " ask-mode " + N(d->ask_mode);
    if (d->has_own_prompt) line += " prompt " + Quote(d->prompt);
    dump.Line(line);
  }
  for (int i = 0; i < 5; ++i) {
    const auto& a = plan.asks[static_cast<std::size_t>(i)];
    if (a) dump.Line("ask " + N(i + 1) + " default " + Quote(a->default_answer) + " prompt " + Quote(a->prompt));
  }
  for (int i = 0; i < kMacroCount; ++i) {
    Macro macro = static_cast<Macro>(i);
    std::string_view name = MacroName(macro);
    dump.Line("macro " + std::string(name.substr(1, name.size() - 2)) + " " + Quote(plan.macros.Value(macro)));
  }
  dump.Line("min-cpu " + N(plan.min_cpu));
  dump.Line("disk-space " + N(plan.disk_space));
  for (int g = 0; g < 100; ++g) {
    int32_t size = plan.group_disk_space[static_cast<std::size_t>(g)];
    if (size != -1) dump.Line("group-disk-space " + N(g) + " " + N(size));
  }
  std::string items = "item-disk-space";
  for (int32_t size : plan.item_disk_space) items += " " + N(size);
  dump.Line(items);
  dump.Line("progress-total " + N(plan.progress_total));
  dump.Line(std::string("overwrite ") + OverwriteName(plan.default_overwrite));
  dump.Line(std::string("unpacker ") + (plan.unpacker == kUnpackerLha ? "LHA" : "PKWARE"));
  dump.Line("reboot " + N(plan.reboot_mode));
  dump.Line("uninstall " + N(plan.uninstall) + " title " + Quote(plan.uninstall_title) + " begin " +
            Quote(plan.uninstall_begin) + " end " + Quote(plan.uninstall_end));
  dump.Line("run-at-start " + Quote(plan.run_at_start.command));
  for (const RunCommand& c : plan.run_at_exit) dump.Line("run-at-exit " + Quote(c.command));
  dump.Line("readme " + Quote(plan.readme));
  for (const install::ui::PromptTextSlot& p : install::ui::PromptTextTable()) {
    dump.Line("prompt " + std::string(p.keyword) + " " + Quote(plan.prompts.*p.text));
  }
  for (const std::string& server : plan.reg_servers) dump.Line("regserver " + Quote(server));
}

// The FILE and INSERTDISK entries in script order.
void DumpFileList(Dump& dump, const InstallPlan& plan) {
  using namespace install::script;
  for (const FileEntry& e : plan.file_list) {
    if (e.IsDiskChange()) {
      std::string line = "insertdisk " + Quote(e.name);
      if (e.kind == FileEntryKind::DiskChangeCheck) line += " check " + Quote(e.disk_check);
      line += " popup " + N(e.popup);
      if (e.error) line += " error";
      dump.Line(line);
      continue;
    }
    char attributes[8];
    std::snprintf(attributes, sizeof attributes, "0x%02X", e.attributes);
    std::string line = "file " + Quote(e.name) + " compression " + N(static_cast<int>(e.compression)) +
                       " overwrite " + OverwriteName(e.overwrite) + " popup " + N(e.popup) +
                       " attributes " + attributes;
    if (e.has_source) line += " source " + Quote(e.source) + " kind " + N(static_cast<int>(e.source_kind));
    std::string groups;
    for (uint16_t g : e.groups) {
      if (g == kNoGroup) continue;
      if (!groups.empty()) groups += ',';
      groups += N(g);
    }
    if (!groups.empty()) line += " groups " + groups;
    if (e.error) line += " error";
    dump.Line(line);
  }
}

// Deletions, renames, program items, INI and text edits, DOS files, registry and deferred blocks.
void DumpItems(Dump& dump, const InstallPlan& plan) {
  using namespace install::script;
  for (const DeleteEntry& d : plan.deletions) dump.Line("delete " + Quote(d.path));
  for (const RenameEntry& r : plan.renames) dump.Line("rename " + Quote(r.old_path) + " " + Quote(r.new_path));
  static const char* kActions[] = {"add", "replace", "remove"};
  for (const ProgramItemEntry& w : plan.program_items) {
    dump.Line("winitem group " + Quote(w.group) + " command " + Quote(w.command) + " title " + Quote(w.title) +
              " workdir " + Quote(w.working_dir) + " icon " + Quote(w.icon_file) + " index " +
              Quote(w.icon_index) + " action " + kActions[static_cast<int>(w.action)]);
  }
  for (const IniEntry& i : plan.ini_edits) {
    dump.Line("inifile section " + Quote(i.section) + " key " + Quote(i.key) + " value " + Quote(i.value) +
              " file " + Quote(i.file) + " mode " + N(static_cast<int>(i.mode)) + " add " + N(i.add));
  }
  for (const AddTextEntry& a : plan.text_insertions) {
    dump.Line("addtext text " + Quote(a.text) + " file " + Quote(a.file) + " place " + Quote(a.place) +
              " replace " + N(a.replace));
  }
  const AutoexecEdits& ae = plan.autoexec_edits;
  dump.Line("autoexec mode " + N(static_cast<int>(ae.mode)) + " install-dir " + N(ae.add_install_dir) +
            " share " + N(ae.share_wanted) + " files " + N(ae.share_min_files) + " locks " + N(ae.share_min_locks));
  for (const MacroText& p : ae.path_entries) dump.Line("  path " + Quote(p.text));
  for (const MacroText& l : ae.added_lines) dump.Line("  add " + Quote(l.text));
  const ConfigEdits& ce = plan.config_edits;
  dump.Line("config mode " + N(static_cast<int>(ce.mode)) + " buffers " + N(ce.buffers_min) + " files " +
            N(ce.files_min));
  for (const MacroText& l : ce.added_lines) dump.Line("  add " + Quote(l.text));
  for (const RegistryBlock& block : plan.registry_blocks) DumpRegistry(dump, block);
  for (const DeferredBlock& block : plan.deferred_blocks) {
    dump.Line("deferred-block line " + N(block.first_line_number) + " lines " +
              N(static_cast<long long>(block.lines.size())));
  }
}

// Text screens, group pages, pop-ups and the group selection state.
void DumpScreens(Dump& dump, const InstallPlan& plan) {
  using namespace install::script;
  if (plan.first_screen) DumpScreen(dump, "first", *plan.first_screen);
  if (plan.last_screen) DumpScreen(dump, "last", *plan.last_screen);
  if (plan.group_header) {
    DumpScreen(dump, "group-header exclusive " + N(plan.group_header->exclusive) + " items-before " +
                         N(plan.group_header->items_before),
               plan.group_header->dialog);
  }
  for (const GroupPage& page : plan.group_pages) {
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%X", page.bit_mask);
    DumpScreen(dump, "group-page " + N(page.page_number) + " first " + N(page.first_item) + " end " +
                         N(page.end_item) + " mask " + mask + " exclusive " + N(page.exclusive),
               page.dialog);
  }
  for (const PopupMessage& popup : plan.popups) {
    DumpScreen(dump, "popup " + N(popup.number) + " face " + Quote(popup.face) + " " + N(popup.size),
               popup.dialog);
  }
  std::string preselected;
  for (int i = 0; i < plan.group_item_count && i < 100; ++i) {
    if (!plan.group_preselected[static_cast<std::size_t>(i)]) continue;
    if (!preselected.empty()) preselected += ',';
    preselected += N(i);
  }
  dump.Line("group-items " + N(plan.group_item_count) + " preselected " + (preselected.empty() ? "-" : preselected));
  for (int g = 0; g < 100; ++g) {
    int item = plan.group_map.ItemOf(g);
    if (item >= 0) dump.Line("group-map " + N(g) + " " + N(item));
  }
}

void DumpPlan(Dump& dump, const InstallPlan& plan) {
  DumpSettings(dump, plan);
  DumpFileList(dump, plan);
  DumpItems(dump, plan);
  DumpScreens(dump, plan);
}

// --- Running the parse ---------------------------------------------------

class RecordingPresenter : public install::script::ScreenPresenter {
 public:
  void ShowExitMessage(const install::script::DialogTemplate&, const std::vector<std::string>& lines) override {
    shown = true;
    this->lines = lines;
  }
  bool shown = false;
  std::vector<std::string> lines;
};

// A fresh local directory, removed with everything in it at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate = base / ("quill-check-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct CheckArguments {
  std::string script;
  bool dump = false;
  std::vector<std::string> options;
};

bool ReadArguments(const std::vector<std::string>& args, CheckArguments* out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      for (std::size_t j = i + 1; j < args.size(); ++j) {
        if (out->options.size() < 3 && args[j].size() > 1 && args[j][0] == '-') {
          out->options.push_back(args[j].substr(1));
        }
      }
      break;
    }
    if (a == "--dump") {
      out->dump = true;
    } else if (!a.empty() && a[0] == '-') {
      return false;
    } else if (out->script.empty()) {
      out->script = a;
    } else {
      return false;
    }
  }
  return !out->script.empty();
}

int ScriptNotFound(const std::string& script) {
  std::printf("%s%s. \n", std::string(install::ui::BuiltinPromptTextFor("FILENOTFOUNDPROMPT")).c_str(),
              script.c_str());
  return 2;
}

int RunCheck(const std::vector<std::string>& args) {
  CheckArguments arguments;
  if (!ReadArguments(args, &arguments)) return PrintUsage("check");

  std::error_code error;
  std::filesystem::path local = std::filesystem::absolute(arguments.script, error);
  std::filesystem::path directory = local.parent_path();
  if (error || !std::filesystem::is_directory(directory, error)) return ScriptNotFound(arguments.script);

  // The script's directory is the floppy drive A:; the installer itself is
  // an empty stand-in on the floppy drive B: (the script's directory is
  // never written); C: is a scratch hard disk that receives the temporary
  // copy of a multi-disk restart.
  ScratchDirectory scratch;
  std::error_code scratch_error;
  std::filesystem::create_directories(scratch.path() / "program", scratch_error);
  std::filesystem::create_directories(scratch.path() / "c", scratch_error);
  std::ofstream(scratch.path() / "program" / "INSTALL.EXE").close();
  install::os::HostMachine machine;
  machine.MapDrive('A', directory, install::os::DriveType::Removable);
  machine.MapDrive('B', scratch.path() / "program", install::os::DriveType::Removable);
  machine.MapDrive('C', scratch.path() / "c", install::os::DriveType::Fixed);
  machine.SetTempPath(std::string("C:\\"));
  machine.SetModulePath("B:\\INSTALL.EXE");
  machine.SetCurrentDirectory("B:\\");
  install::os::HostSystemInfo system;
  install::ui::HostDesktop desktop;
  install::ui::HostTextMeasure measure;

  std::string command_line;
  for (const std::string& option : arguments.options) command_line += "-" + option + " ";
  command_line += "A:\\" + local.filename().string();
  std::unique_ptr<install::app::Installation> installation =
      StartInstaller(machine, system, desktop, measure, command_line);
  if (!installation) return ScriptNotFound(arguments.script);

  RecordingPresenter presenter;
  if (installation->CreatePlanAndParse(&presenter) == 0) {
    std::printf("OK\n");
    if (arguments.dump) {
      Dump dump(stdout);
      DumpPlan(dump, *installation->plan());
    }
    return 0;
  }
  if (presenter.shown) {
    for (const std::string& line : presenter.lines) std::printf("%s\n", line.c_str());
    return 3;
  }
  if (!desktop.Messages().empty()) {
    const auto& message = desktop.Messages().back();
    if (message.caption.rfind(std::string(install::ui::kSyntaxErrorCaption), 0) == 0) {
      std::printf("%s\n%s\n", message.caption.c_str(), message.text.c_str());
      return 1;
    }
  }
  return ScriptNotFound(arguments.script);
}

CommandRegistration check{"check", "check SCRIPT [--dump] [-- OPTIONS]", RunCheck};

}  // namespace
}  // namespace quill
