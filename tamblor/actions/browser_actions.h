// What Select and the commands hand over to: Copy File, starting programs,
// installing archives and self-extractors, and removing an installed
// directory again when its generated index is closed.
#pragma once

#include <cstdint>
#include <string>

#include "tamblor/actions/action_ui.h"
#include "tamblor/os/directory.h"
#include "tamblor/views/view_host.h"

namespace tamblor::actions {

class BrowserActions : public views::FileActions {
 public:
  // `context` is the views' context (machine, configuration, languages,
  // stack); it, `directories` and `ui` outlive the actions.
  BrowserActions(views::ViewContext& context, os::DirectoryService& directories, ActionUi& ui)
      : context_(context), directories_(directories), ui_(ui) {}

  // Command 10: the selected entry (a file, not a directory) to a destination,
  // through the command interpreter; a failed copy is reported and leaves an
  // old file of the same name as it was.
  void CopyFile(views::View& view) override;
  // Starts a program, or a document with its Windows handler, in the
  // program's directory without waiting.
  void LaunchProgram(const std::string& full_path, const std::string& translated_path, views::FileKind kind) override;
  // Asks for a destination, unpacks the archive (or runs the self-extractor)
  // there, writes the generated indexes and shows them.
  void InstallArchive(const std::string& full_path, const std::string& translated_path, views::FileKind kind) override;
  // Offers to delete the installed directory of a generated index being closed.
  void CloseGeneratedIndex(const views::GeneratedIndexView& view) override;

  // Deletes `directory` and everything in it. Never a drive root, never a
  // path that is not a plain full path ("X:\..." without "." or ".."
  // components), never anything a link inside it points to. False when
  // something could not be deleted (or the directory was refused).
  bool DeleteTree(const std::string& directory);

  const std::string& last_destination() const { return last_destination_; }

 private:
  bool ConfirmCopy(const std::string& field_text, const std::string& translated_source);
  bool CopyInto(const std::string& source, const std::string& destination);
  int64_t FileSize(const std::string& path);
  bool ConfirmInstall(const std::string& field_text, const std::string& full_path, const std::string& translated_path,
                      std::string* destination);
  bool Extract(const std::string& full_path, const std::string& translated_path, const std::string& destination);
  bool WriteIndexes(const std::string& destination);
  bool RemoveTree(const std::string& directory);
  DestinationRequest Request(int caption_id, const std::string& translated_source);
  std::string Text(int id);

  views::ViewContext& context_;
  os::DirectoryService& directories_;
  ActionUi& ui_;
  std::string last_destination_;  // shared by copy and install, offered again
};

}  // namespace tamblor::actions
