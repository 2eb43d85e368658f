#include <gtest/gtest.h>

#include <memory>

#include "tests/support/Names.h"
#include "tests/support/ProcessDriver.h"
#include "contract/ProductInterface.h"
#include "wizard/WizardLayout.h"

using namespace e2e;

namespace {

std::string Arg(size_t i) {
  const auto& argv = testing::internal::GetArgvs();
  return argv.size() > i ? argv[i] : std::string();
}
std::string SetupExe() { return Arg(1); }
std::string DamagedSetupExe() { return Arg(2); }
std::string VlmExe() { return WindowsPath(Arg(6) + "/product/vlm/vlm.exe"); }

// Presses OK in the box and expects the process to end with 0 on its own.
void CloseBoxAndExpectExitZero(ChildProcess& p, const MessageBoxInfo& box) {
  PostMessageA(box.window, WM_COMMAND, IDOK, 0);
  DWORD code = 1234;
  ASSERT_TRUE(p.WaitForExit(kStartTimeout, &code)) << "the setup did not end after OK";
  EXPECT_EQ(code, 0u);
}

}  // namespace

namespace {

// Starts a setup, waits for its wizard, quits it: the process ends with 0.
void ReachWizardAndQuit(const std::string& exe) {
  ChildProcess p(exe);
  ASSERT_TRUE(p.started()) << exe;
  HWND wizard = WaitForWindowWithControl(p.id(), kTitle, wizard::widPgCtrl, kStartTimeout);
  ASSERT_NE(wizard, nullptr) << "no wizard";
  PostMessageA(wizard, WM_CLOSE, 0, 0);
  MessageBoxInfo box = WaitForMessageBox(p.id(), kStartTimeout);
  ASSERT_NE(box.window, nullptr) << "closing asked nothing";
  ClickButton(GetDlgItem(box.window, 3));  // Abort
  DWORD code = 1234;
  ASSERT_TRUE(p.WaitForExit(kStartTimeout, &code)) << "the setup did not end after Abort";
  EXPECT_EQ(code, 0u);
}

}  // namespace

// Passing the gate (the system Wine reports by default, Windows 2000, XP)
// inflates the payload and shows the wizard; quitting it ends with 0.
TEST(SetupStart, SupportedSystemsReachTheWizardAndQuittingEndsWithZero) {
  for (const char* version : {"", "win2k", "winxp"}) {
    SCOPED_TRACE(*version ? version : "default");
    std::unique_ptr<WineVersionOverride> v;
    if (*version) v = std::make_unique<WineVersionOverride>(FileNameOf(SetupExe()), version);
    ReachWizardAndQuit(SetupExe());
  }
}

// A signature appended to the file leaves the payload readable.
TEST(SetupStart, TheSignedSetupShowsItsWizard) {
  ReachWizardAndQuit(WindowsPath(Arg(6) + "/signed-test/setup.exe"));
}

// The word processor the setup installs starts on the oldest systems the
// setup accepts, and ends when its window is closed.
TEST(SetupStart, TheWordProcessorStartsOnWindows2000AndXP) {
  for (const char* version : {"win2k", "winxp"}) {
    SCOPED_TRACE(version);
    WineVersionOverride v(FileNameOf(VlmExe()), version);
    ChildProcess p(VlmExe());
    ASSERT_TRUE(p.started()) << VlmExe();
    HWND editor = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      for (HWND w : TaskbarWindowsOf(p.id()))
        if (GetPropA(w, product::kRunningProperty)) editor = w;
      return editor != nullptr;
    }, kStartTimeout)) << "no window of the word processor";
    PostMessageA(editor, WM_CLOSE, 0, 0);
    DWORD code = 1234;
    EXPECT_TRUE(p.WaitForExit(kStepTimeout, &code)) << "the word processor did not end after its window closed";
  }
  DeleteKeyTree(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Internal");  // its start's LastRunVer
}

TEST(SetupStart, OlderSystemsAreRefusedWithTheSystemsCaptionAndAnExclamation) {
  for (const char* version : {"nt40", "win98"}) {
    SCOPED_TRACE(version);
    WineVersionOverride v(FileNameOf(SetupExe()), version);
    ChildProcess p(SetupExe());
    ASSERT_TRUE(p.started());
    MessageBoxInfo box = WaitForMessageBox(p.id(), kStartTimeout);
    ASSERT_NE(box.window, nullptr) << "no refusal was shown";
    EXPECT_EQ(box.text, "This program requires Windows 2000 or later.");
    EXPECT_EQ(box.caption, "Error") << "the box should carry the system's default caption";
    EXPECT_EQ(ShownSystemIcon(box), IDI_EXCLAMATION) << "the box should show the exclamation icon";
    // Nothing else was made: no application window with the setup's title.
    EXPECT_EQ(TopLevelWindowTitled(p.id(), kTitle), nullptr);
    CloseBoxAndExpectExitZero(p, box);
  }
}

TEST(SetupStart, TheRefusalComesBeforeThePayloadIsRead) {
  // A damaged payload would be reported if the catalogue were built.
  WineVersionOverride v(FileNameOf(DamagedSetupExe()), "nt40");
  ChildProcess p(DamagedSetupExe());
  ASSERT_TRUE(p.started());
  MessageBoxInfo box = WaitForMessageBox(p.id(), kStartTimeout);
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.text, "This program requires Windows 2000 or later.");
  CloseBoxAndExpectExitZero(p, box);
}

TEST(SetupStart, ADamagedPayloadIsReportedOnceAndTheSetupEndsWithZero) {
  ChildProcess p(DamagedSetupExe());
  ASSERT_TRUE(p.started());
  MessageBoxInfo box = WaitForMessageBox(p.id(), kStartTimeout);
  ASSERT_NE(box.window, nullptr) << "no error was shown";
  EXPECT_NE(box.text.find("damaged"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find(NAME_EDITION), std::string::npos) << box.text;
  EXPECT_EQ(box.caption, kTitle);
  EXPECT_EQ(ShownSystemIcon(box), IDI_HAND) << "the box should show the error icon";
  // The titled application window exists while the error is shown (its icon
  // cannot be asked for across processes under Wine; the start-up tests check it).
  EXPECT_NE(TopLevelWindowTitled(p.id(), kTitle), nullptr);
  CloseBoxAndExpectExitZero(p, box);
}
