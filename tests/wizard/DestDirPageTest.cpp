// The destination page in process: the drive box and the folder list worked
// through their controls, drives attached and removed through the seams
// (Wine keeps a removed drive in its mask), typed destinations on Next.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "instutils/InstUtils.h"
#include "instutils/ShellFolders.h"
#include "payload/AttachFiles.h"
#include "instutils/ProbeSeams.h"
#include "tests/payload/TestCatalogue.h"
#include "ui/MessageDlg.h"
#include "tests/support/WindowText.h"
#include "wizard/MainDlg.h"
#include "wizard/TestSeams.h"

namespace {

using namespace wizard;

// Drives the test adds to the machine's own, by letter, with their type.
DWORD g_mask = 0;
std::map<char, UINT> g_fakeTypes;

DWORD FakeLogicalDrives() { return g_mask; }
UINT TypeOf(const std::string& path) {
  const char letter = char(toupper(static_cast<unsigned char>(path.empty() ? 0 : path[0])));
  auto it = g_fakeTypes.find(letter);
  return it != g_fakeTypes.end() ? it->second : instutils::DriveTypeOf(path);
}
void Attach(char letter, UINT type) {
  g_fakeTypes[letter] = type;
  g_mask |= 1u << (letter - 'A');
}
void Detach(char letter) { g_mask &= ~(1u << (letter - 'A')); }

int32_t NoQuestion(const std::string& text, uint8_t, uint16_t) {
  ADD_FAILURE() << "the destination page asked: " << text;
  return ui::mrCancel;
}

using testsupport::TextOf;

std::string ProgramFiles() { return instutils::SpecialFolder(CSIDL_PROGRAM_FILES); }
std::string DefaultFolder() { return ProgramFiles() + "\\" NAME_SHORT; }
std::string WithoutBackslash(std::string s) {
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

class DestDirPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, NAME_KEY);
    instutils::BindSpecialFolderLookup();
    catalogue_ = testing_payload::NewTestCatalogue();
    AttachedFiles = catalogue_.get();
    g_mask = GetLogicalDrives();
    g_fakeTypes.clear();
    SetLogicalDrivesFunction(&FakeLogicalDrives);
    SetDriveRootTypeFunction(&TypeOf);
    ::SetDriveTypeFunction(&TypeOf);
    wizard::SetMessageDlgFunction(&NoQuestion);
  }
  void TearDown() override {
    form_.reset();
    AttachedFiles = nullptr;
    SetLogicalDrivesFunction(nullptr);
    SetDriveRootTypeFunction(nullptr);
    ::SetDriveTypeFunction(nullptr);
    wizard::SetMessageDlgFunction(nullptr);
    SHDeleteKeyA(HKEY_CURRENT_USER, NAME_KEY);
  }

  TMainDlgForm& Build(const std::vector<std::string>& args = {}) {
    form_ = std::make_unique<TMainDlgForm>(GetModuleHandleA(nullptr), args);
    return *form_;
  }
  HWND W(TWidgetId id) { return form_->Widget(id); }
  std::string Edit() { return TextOf(W(widDestDirEdt)); }
  void Next() { form_->BNClick(W(widNextBtn)); }
  void Back() { form_->BNClick(W(widBackBtn)); }
  void WalkTo(int page) {
    while (form_->CurrentPage() < page) {
      const int before = form_->CurrentPage();
      Next();
      ASSERT_NE(form_->CurrentPage(), before);
    }
  }
  void Tick(UINT_PTR id = 2) { SendMessageA(form_->Handle(), WM_TIMER, id, 0); }

  // The strings of the drive box or the folder list, in order.
  std::vector<std::string> Items(TWidgetId id) {
    const bool combo = id == widDestDirCmbBx;
    HWND w = W(id);
    std::vector<std::string> items;
    for (LRESULT i = 0, n = SendMessageA(w, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0); i < n; ++i) {
      std::string s(size_t(SendMessageA(w, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0)) + 1, '\0');
      s.resize(size_t(SendMessageA(w, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]))));
      items.push_back(s);
    }
    return items;
  }
  std::vector<std::string> Drives() { return Items(widDestDirCmbBx); }
  std::vector<std::string> Folders() { return Items(widDestDirLstBx); }
  std::string ShownDrive() {
    const LRESULT i = SendMessageA(W(widDestDirCmbBx), CB_GETCURSEL, 0, 0);
    return i < 0 ? std::string() : Drives()[size_t(i)];
  }
  int SelectedFolder() { return int(SendMessageA(W(widDestDirLstBx), LB_GETCURSEL, 0, 0)); }
  int IndexOf(const std::string& path) {
    const std::vector<std::string> all = Folders();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i] == path) return int(i);
    return -1;
  }
  // A click on the entry, as the mouse gives it.
  void Click(int index) {
    HWND list = W(widDestDirLstBx);
    ASSERT_GE(index, 0);
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT r{};
    ASSERT_NE(SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)), LB_ERR);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
  }

  std::unique_ptr<TAttachedFiles> catalogue_;
  std::unique_ptr<TMainDlgForm> form_;
};

// The drive timer runs on every page; the destination changes only when
// page 2 is left with Next.
TEST_F(DestDirPageTest, DrivesComingAndGoingMoveTheDriveBoxAndTheEditBoxButNotTheDestination) {
  Attach('D', DRIVE_CDROM);
  Attach('A', DRIVE_REMOVABLE);
  TMainDlgForm& f = Build();
  const std::string pfDrive(1, char(tolower(ProgramFiles()[0])));
  const std::vector<std::string> before = Drives();
  for (const std::string& d : before) {
    EXPECT_NE(d.substr(0, 2), "d:") << "a CD-ROM drive is listed";
    EXPECT_NE(d.substr(0, 2), "a:");
  }
  EXPECT_EQ(ShownDrive().substr(0, 3), pfDrive + ": ");

  WalkTo(4);
  Attach('S', DRIVE_CDROM);  // never listed, so never followed
  Tick();
  EXPECT_EQ(ShownDrive().substr(0, 3), pfDrive + ": ");
  EXPECT_EQ(Edit(), DefaultFolder());

  // A removable drive that cannot be read: listed without a label, followed
  // at once, also past a CD-ROM drive that comes with it.
  Attach('P', DRIVE_CDROM);
  Attach('Q', DRIVE_REMOVABLE);
  Tick();
  EXPECT_EQ(ShownDrive(), "q: ");
  EXPECT_EQ(Edit(), "q:\\" NAME_SHORT);
  EXPECT_EQ(Folders(), std::vector<std::string>{"q:\\"});
  Attach('B', DRIVE_REMOVABLE);  // a floppy changes nothing shown
  Tick();
  EXPECT_EQ(ShownDrive(), "q: ");
  EXPECT_EQ(f.Options.MainDir, DefaultFolder());
  EXPECT_TRUE(GetWindowLongPtrA(W(widInstallToAllChkBx), GWL_STYLE) & WS_VISIBLE);
  Back();
  Back();
  Next();
  EXPECT_EQ(f.Options.MainDir, "q:\\" NAME_SHORT);
  Next();
  EXPECT_FALSE(GetWindowLongPtrA(W(widInstallToAllChkBx), GWL_STYLE) & WS_VISIBLE) << "not portable";

  // The drive going: back to the Program Files drive, on any timer but the progress timer.
  Detach('Q');
  Tick(1);
  EXPECT_EQ(ShownDrive(), "q: ") << "the progress timer refreshed the drives";
  Tick(7);
  EXPECT_EQ(Drives().size(), before.size());
  EXPECT_EQ(ShownDrive().substr(0, 3), pfDrive + ": ");
  EXPECT_EQ(Edit(), DefaultFolder());
}

// The folder page is followed from the start, even while it has never been shown.
TEST_F(DestDirPageTest, ADriveComingBeforeTheFolderPageIsFirstShownIsFollowedAsOnAnyPage) {
  TMainDlgForm& f = Build();
  Attach('Q', DRIVE_REMOVABLE);
  Tick();
  EXPECT_EQ(ShownDrive(), "q: ");
  EXPECT_EQ(Edit(), "q:\\" NAME_SHORT);
  EXPECT_EQ(f.Options.MainDir, DefaultFolder()) << "the destination changes only when page 2 is left";
  Detach('Q');
  Tick();
  WalkTo(2);
  EXPECT_EQ(ShownDrive().substr(0, 2), std::string(1, char(tolower(ProgramFiles()[0]))) + ":");
  EXPECT_EQ(Edit(), DefaultFolder());
}

TEST_F(DestDirPageTest, FolderListShowsTheNearestFolderItsChainAndVisibleSubfoldersAndMovesOnClickAndKey) {
  testing_payload::ScratchFolder scratch;
  for (const char* name : {"beta", "Alpha", "gamma", "hidden", "system"})
    ASSERT_TRUE(CreateDirectoryA((scratch / name).c_str(), nullptr));
  ASSERT_TRUE(SetFileAttributesA((scratch / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((scratch / "system").c_str(), FILE_ATTRIBUTE_SYSTEM));
  testing_payload::WriteFileBytes(scratch / "file.txt", "x");

  const std::string typed = scratch.path() + "missing\\deeper";
  TMainDlgForm& f = Build({"-d" + typed});
  EXPECT_EQ(Edit(), typed) << "the edit box follows the list only after construction";
  EXPECT_EQ(f.ListedFolder(), scratch.path());

  // The chain from the root, then the subfolders by name without regard to case.
  std::vector<std::string> chain;
  const std::string folder = WithoutBackslash(scratch.path());
  for (size_t at = folder.find('\\'); at != std::string::npos; at = folder.find('\\', at + 1))
    chain.push_back(folder.substr(0, at == 2 ? 3 : at));
  chain.push_back(folder);
  std::vector<std::string> expected = chain;
  for (const char* name : {"Alpha", "beta", "gamma"}) expected.push_back(scratch / name);
  EXPECT_EQ(Folders(), expected);
  EXPECT_EQ(SelectedFolder(), int(chain.size()) - 1);

  WalkTo(2);
  Click(IndexOf(scratch / "gamma"));
  EXPECT_EQ(Edit(), scratch / "gamma");
  EXPECT_EQ(f.ListedFolder(), scratch / "gamma");
  EXPECT_EQ(Folders().size(), chain.size() + 1) << "gamma has no subfolders";
  SendMessageA(W(widDestDirLstBx), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Edit(), folder);
  EXPECT_EQ(Folders(), expected);
}

TEST_F(DestDirPageTest, DefaultDestinationThatDoesNotExistShowsProgramFilesAndItsEntryGivesTheDefault) {
  ASSERT_FALSE(instutils::FolderExists(DefaultFolder())) << "the test prefix holds the default folder";
  TMainDlgForm& f = Build();
  EXPECT_EQ(f.ListedFolder(), ProgramFiles() + "\\");
  EXPECT_EQ(Edit(), DefaultFolder());
  WalkTo(2);
  SetWindowTextA(W(widDestDirEdt), "D:\\Elsewhere");
  ASSERT_EQ(SelectedFolder(), IndexOf(ProgramFiles()));
  Click(IndexOf(ProgramFiles()));
  EXPECT_EQ(Edit(), DefaultFolder());
  Next();
  EXPECT_EQ(f.Options.MainDir, DefaultFolder());
}

// Thousands of subfolders and a name of the longest kind, whose full path no
// ANSI call can open: listed, drawn and clicked without harm.
TEST_F(DestDirPageTest, HugeFoldersAndLongestNamesNeitherHangNorCrash) {
  testing_payload::ScratchFolder scratch;
  const int count = 2000;
  for (int i = 0; i < count; ++i)
    ASSERT_TRUE(CreateDirectoryA((scratch / ("d" + std::to_string(10000 + i))).c_str(), nullptr));
  const std::string longName(255, 'a');
  std::wstring wide = L"\\\\?\\";
  for (char c : scratch.path() + longName) wide += wchar_t(static_cast<unsigned char>(c));
  ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));

  TMainDlgForm& f = Build({"-d" + scratch.path()});
  const std::vector<std::string> folders = Folders();
  const int longIndex = IndexOf(scratch / longName);
  ASSERT_GE(longIndex, 0) << "the longest name is not listed";
  EXPECT_EQ(folders.back(), scratch / "d11999");
  EXPECT_EQ(SendMessageA(W(widDestDirLstBx), LB_GETCOUNT, 0, 0), LRESULT(longIndex + count + 1));

  ShowWindow(f.Handle(), SW_SHOWNA);
  WalkTo(2);
  SendMessageA(W(widDestDirLstBx), LB_SETTOPINDEX, longIndex, 0);
  UpdateWindow(W(widDestDirLstBx));
  Click(longIndex);
  EXPECT_EQ(f.ListedFolder(), scratch.path()) << "a folder that cannot be entered is not entered";
  EXPECT_EQ(Edit(), WithoutBackslash(scratch.path()));
  ShowWindow(f.Handle(), SW_HIDE);
  RemoveDirectoryW(wide.c_str());
}

TEST_F(DestDirPageTest, DotNamesAreResolvedNeverAboveTheRootBeforeTheDestinationRule) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\foo\\..", "C:\\" NAME_SHORT}, {"C:\\.", "C:\\" NAME_SHORT}, {"c:\\windows\\..\\", "c:\\" NAME_SHORT},
      {"X:\\" NAME_SHORT "\\..", "X:\\" NAME_SHORT}, {"X:\\a\\...", "X:\\a"}, {"X:\\a\\.\\b\\..\\..\\..\\c", "X:\\c"},
      {DefaultFolder() + "\\..", DefaultFolder()}, {"\\\\srv\\share\\..\\..", "\\\\srv\\share"},
      {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b"}};
  for (const auto& c : cases) EXPECT_EQ(NormalisedDestDir(c.first, 'd', ProgramFiles()), c.second) << c.first;
}

// Text no folder can be named after stays on the page, selected where it goes
// wrong; it never becomes the destination.
TEST_F(DestDirPageTest, UnholdableDestinationsStayOnThePageWithTheFaultSelected) {
  const std::string tooLong = "D:\\" + std::string(MAX_PATH - 3, 'x');
  const struct {
    std::string typed;
    int start, end;  // the selection left in the edit box
  } refused[] = {
      {"D:\\Apps\\Wri<ter", 11, 12},   {"D:\\Apps\\a|b", 9, 10},   {"D:\\Apps\\\"Writer\"", 8, 9},
      {"D:\\Ap\tps", 5, 6},            {"D:\\a:b", 4, 5},          {"D:\\What?", 7, 8},
      {"\\\\.\\PhysicalDrive0", 0, 4}, {tooLong, MAX_PATH - 1, int(tooLong.size())},
      {"C:foo", 0, 2},                 {"C:..\\x", 0, 2},  // relative to C:'s current folder
  };
  TMainDlgForm& f = Build();
  WalkTo(2);
  const std::string before = f.Options.MainDir;
  for (const auto& c : refused) {
    SCOPED_TRACE(c.typed.substr(0, 40));
    SetWindowTextA(W(widDestDirEdt), c.typed.c_str());
    Next();
    EXPECT_EQ(f.CurrentPage(), 2);
    EXPECT_EQ(f.Options.MainDir, before);
    EXPECT_EQ(Edit(), c.typed);
    DWORD start = 0, end = 0;
    SendMessageA(W(widDestDirEdt), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(int(start), c.start);
    EXPECT_EQ(int(end), c.end);
  }
  // The longest holdable text passes; a server without a share is no drive part.
  const std::string pfDrive(1, char(tolower(ProgramFiles()[0])));
  const struct {
    std::string typed, stored;
  } accepted[] = {
      {"\\\\server\\share\\", "\\\\server\\share"},
      {"\\\\", pfDrive + ":\\" NAME_SHORT},
      {"D:\\" + std::string(MAX_PATH - 4, 'x'), "D:\\" + std::string(MAX_PATH - 4, 'x')},
  };
  for (const auto& c : accepted) {
    SetWindowTextA(W(widDestDirEdt), c.typed.c_str());
    Next();
    EXPECT_EQ(f.CurrentPage(), 3) << c.typed;
    EXPECT_EQ(f.Options.MainDir, c.stored);
    Back();
  }
}

}  // namespace
