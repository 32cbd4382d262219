// INIFILE entries applied through the profile seam: the same cases run on
// the host model natively (ini_files_test.cpp) and on the system's profile
// functions under Wine (win32/ini_files_win32_test.cpp). Each case works in a
// directory of its own that also serves as the Windows directory ($WINDIR$);
// "<D>" in the expected log stands for that directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install/app/plan_defaults.h"
#include "install/os/machine.h"
#include "install/os/profile.h"
#include "install/script/ini_edit_args.h"
#include "install/script/script_cursor.h"
#include "install/sysedit/ini_files.h"
#include "install/sysedit/install_log.h"
#include "install/sysedit/text_file.h"
#include "install/ui/host/host_desktop.h"

namespace install::sysedit::testing {

// In IniCase::before: a directory takes the file's place.
inline constexpr char kDirectory[] = "<directory>";

struct IniCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> before;  // file name -> bytes or kDirectory
  std::vector<std::string> lines;                             // INIFILE lines, in order
  std::vector<int> answers;                                   // message box answers, in order
  std::vector<std::pair<std::string, std::optional<std::string>>> after;  // nullopt: no such file
  std::string log;
  std::vector<int> results;  // ApplyIniEntry's result per line
};

inline std::vector<IniCase> IniCases() {
  const std::string extensions = "[Extensions]\r\nbmp=pbrush.exe ^.bmp\r\n";
  return {
      {"AMissingKeyGivesFourFieldsAnExistingOneFive",
       {{"QUILL.INI", extensions}},
       {"INIFILE \"Extensions\" \"txt\" \"notepad.exe ^.txt\" QUILL.INI",
        "INIFILE \"extensions\" \"BMP\" \"paint.exe ^.bmp\" QUILL.INI"},
       {},
       {{"QUILL.INI", "[Extensions]\r\nbmp=paint.exe ^.bmp\r\ntxt=notepad.exe ^.txt\r\n"}},
       "INIFILE: \"Extensions\", \"txt\", \"notepad.exe ^.txt\", \"QUILL.INI\"\r\n"
       "INIFILE: \"extensions\", \"BMP\", \"paint.exe ^.bmp\", \"QUILL.INI\", \"pbrush.exe ^.bmp\"\r\n",
       {kEditDone, kEditDone}},
      {"AddAppendsAWordThatIsNotThereYet",
       {{"QUILL.INI", "[boot]\r\ndrivers=a.dll b.dll\r\n"}},
       {"INIFILE \"boot\" \"drivers\" \"B.DLL\" QUILL.INI ADD",
        "INIFILE \"boot\" \"drivers\" \"c.dll\" QUILL.INI ADD"},
       {},
       {{"QUILL.INI", "[boot]\r\ndrivers=a.dll b.dll c.dll\r\n"}},
       "INIFILE: \"boot\", \"drivers\", \"c.dll\", \"QUILL.INI\", \"a.dll b.dll c.dll\"\r\n",
       {kEditDone, kEditDone}},
      {"TheSameValueInAnotherCaseChangesNothing",
       {{"QUILL.INI", "[A]\r\nkey = Value\r\n\r\n"}},
       {"INIFILE \"A\" \"KEY\" \"VALUE\" QUILL.INI", "INIFILE \"A\" \"key\" \"value\" QUILL.INI OVERWRITE"},
       {},
       {{"QUILL.INI", "[A]\r\nkey = Value\r\n\r\n"}},
       "",
       {kEditDone, kEditDone}},
      {"ANewSectionIsLoggedAfterItsKey",
       {{"QUILL.INI", extensions}},
       {"INIFILE \"Quill\" \"Path\" \"$WINDIR$\\QUILL\" QUILL.INI"},
       {},
       {{"QUILL.INI", extensions + "[Quill]\r\nPath=<D>\\QUILL\r\n"}},
       "INIFILE: \"Quill\", \"Path\", \"<D>\\QUILL\", \"QUILL.INI\"\r\n"
       "INIFILE: \"Quill\", \"QUILL.INI\"\r\n",
       {kEditDone}},
      {"ANewFileIsLoggedFirstByItsFullName",
       {},
       {"INIFILE \"Quill\" \"Path\" \"C:\\QUILL\" NEW.INI", "INIFILE \"Quill\" \"Help\" \"\" NEW.INI"},
       {},
       {{"NEW.INI", "[Quill]\r\nPath=C:\\QUILL\r\nHelp=\r\n"}},
       "FILE: <D>\\NEW.INI\r\n"
       "INIFILE: \"Quill\", \"Path\", \"C:\\QUILL\", \"NEW.INI\"\r\n"
       "INIFILE: \"Quill\", \"NEW.INI\"\r\n"
       "INIFILE: \"Quill\", \"Help\", \"\", \"NEW.INI\"\r\n",
       {kEditDone, kEditDone}},
      {"AnEmptySectionCountsAsNew",
       {{"QUILL.INI", "[Empty]\r\n[Other]\r\nx=1\r\n"}},
       {"INIFILE \"Empty\" \"k\" \"v\" QUILL.INI"},
       {},
       {{"QUILL.INI", "[Empty]\r\nk=v\r\n[Other]\r\nx=1\r\n"}},
       "INIFILE: \"Empty\", \"k\", \"v\", \"QUILL.INI\"\r\n"
       "INIFILE: \"Empty\", \"QUILL.INI\"\r\n",
       {kEditDone}},
      {"AskAnsweredNoSkipsTheEntryYesAppliesIt",
       {{"QUILL.INI", extensions}},
       {"INIFILE \"Extensions\" \"txt\" \"notepad.exe\" QUILL.INI ASK",
        "INIFILE \"Extensions\" \"wri\" \"write.exe\" QUILL.INI ASK"},
       {ui::kIdNo, ui::kIdYes},
       {{"QUILL.INI", extensions + "wri=write.exe\r\n"}},
       "INIFILE: \"Extensions\", \"wri\", \"write.exe\", \"QUILL.INI\"\r\n",
       {kEditRejected, kEditDone}},
      {"AFileThatCannotBeWrittenIsNamedAndLeftAsItWas",
       {{"LOCKED.INI", kDirectory}},
       {"INIFILE \"Extensions\" \"txt\" \"notepad.exe\" LOCKED.INI"},
       {},
       {{"LOCKED.INI", std::nullopt}},
       "",
       {kEditFailed}},
  };
}

// The desktop's message boxes of a case, as "text|caption|style".
inline std::vector<std::string> IniCaseBoxes(const ui::HostDesktop& desktop) {
  std::vector<std::string> boxes;
  for (const auto& m : desktop.Messages()) boxes.push_back(m.text + "|" + m.caption + "|" + std::to_string(m.style));
  return boxes;
}

inline std::string WithDirectory(std::string text, const std::string& directory) {
  for (std::size_t at = text.find("<D>"); at != std::string::npos; at = text.find("<D>", at + directory.size())) {
    text.replace(at, 3, directory);
  }
  return text;
}

// Runs one case in `directory` (which exists and is empty) on `machine`
// with `profile`; the files are written and read through the machine.
inline void RunIniCase(const IniCase& c, os::Machine& machine, os::Profile& profile, const std::string& directory,
                       ui::HostDesktop& desktop) {
  SCOPED_TRACE(c.name);
  for (const auto& [name, bytes] : c.before) {
    if (bytes == kDirectory) {
      ASSERT_TRUE(machine.CreateDirectory(directory + "\\" + name));
    } else {
      ASSERT_TRUE(WriteWholeFile(machine, directory + "\\" + name, bytes));
    }
  }
  std::unique_ptr<script::InstallPlan> plan = app::CreateInstallPlan(app::MachineFacts{});
  plan->macros.windows_dir = directory;
  InstallLog log(machine);
  log.set_enabled(true);
  log.SetLogPath(directory);
  for (int answer : c.answers) desktop.QueueAnswer(answer);
  SystemEditServices services{machine, desktop, log, &profile};
  script::ScriptCursor cursor;
  std::vector<int> results;
  for (const std::string& line : c.lines) {
    cursor.SetLine(line);
    std::string keyword;
    cursor.ReadKeyword(keyword);
    const script::IniEntry entry = script::ParseIniFile(cursor);
    ASSERT_FALSE(entry.error) << line;
    results.push_back(ApplyIniEntry(entry, plan->macros, plan->prompts, services));
  }
  EXPECT_EQ(results, c.results);
  for (const auto& [name, bytes] : c.after) {
    const std::optional<std::string> expected =
        bytes ? std::optional<std::string>(WithDirectory(*bytes, directory)) : std::nullopt;
    EXPECT_EQ(ReadFileBytes(machine, directory + "\\" + name), expected) << name;
  }
  EXPECT_EQ(ReadFileBytes(machine, directory + "\\install.log").value_or(""), WithDirectory(c.log, directory));
}

}  // namespace install::sysedit::testing
