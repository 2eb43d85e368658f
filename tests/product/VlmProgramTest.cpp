// The stand-in word processor, run on its own as the setup would start it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "base/WinHandles.h"
#include "product/vlm/CommandLine.h"
#include "product/vlm/ProductNames.h"

namespace {

std::string VlmPath() {
  const auto& argv = testing::internal::GetArgvs();
  std::string path = argv.size() > 1 ? argv[1] : std::string();
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
  }
  return path;
}

struct WindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMarkedWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->pid && GetPropA(hwnd, vlm::kInstanceProperty) != nullptr && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The product's marked top-level window, the way the setup looks for it.
HWND FindMarkedWindow(DWORD pid) {
  WindowSearch s{pid, nullptr};
  EnumWindows(&MatchMarkedWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string WindowText(HWND hwnd) {
  std::string text(size_t(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(size_t(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

class RunningVlm : public testing::Test {
 protected:
  void SetUp() override {
    const std::string path = VlmPath();
    ASSERT_FALSE(path.empty()) << "pass the built vlm.exe";
    std::string command = "\"" + path + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << path << " error " << GetLastError();
    process_.reset(pi.hProcess);
    base::UniqueHandleT<base::KernelHandleTraits> thread(pi.hThread);
    pid_ = pi.dwProcessId;
    tid_ = pi.dwThreadId;
    for (int i = 0; i < 200 && !main_; ++i) {
      main_ = FindMarkedWindow(pid_);
      if (!main_) Sleep(50);
    }
  }

  void TearDown() override {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
  }

  base::UniqueHandleT<base::KernelHandleTraits> process_;
  DWORD pid_ = 0, tid_ = 0;
  HWND main_ = nullptr;
};

}  // namespace

TEST_F(RunningVlm, MarksItsMainWindowAndAcceptsTyping) {
  ASSERT_NE(main_, nullptr) << "no visible top-level window carries the property";
  EXPECT_EQ(GetAncestor(main_, GA_ROOT), main_);
  EXPECT_NE(GetPropA(main_, "1.x Quarrytide"), nullptr);

  HWND edit = FindWindowExA(main_, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG style = GetWindowLongA(edit, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & ES_READONLY);
  EXPECT_TRUE(IsWindowEnabled(edit) && IsWindowVisible(edit));

  // Keystrokes go to the text area once the window is up; activation, and so
  // the move of the focus to the text area, may follow the window's showing.
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof(gui);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50)) {
    ASSERT_TRUE(GetGUIThreadInfo(tid_, &gui));
    if (gui.hwndFocus == edit) break;
  }
  EXPECT_EQ(gui.hwndFocus, edit);

  for (char c : std::string("Dear Sir,\rThank you.")) SendMessageA(edit, WM_CHAR, WPARAM(uint8_t(c)), 1);
  EXPECT_EQ(WindowText(edit), "Dear Sir,\r\nThank you.");
  SendMessageA(edit, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(WindowText(edit), "Dear Sir,\r\nThank you");

  // More than the edit control's default 32 KB limit fits in a document.
  const std::string big(40000, 'x');
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(big.c_str()));
  SendMessageA(edit, WM_CHAR, 'y', 1);
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), LRESULT(big.size() + 1));
}

TEST_F(RunningVlm, ClosingTheWindowEndsTheProgramWithExitCodeZero) {
  ASSERT_NE(main_, nullptr);
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.get(), 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process_.get(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(FindMarkedWindow(pid_), nullptr);
}

TEST(VlmCommandLine, SplitsQuotedArguments) {
  struct Case { const char* tail; std::vector<std::string> args; } cases[] = {
      {"", {}},
      {"   ", {}},
      {"-assoc vdoc_rtf_doc", {"-assoc", "vdoc_rtf_doc"}},
      {"\"C:\\Program Files\\a b.rtf\" -x", {"C:\\Program Files\\a b.rtf", "-x"}},
      {"\"\" next", {"", "next"}},
      {"a\tb  c", {"a", "b", "c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(vlm::SplitCommandTail(c.tail), c.args) << c.tail;
  EXPECT_EQ(vlm::ParseCommandLine("").Action, vlm::saEdit);
}
