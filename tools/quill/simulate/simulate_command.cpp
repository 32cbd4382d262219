// quill simulate MACHINE ANSWERS OUT: a whole installation on the host model
// of a Windows machine, without windows, with the installer's own start-up,
// parser and executor. MACHINE describes the machine, ANSWERS every
// interaction in order ("-": none, defaults taken); OUT (new) receives the
// final tree of every drive, state.txt, registry.reg, progman.txt and
// transcript.txt. Exit 0: the run ended; 1: usage or an unreadable line;
// 2: the answers and the run disagree; 3: the script stopped the installer.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "install/app/installation.h"
#include "install/os/ascii_case.h"
#include "install/os/host/host_machine.h"
#include "install/os/host/host_profile.h"
#include "install/os/host/host_program_manager.h"
#include "install/os/host/host_registry.h"
#include "install/os/host/host_system_info.h"
#include "install/ui/host/answer_desktop.h"
#include "install/ui/text_measure.h"
#include "tools/quill/command.h"
#include "tools/quill/installer_start.h"
#include "tools/quill/simulate/machine_file.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using install::os::HostMachine;
using simulate::MachineFile;

constexpr char kUsage[] = "simulate MACHINE ANSWERS OUT";

std::optional<std::string> ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

bool CopyTree(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) return false;
  if (!fs::is_directory(from, error)) return false;
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  if (error) return false;
  // The copies keep their originals' times: they are the files' dates.
  for (auto it = fs::recursive_directory_iterator(from, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const fs::path copy = to / fs::relative(it->path(), from, error);
    std::error_code ignored;
    if (it->is_regular_file()) fs::last_write_time(copy, fs::last_write_time(it->path(), ignored), ignored);
  }
  return !error;
}

// The simulated machine: drive folders and disks copied under OUT, mapped
// into a host machine.
class SimulatedMachine {
 public:
  SimulatedMachine(const MachineFile& facts, const fs::path& out) : facts_(facts), out_(out) {}

  // Copies the folders and maps the drives. False with *error set.
  bool Build(std::string* error) {
    for (const simulate::DiskFact& disk : facts_.disks) {
      if (!CopyTree(disk.folder, DiskFolder(disk.name))) return Fail(error, "disk " + disk.name + ": cannot copy " + disk.folder.string());
    }
    for (const simulate::DriveFact& drive : facts_.drives) {
      if (drive.folder) {
        if (!CopyTree(*drive.folder, DriveFolder(drive.letter)))
          return Fail(error, "drive " + std::string(1, drive.letter) + ": cannot copy " + drive.folder->string());
        machine_.MapDrive(drive.letter, DriveFolder(drive.letter), drive.type, drive.label);
        if (drive.free_bytes) machine_.SetDriveFreeSpace(drive.letter, drive.free_bytes);
        ClearAttributes(drive.letter, DriveFolder(drive.letter));
      } else if (!drive.disk.empty()) {
        InsertDisk(drive.letter, drive.disk, drive.type);
      }
    }
    machine_.SetWindowsDirectory(facts_.windows_dir);
    machine_.SetSystemDirectory(facts_.system_dir);
    machine_.SetModulePath(facts_.program_path);
    // The running installer's own file is on its disk (the restart copies
    // it); an empty one stands for it when the disk's folder has none.
    if (machine_.GetAttributes(facts_.program_path) == install::os::kInvalidAttributes) {
      if (auto program = machine_.Open(facts_.program_path, install::os::OpenMode::CreateNew)) program->Close();
    }
    for (const auto& [name, value] : facts_.environment) machine_.SetEnvironmentVariable(name, value);
    // The temporary path comes from TMP or TEMP, as on Windows; without
    // either the query fails.
    for (const char* name : {"TMP", "TEMP"}) {
      auto found = facts_.environment.find(name);
      if (found == facts_.environment.end()) continue;
      std::string temp = found->second;
      if (temp.empty() || temp.back() != '\\') temp += '\\';
      machine_.SetTempPath(temp);
      break;
    }
    for (const std::string& dir : facts_.directories) {
      if (!CreateAll(dir)) return Fail(error, "dir " + dir + ": cannot be made");
    }
    return ApplyPathFacts(error);
  }

  // Puts disk `name` into drive `letter`. False when there is no such disk.
  bool InsertDisk(char letter, const std::string& name,
                  install::os::DriveType type = install::os::DriveType::Removable) {
    const simulate::DiskFact* disk = FindDisk(name);
    if (!disk) return false;
    machine_.MapDrive(letter, DiskFolder(name), type, disk->label);
    if (disk->free_bytes) machine_.SetDriveFreeSpace(letter, disk->free_bytes);
    in_drive_[letter] = name;
    // A disk's files start without attributes; what the run or an attr line
    // gives them stays with the disk.
    if (!inserted_before_.insert(name).second) return true;
    ClearAttributes(letter, DiskFolder(name));
    for (const simulate::PathFact& fact : facts_.attributes) {
      if (DiskOf(fact.path) == name) ApplyAttributes(std::string(1, letter) + fact.path.substr(name.size()), fact.value);
    }
    return true;
  }

  HostMachine& machine() { return machine_; }
  const std::map<char, std::string>& in_drive() const { return in_drive_; }
  fs::path DiskFolder(const std::string& name) const { return out_ / ".disks" / name; }
  fs::path DriveFolder(char letter) const {
    return out_ / std::string(1, static_cast<char>(letter - 'A' + 'a'));
  }

 private:
  static bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
  }
  const simulate::DiskFact* FindDisk(const std::string& name) const {
    for (const simulate::DiskFact& disk : facts_.disks) {
      if (disk.name == name) return &disk;
    }
    return nullptr;
  }
  // The disk of a NAME:\ path; empty for a drive path.
  std::string DiskOf(const std::string& path) const {
    const std::size_t colon = path.find(":\\");
    if (colon == std::string::npos || colon < 2) return {};
    return path.substr(0, colon);
  }
  bool CreateAll(const std::string& path) {
    std::string partial;
    std::size_t at = 0;
    while (at != std::string::npos) {
      at = path.find('\\', at + 1);
      partial = path.substr(0, at);
      if (partial.size() <= 2) continue;
      const uint32_t attributes = machine_.GetAttributes(partial);
      const bool exists = attributes != install::os::kInvalidAttributes;
      if (exists && !(attributes & install::os::kAttrDirectory)) return false;
      if (!exists && !machine_.CreateDirectory(partial)) return false;
    }
    return true;
  }
  // Files have no attributes unless an attr line gives them some.
  void ClearAttributes(char letter, const fs::path& root) {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
      if (!it->is_regular_file()) continue;
      std::string relative = fs::relative(it->path(), root, error).string();
      std::replace(relative.begin(), relative.end(), '/', '\\');
      machine_.SetAttributes(std::string(1, letter) + ":\\" + relative, install::os::kAttrNormal);
    }
  }
  void ApplyAttributes(const std::string& path, const std::string& letters) {
    uint32_t bits = 0;
    for (char c : letters) {
      if (c == 'R') bits |= install::os::kAttrReadOnly;
      if (c == 'H') bits |= install::os::kAttrHidden;
      if (c == 'S') bits |= install::os::kAttrSystem;
      if (c == 'A') bits |= install::os::kAttrArchive;
    }
    machine_.SetAttributes(path, bits ? bits : install::os::kAttrNormal);
  }
  // mtimes (on disks through a spare drive letter) and drive attributes.
  bool ApplyPathFacts(std::string* error) {
    for (const simulate::PathFact& fact : facts_.mtimes) {
      install::os::DosDateTime when;
      simulate::ParseDateTime(fact.value, &when);
      std::string path = fact.path;
      const std::string disk = DiskOf(path);
      char spare = 0;
      if (!disk.empty()) {
        for (char letter = 'Z'; letter > 'A' && !spare; --letter) {
          if (machine_.GetDriveType(std::string(1, letter) + ":\\") == install::os::DriveType::NoRootDir) spare = letter;
        }
        if (!spare || !FindDisk(disk)) return Fail(error, "mtime " + path + ": no such disk");
        machine_.MapDrive(spare, DiskFolder(disk), install::os::DriveType::Removable);
        path = std::string(1, spare) + path.substr(disk.size());
      }
      const bool set = machine_.SetDosFileTime(path, when);
      if (spare) machine_.UnmapDrive(spare);
      if (!set) return Fail(error, "line " + std::to_string(fact.line) + ": mtime " + fact.path + ": no such file");
    }
    for (const simulate::PathFact& fact : facts_.attributes) {
      if (DiskOf(fact.path).empty()) ApplyAttributes(fact.path, fact.value);
    }
    return true;
  }

  const MachineFile& facts_;
  fs::path out_;
  HostMachine machine_;
  std::map<char, std::string> in_drive_;
  std::set<std::string> inserted_before_;
};

std::string Attributes(uint32_t bits) {
  std::string letters;
  if (bits & install::os::kAttrReadOnly) letters += 'R';
  if (bits & install::os::kAttrHidden) letters += 'H';
  if (bits & install::os::kAttrSystem) letters += 'S';
  if (bits & install::os::kAttrArchive) letters += 'A';
  return letters.empty() ? "-" : letters;
}

std::string DosTimeText(install::os::DosDateTime when) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (when.date >> 9),
                (when.date >> 5) & 15, when.date & 31, when.time >> 11, (when.time >> 5) & 63,
                (when.time & 31) * 2);
  return text;
}

// "dir X:\PATH" and "file X:\PATH attr=... time=..." for every entry of a drive.
void ListDrive(HostMachine& machine, char letter, const fs::path& root, std::vector<std::string>* lines) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    std::string relative = fs::relative(it->path(), root, error).string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    const std::string path = std::string(1, letter) + ":\\" + relative;
    if (it->is_directory()) {
      lines->push_back("dir " + path);
      continue;
    }
    install::os::DosDateTime when;
    machine.GetDosFileTime(path, &when);
    lines->push_back("file " + path + " attr=" + Attributes(machine.GetAttributes(path)) + " time=" + DosTimeText(when));
  }
}

// Windows path order: compared without letter case.
bool PathLess(const std::string& a, const std::string& b) {
  const std::string ka = a.substr(a.find(' ') + 1), kb = b.substr(b.find(' ') + 1);
  return install::os::CompareIgnoringCase(ka.substr(0, ka.find(" attr=")), kb.substr(0, kb.find(" attr="))) < 0;
}

// A path of a command line or batch line without the quotes around it.
std::string Unquoted(std::string path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return path;
}

// The temporary copy's clean-up ("X:\...\~0000.pif /C X:\...\~0000.bat",
// paths quoted when they hold a space) is acted out: the batch file's "del"
// lines delete their files. Other programs only count as started.
void RunCleanUpBatch(HostMachine& machine, const std::string& command_line) {
  const std::size_t at = command_line.find(" /C ");
  if (at == std::string::npos) return;
  const std::string pif = Unquoted(command_line.substr(0, at));
  if (pif.find(install::app::kTempCopyMark) == std::string::npos || pif.size() < 4 ||
      !install::os::EqualsIgnoringCase(pif.substr(pif.size() - 4), ".pif")) {
    return;
  }
  const std::string batch = Unquoted(command_line.substr(at + 4));
  std::string text;
  if (std::unique_ptr<install::os::File> file = machine.Open(batch, install::os::OpenMode::Read)) {
    char buffer[4096];
    for (int32_t got; (got = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("del ", 0) == 0) machine.DeleteFile(Unquoted(line.substr(4)));
  }
}

class PrintingPresenter : public install::script::ScreenPresenter {
 public:
  void ShowExitMessage(const install::script::DialogTemplate&, const std::vector<std::string>& lines) override {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    shown = true;
  }
  bool shown = false;
};

int Simulate(const fs::path& machine_path, const std::string& answers_path, const fs::path& out) {
  std::string error;
  std::optional<MachineFile> facts = simulate::ReadMachineFile(machine_path, &error);
  if (!facts) return std::fprintf(stderr, "quill simulate: %s\n", error.c_str()), 1;
  const bool unscripted = answers_path == "-";
  std::vector<install::ui::AnswerDesktop::Answer> answers;
  if (!unscripted) {
    std::optional<std::string> text = ReadText(answers_path);
    if (!text) return std::fprintf(stderr, "quill simulate: %s: cannot be read\n", answers_path.c_str()), 1;
    answers = install::ui::ReadAnswerLines(*text);
  }
  std::error_code fs_error;
  if (fs::exists(out, fs_error) || !fs::create_directories(out, fs_error)) {
    return std::fprintf(stderr, "quill simulate: %s must be a new folder\n", out.string().c_str()), 1;
  }

  SimulatedMachine sim(*facts, out);
  if (!sim.Build(&error)) return std::fprintf(stderr, "quill simulate: %s\n", error.c_str()), 1;
  install::os::HostSystemInfo system(install::os::MakePlatformVersion(
      facts->windows_major, facts->windows_minor, facts->DosMajor(), facts->DosMinor()));
  system.SetProcessorType(facts->processor);
  if (facts->memory) system.SetTotalPhysicalMemory(*facts->memory);
  if (facts->display) system.SetDisplayMode({facts->display->width, facts->display->height, facts->display->color_bits});
  install::os::HostRegistry registry;
  if (facts->registry) {
    std::optional<std::string> text = ReadText(*facts->registry);
    if (!text || !registry.LoadRegedit4(*text))
      return std::fprintf(stderr, "quill simulate: %s: not a REGEDIT4 file\n", facts->registry->string().c_str()), 1;
  }
  install::os::HostProgramManager program_manager;
  install::os::HostProfile profile(sim.machine());
  sim.machine().SetProcessHandler([&sim](const HostMachine::StartedProcess& started, uint32_t*) {
    RunCleanUpBatch(sim.machine(), started.command_line);
    return true;
  });

  install::ui::AnswerDesktop desktop(answers, unscripted, [&sim](char letter, const std::string& name) {
    return sim.InsertDisk(letter, name);
  });
  {
    std::vector<std::string> order;
    for (const simulate::DiskFact& disk : facts->disks) order.push_back(disk.name);
    const auto a = sim.in_drive().find('A');
    desktop.set_disk_order('A', order, a == sim.in_drive().end() ? std::string() : a->second);
  }
  install::ui::HostTextMeasure measure;
  PrintingPresenter presenter;

  int status = 0;
  std::unique_ptr<install::app::Installation> installation =
      StartInstaller(sim.machine(), system, desktop, measure, facts->arguments);
  // The conditions read the registry while the script is parsed.
  if (installation) installation->SetPostCopyServices(&registry, &program_manager);
  if (!installation || installation->CreatePlanAndParse(&presenter) != 0) {
    status = 3;
  } else {
    desktop.set_bad_drive_text(installation->plan()->prompts.bad_drive);
    desktop.set_directory_creator(
        [&installation](const std::string& path) { return installation->CreateDestinationDirectory(path); });
    installation->SetProfile(&profile);
    installation->RunAtStart();
    installation->RunInstallation(desktop);
    installation->FinishRun();
    installation->ReleaseAtProcessEnd();
  }
  if (status == 3 && !desktop.mismatched()) {
    // The message the installer showed (a syntax error, a missing script).
    for (const std::string& line : desktop.transcript()) {
      if (line.rfind("messagebox ", 0) == 0) std::printf("%s\n", line.substr(line.find('\t') + 1).c_str());
    }
  }
  if (desktop.mismatched()) {
    std::fprintf(stderr, "quill simulate: the run and the answers disagree\n%s\n", desktop.mismatch().c_str());
    status = 2;
  } else if (status == 0 && !desktop.Unused().empty()) {
    const install::ui::AnswerDesktop::Answer first = desktop.Unused().front();
    std::fprintf(stderr, "quill simulate: answers left unused, from line %d: %s\n", first.line_number,
                 first.line.c_str());
    status = 2;
  }

  // The final state: removable drives show the disk now in them.
  std::vector<std::string> state;
  for (const simulate::DriveFact& drive : facts->drives) {
    const auto in = sim.in_drive().find(drive.letter);
    if (in != sim.in_drive().end()) CopyTree(sim.DiskFolder(in->second), sim.DriveFolder(drive.letter));
    if (fs::exists(sim.DriveFolder(drive.letter))) ListDrive(sim.machine(), drive.letter, sim.DriveFolder(drive.letter), &state);
  }
  fs::remove_all(out / ".disks", fs_error);
  std::sort(state.begin(), state.end(), PathLess);
  std::string state_text, transcript_text;
  for (const std::string& line : state) state_text += line + "\n";
  for (const std::string& line : desktop.transcript()) transcript_text += line + "\n";
  bool written = WriteText(out / "state.txt", state_text) && WriteText(out / "registry.reg", registry.SaveRegedit4()) &&
                 WriteText(out / "progman.txt", program_manager.Commands()) && WriteText(out / "transcript.txt", transcript_text);
  if (!written) return std::fprintf(stderr, "quill simulate: cannot write into %s\n", out.string().c_str()), 1;
  return status;
}

int RunSimulate(const std::vector<std::string>& args) {
  if (args.size() != 3) return PrintUsage("simulate");
  return Simulate(args[0], args[1], args[2]);
}

const CommandRegistration kRegistration("simulate", kUsage, RunSimulate);

}  // namespace
}  // namespace quill
