#include "registration/PageActions.h"

#include "instutils/InstUtils.h"
#include "registration/CommonData.h"
#include "instutils/Probes.h"
#include "registration/RunCommand.h"

namespace {

std::string ProgramIn(const std::string& mainDir) { return instutils::JoinPath(mainDir, product::kProgramFile); }

}  // namespace

TAssociationBoxes AssociationBoxStates(const std::string& letters) {
  TAssociationBoxes boxes{};
  for (int i = 0; i < product::kDocumentTypeCount; ++i)
    boxes[i] = letters.find(product::kDocumentTypes[i].Letter) != std::string::npos;
  return boxes;
}

std::string AssociationLetters(const TAssociationBoxes& boxes) {
  std::string letters;
  for (int i = 0; i < product::kDocumentTypeCount; ++i)
    if (boxes[i]) letters += product::kDocumentTypes[i].Letter;
  return letters;
}

std::optional<std::string> EnterFinishPage(const TFinishPageInput& in) {
  WriteCommonData(in.RootDataFolder);
  if (IsPortableDrive(in.MainDir)) return std::nullopt;

  const std::string letters = AssociationLetters(in.Boxes);
  const std::string program = ProgramIn(in.MainDir);
  RunCommand(product::AssociationCommand(program, letters));
  PlaceShortcuts(in.ShortcutFolders, in.InstallToAll, program, in.MainDir);
  return letters;
}

bool FinishSetup(const TFinishInput& in, std::vector<std::string>& updateList,
                 const TUpdateLogFailed& updateLogFailed) {
  bool written = true;
  if (!updateList.empty() && !IsPortableDrive(in.MainDir)) {
    // An empty folder would put the log in the current directory.
    written = !in.RootDataFolder.empty() && instutils::WriteUpdateLog(updateList, in.Stamp, in.RootDataFolder);
    if (!written && updateLogFailed)
      updateLogFailed(instutils::JoinPath(in.RootDataFolder, product::kUpdateLogFile));
  }
  if (in.Launch) RunCommand(product::LaunchCommand(ProgramIn(in.MainDir)));
  return written;
}
