#include "install/os/host/host_program_manager.h"

#include <algorithm>

#include "install/os/ascii_case.h"

namespace install::os {

namespace {

bool IsBlank(char c) { return c == ' '; }

class CommandReader {
 public:
  explicit CommandReader(const std::string& text) : text_(text) {}

  bool ReadAll(std::vector<ProgmanCommand>* commands) {
    commands->clear();
    SkipBlanks();
    if (Peek() != '[') return false;
    while (Peek() == '[') {
      ProgmanCommand command;
      if (!ReadCommand(&command)) return false;
      commands->push_back(std::move(command));
    }
    return at_ == text_.size();
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  // "[" name ["(" arguments ")"] "]", with blanks around the parts.
  bool ReadCommand(ProgmanCommand* command) {
    ++at_;  // "["
    SkipBlanks();
    std::size_t end = text_.find_first_of(" ,()[]\"", at_);
    if (end == std::string::npos || end == at_) return false;
    command->name = text_.substr(at_, end - at_);
    at_ = end;
    SkipBlanks();
    if (Peek() == '(') {
      ++at_;
      if (!ReadArguments(&command->args)) return false;
      SkipBlanks();
    }
    if (Peek() != ']') return false;
    ++at_;
    SkipBlanks();
    return true;
  }

  // The arguments after "(" up to and including ")".
  bool ReadArguments(std::vector<std::string>* args) {
    SkipBlanks();
    if (Peek() == ')') {
      ++at_;
      return true;
    }
    for (;;) {
      SkipBlanks();
      std::string arg;
      if (Peek() == '"') {
        std::size_t close = text_.find('"', at_ + 1);
        if (close == std::string::npos) return false;
        arg = text_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
      } else {
        std::size_t end = text_.find_first_of(",()[]", at_);
        if (end == std::string::npos) return false;
        arg = text_.substr(at_, end - at_);
        while (!arg.empty() && IsBlank(arg.back())) arg.pop_back();
        at_ = end;
      }
      args->push_back(std::move(arg));
      SkipBlanks();
      if (Peek() == ',') {
        ++at_;
        continue;
      }
      if (Peek() != ')') return false;
      ++at_;
      return true;
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

bool IsValidGroupName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// The title Program Manager gives an item added without one: the program's
// file name without its extension.
std::string TitleFromCommand(const std::string& command) {
  std::string program = command.substr(0, command.find(' '));
  std::size_t slash = program.find_last_of("\\/:");
  if (slash != std::string::npos) program.erase(0, slash + 1);
  std::size_t dot = program.rfind('.');
  if (dot != std::string::npos && dot > 0) program.erase(dot);
  return program;
}

// The group or item of that name or title, letter case ignored.
template <typename Records, typename Name>
auto FindByName(Records& records, const std::string& name, Name name_of) {
  return std::find_if(records.begin(), records.end(),
                      [&](const auto& record) { return EqualsIgnoringCase(name_of(record), name); });
}

const std::string& GroupName(const HostProgramManager::Group& group) { return group.name; }
const std::string& ItemTitle(const HostProgramManager::Item& item) { return item.title; }

}  // namespace

bool ParseProgmanCommands(const std::string& text, std::vector<ProgmanCommand>* commands) {
  return CommandReader(text).ReadAll(commands);
}

bool HostProgramManager::StartClient() {
  client_started_ = client_available_;
  return client_started_;
}

bool HostProgramManager::SendCommand(const std::string& command) {
  if (!client_started_ || !running_) return false;
  bool accepted = Execute(command);
  received_.push_back({command, accepted});
  return accepted;
}

bool HostProgramManager::Execute(const std::string& text) {
  std::vector<ProgmanCommand> commands;
  if (!ParseProgmanCommands(text, &commands)) return false;
  for (const ProgmanCommand& command : commands) {
    if (!RunCommand(command.name, command.args)) return false;
  }
  return true;
}

HostProgramManager::Group* HostProgramManager::CurrentGroup() {
  if (!current_group_) return nullptr;
  auto group = FindByName(groups_, *current_group_, GroupName);
  return group == groups_.end() ? nullptr : &*group;
}

bool HostProgramManager::RunCommand(const std::string& name, const std::vector<std::string>& args) {
  if (EqualsIgnoringCase(name, "ExitProgman")) return true;
  if (EqualsIgnoringCase(name, "AddItem")) return AddItem(args);
  if (args.empty()) return false;
  const std::string& first = args[0];
  if (EqualsIgnoringCase(name, "CreateGroup")) {
    replaced_position_.reset();
    if (!IsValidGroupName(first)) {
      current_group_.reset();
      return false;
    }
    if (FindByName(groups_, first, GroupName) == groups_.end()) groups_.push_back({first, {}});
    current_group_ = first;
    return true;
  }
  if (EqualsIgnoringCase(name, "ShowGroup")) {
    if (args.size() < 2 || FindByName(groups_, first, GroupName) == groups_.end()) return false;
    replaced_position_.reset();
    current_group_ = first;
    return true;
  }
  if (EqualsIgnoringCase(name, "DeleteGroup")) {
    auto group = FindByName(groups_, first, GroupName);
    if (group == groups_.end()) return false;
    if (current_group_ && EqualsIgnoringCase(*current_group_, group->name)) current_group_.reset();
    groups_.erase(group);
    return true;
  }
  bool replace = EqualsIgnoringCase(name, "ReplaceItem");
  if (replace || EqualsIgnoringCase(name, "DeleteItem")) {
    Group* group = CurrentGroup();
    if (!group) return false;
    auto item = FindByName(group->items, first, ItemTitle);
    if (item == group->items.end()) return false;
    std::size_t position = static_cast<std::size_t>(item - group->items.begin());
    group->items.erase(item);
    if (replace) replaced_position_ = position;
    return true;
  }
  return false;
}

bool HostProgramManager::AddItem(const std::vector<std::string>& args) {
  Group* group = CurrentGroup();
  if (!group || args.empty() || args[0].empty()) return false;
  auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : std::string(); };
  Item item{arg(1), args[0], arg(2), arg(3), arg(6)};
  if (item.title.empty()) item.title = TitleFromCommand(item.command);
  std::vector<Item>& items = group->items;
  auto same = FindByName(items, item.title, ItemTitle);
  if (same != items.end()) {
    item.title = same->title;
    *same = std::move(item);
  } else if (replaced_position_ && *replaced_position_ <= items.size()) {
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(*replaced_position_), std::move(item));
  } else {
    items.push_back(std::move(item));
  }
  replaced_position_.reset();
  return true;
}

std::string HostProgramManager::Commands() const {
  std::string text;
  for (const ReceivedCommand& command : received_) text += command.text + "\n";
  return text;
}

const HostProgramManager::Group* HostProgramManager::FindGroup(const std::string& name) const {
  auto group = FindByName(groups_, name, GroupName);
  return group == groups_.end() ? nullptr : &*group;
}

std::string HostProgramManager::Describe() const {
  std::string text;
  for (const Group& group : groups_) {
    text += "[" + group.name + "]\n";
    for (const Item& item : group.items) {
      text += item.title + "=" + item.command + "\n";
      if (!item.icon_file.empty()) text += "  icon=" + item.icon_file + "," + item.icon_index + "\n";
      if (!item.working_dir.empty()) text += "  directory=" + item.working_dir + "\n";
    }
  }
  return text;
}

}  // namespace install::os
