#include "tamblor/os/commit_file.h"

namespace tamblor::os {

bool CommitFile(Machine& machine, const std::string& written, const std::string& target,
                const std::string& old_copy) {
  auto exists = [&machine](const std::string& path) { return machine.FindAttributes(path) != kInvalidAttributes; };
  if (!exists(target)) return machine.RenameFile(written, target);
  if (exists(old_copy) || !machine.RenameFile(target, old_copy)) return false;
  if (!machine.RenameFile(written, target)) {
    machine.RenameFile(old_copy, target);
    return false;
  }
  machine.RemoveFile(old_copy);
  return true;
}

}  // namespace tamblor::os
