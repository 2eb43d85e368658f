#include "components/InstallPlan.h"

#include <windows.h>

#include <string>

#include "components/Locations.h"
#include "instutils/DateTime.h"
#include "instutils/InstUtils.h"
#include "instutils/Logs.h"
#include "contract/ProductInterface.h"

namespace components {

namespace {

enum TComponentNumber : uint8_t { cnProgram, cnSpellchecker, cnHyphenation, cnTemplates, cnClipLibrary, cnSounds };

// Holds logging suppressed for its lifetime; balanced however the scope ends.
class TLogSuspension {
 public:
  TLogSuspension() { instutils::SuspendLogging(); }
  ~TLogSuspension() { instutils::ResumeLogging(); }
  TLogSuspension(const TLogSuspension&) = delete;
  TLogSuspension& operator=(const TLogSuspension&) = delete;
};

// Holds the catalogue's complete-target switch on for its lifetime.
class TTargetAsGiven {
 public:
  TTargetAsGiven() { UseTargetAsGiven = true; }
  ~TTargetAsGiven() { UseTargetAsGiven = false; }
  TTargetAsGiven(const TTargetAsGiven&) = delete;
  TTargetAsGiven& operator=(const TTargetAsGiven&) = delete;
};

// A folder that could not be resolved would make the targets relative to the
// current directory: such a request is dropped.
void Request(TAttachedFiles& catalogue, const char* pattern, const std::string& folder, uint8_t component,
             TReplaceRule rule) {
  if (!folder.empty()) catalogue.AddFiles(pattern, folder, component, rule);
}

void PlanSpellchecker(TAttachedFiles& catalogue, const std::string& mainDir) {
  // Resolved afresh for each file, as the destination's drive is asked each time.
  auto spell = [&] { return DataFolder(dfSpellcheck, mainDir); };
  Request(catalogue, "English (American).asc", spell(), cnSpellchecker, rrKeepExisting);
  Request(catalogue, "English (American).cache", spell(), cnSpellchecker, rrKeepExisting);
  Request(catalogue, "English (British).asc", spell(), cnSpellchecker, rrKeepExisting);
  {
    // The British cache is a copy of the American one under its own name.
    const std::string folder = spell();
    TTargetAsGiven asGiven;
    Request(catalogue, "English (American).cache", folder.empty() ? folder : folder + "English (British).cache",
            cnSpellchecker, rrKeepExisting);
  }
  Request(catalogue, "english.zlx", spell(), cnSpellchecker, rrReplaceIfDifferent);
  Request(catalogue, "us.zlx", spell(), cnSpellchecker, rrReplaceIfDifferent);
  Request(catalogue, "uk.zlx", spell(), cnSpellchecker, rrReplaceIfDifferent);
  Request(catalogue, "userdicen.tlx", spell(), cnSpellchecker, rrKeepExisting);
}

// Images that older versions installed and later ones dropped.
void RemoveOldClipImages(const std::string& mainDir) {
  const std::string base = OldClipLibraryBase(mainDir);
  if (base.empty()) return;  // no documents folder: nothing of ours can be there
  const std::string images = base + "Clip Library\\Images\\";
  instutils::DeleteTree(images + "Checkmarks");
  for (int n = 1; n <= 32; ++n) DeleteFileA((images + "Bullets\\Bullet " + std::to_string(n) + ".gif").c_str());
  DeleteFileA((images + "Bullets\\Target.gif").c_str());
}

}  // namespace

double BuildInstallPlan(TAttachedFiles& catalogue, const TPlanInput& in) {
  for (uint8_t c = 0; c < kPlanCount; ++c) catalogue.ClearPlan(c);
  const bool portable = IsPortableInstall(in.MainDir);
  // A normal install rewrites everything; only a portable one honours the rules.
  catalogue.AlwaysReplace = !portable;
  const std::string& dest = in.MainDir;

  Request(catalogue, product::kProgramFile, dest, cnProgram, rrReplaceIfDifferent);
  Request(catalogue, "License.txt", dest, cnProgram, rrReplaceIfDifferent);
  if (InSet(in.Components, cnSpellchecker)) {
    TLogSuspension quiet;
    PlanSpellchecker(catalogue, in.MainDir);
  }
  if (InSet(in.Components, cnHyphenation))
    Request(catalogue, "Hyphenation.dat", dest, cnHyphenation, rrReplaceIfDifferent);
  {
    TLogSuspension quiet;
    if (InSet(in.Components, cnTemplates))
      Request(catalogue, "Templates\\", DataFolder(dfPublic, in.MainDir), cnTemplates, rrKeepExisting);
    if (InSet(in.Components, cnClipLibrary) || in.LastRunVersion < product::kClipLibraryForcedBelow) {
      Request(catalogue, "Clip Library\\", DataFolder(dfPublic, in.MainDir), cnClipLibrary, rrKeepExisting);
      if (in.LastRunVersion < product::kOldClipImagesBelow) RemoveOldClipImages(in.MainDir);
    }
  }
  if (InSet(in.Components, cnSounds))
    Request(catalogue, "Basic.asn", DataFolder(dfPublic, in.MainDir), cnSounds, rrReplaceIfDifferent);

  if (portable) return 0;
  const double stamp = instutils::NowAsDateTime();
  const std::string hidden = DataFolder(dfHidden, in.MainDir);
  if (!hidden.empty()) {
    const instutils::TStamp bytes = instutils::StampOf(stamp);  // the same bytes Update.log spells out
    instutils::WriteWholeFile(hidden + product::kInstallStampFile, std::string(bytes.begin(), bytes.end()));
  }
  return stamp;
}

}  // namespace components
