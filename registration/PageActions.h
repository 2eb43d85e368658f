// The work of the association page, the finish page and the Finish step. The
// wizard hands in plain values (its TOptions, box states, resolved folders)
// and does the widget work itself; nothing here touches a window.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "instutils/Logs.h"
#include "contract/ProductInterface.h"
#include "registration/ProductShortcuts.h"

// The association boxes in page order: RTF, COD, DOC, DOCX (letters A to D).
using TAssociationBoxes = std::array<bool, product::kDocumentTypeCount>;

// Association page entry: each box checked exactly when its letter occurs
// anywhere in letters (TOptions.Extensions). The wizard also fills the
// installing page's progress bar and focuses the first box.
TAssociationBoxes AssociationBoxStates(const std::string& letters);

// The letters of the checked boxes in A to D order; "" when none is checked.
std::string AssociationLetters(const TAssociationBoxes& boxes);

struct TFinishPageInput {
  std::string MainDir;                // TOptions.MainDir
  std::string RootDataFolder;         // DataFolder(dfRoot), created
  TAssociationBoxes Boxes{};          // the association page's boxes
  bool InstallToAll = true;           // the ready page's box
  TShortcutFolders ShortcutFolders;   // SystemShortcutFolders()
};

// Finish page entry, once per run. Writes vlm_common.dat into the root data
// folder. On a normal install also starts "<program>" -assoc vdoc... for the
// checked boxes (without waiting; also with none checked) and places the two
// shortcuts for the chosen scope, deleting the other scope's. Returns the
// letters for TOptions.Extensions; empty for a portable install, whose saved
// letters stay as read.
std::optional<std::string> EnterFinishPage(const TFinishPageInput& in);

struct TFinishInput {
  std::string MainDir;         // TOptions.MainDir
  std::string RootDataFolder;  // DataFolder(dfRoot): where Update.log lies
  instutils::TStamp Stamp{};   // the shared-data stamp of the install plan
  bool Launch = true;          // the finish page's launch box
};

// Called with the path of an Update.log that could not be written, before the
// product is started.
using TUpdateLogFailed = std::function<void(const std::string& updateLogPath)>;

// The Finish step. On a normal install merges this run's update list (sorted
// in place, stays sorted) into Update.log. When that file cannot be opened or
// created, reports it through updateLogFailed (may be empty) and carries on:
// losing the record must not keep the user on the last page. Then starts the
// product when asked, portable installs included. False when Update.log was
// due and not written. The wizard then closes as completed.
bool FinishSetup(const TFinishInput& in, std::vector<std::string>& updateList,
                 const TUpdateLogFailed& updateLogFailed);
