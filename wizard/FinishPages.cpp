// The associations page, the finish page and the Finish step: the wizard's
// widgets on one side, registration's actions over plain values on the other.
#include <windows.h>

#include <commctrl.h>

#include "components/Locations.h"
#include "instutils/InstUtils.h"
#include "payload/AttachFiles.h"
#include "registration/PageActions.h"
#include "ui/MessageDlg.h"
#include "wizard/MainDlg.h"
#include "contract/Names.h"

namespace wizard {

namespace {

constexpr TWidgetId kAssocBoxes[product::kDocumentTypeCount] = {widAssocChkBx1, widAssocChkBx2, widAssocChkBx3,
                                                                 widAssocChkBx4};

std::string UpdateLogMessage(const std::string& path) {
  return "The update log could not be written:\r" + path +
         "\r\r" PRODUCT_NAME " has been installed. Only the record of the shared files this setup wrote "
         "is missing.";
}

}  // namespace

bool TMainDlgForm::EnterAssocPage(int) {
  HWND bar = Widget(widInstallingProgressBar);
  SendMessageA(bar, PBM_SETPOS, WPARAM(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)), 0);
  const TAssociationBoxes boxes = AssociationBoxStates(Options.Extensions);
  for (size_t i = 0; i < boxes.size(); ++i) SetChecked(kAssocBoxes[i], boxes[i]);
  return true;
}

bool TMainDlgForm::EnterFinishPage(int) {
  TFinishPageInput in;
  in.MainDir = Options.MainDir;
  in.RootDataFolder = components::DataFolder(components::dfRoot, Options.MainDir);
  for (size_t i = 0; i < in.Boxes.size(); ++i) in.Boxes[i] = Checked(kAssocBoxes[i]);
  in.InstallToAll = Checked(widInstallToAllChkBx);
  in.ShortcutFolders = SystemShortcutFolders();
  if (std::optional<std::string> letters = ::EnterFinishPage(in)) Options.Extensions = *letters;
  return true;
}

bool TMainDlgForm::FinishStep(int) {
  TFinishInput in;
  in.MainDir = Options.MainDir;
  in.RootDataFolder = components::DataFolder(components::dfRoot, Options.MainDir);
  in.Stamp = instutils::StampOf(SharedDataStamp);
  in.Launch = Checked(widFinishChkBx);
  std::vector<std::string> none;
  FinishSetup(in, AttachedFiles ? AttachedFiles->UpdateList : none, [this](const std::string& path) {
    Ask(UpdateLogMessage(path), ui::mtWarning, ui::ButtonBit(ui::mbOK));
  });
  QuitConfirmed = true;
  ModalResult = 1;
  return true;
}

TSettingsToSave TMainDlgForm::SettingsToSave() const {
  TSettingsToSave s;
  s.Options = Options;
  for (const components::TComponentRow& row : rows_) s.RowStates.push_back(row.State);
  s.InstallToAll = Checked(widInstallToAllChkBx);
  s.Launch = Checked(widFinishChkBx);
  if (!AttachedFiles || IsPortableInstall()) return s;
  std::string data = components::DataFolder(components::dfRoot, Options.MainDir);
  if (data.empty()) return s;
  const size_t prefix = data.size();
  for (const TFileToInstallList& plan : AttachedFiles->Plans)
    for (const TFileToInstall& file : plan)
      if (file.Source && file.Target.size() > prefix && instutils::SamePath(file.Target.substr(0, prefix), data))
        s.SharedFiles.push_back({file.Target, file.Source->Size, file.Source->TimeStamp});
  return s;
}

}  // namespace wizard
