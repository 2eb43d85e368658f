// The wizard as a screen reader reads it: from another process, through the
// objects its lists answer with and the events they send.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include "tests/support/ProcessDriver.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

struct Read {
  std::string name, value;
  LONG role = 0, state = 0;
};

Read ReadOf(IAccessible* acc, LONG id) {
  Read r;
  BSTR text[2] = {};
  VARIANT v, child;
  child.vt = VT_I4, child.lVal = id;
  acc->get_accName(child, &text[0]);
  acc->get_accValue(child, &text[1]);
  for (int i = 0; i < 2; ++i) {
    char out[512] = {};
    if (text[i]) WideCharToMultiByte(CP_ACP, 0, text[i], -1, out, sizeof(out) - 1, nullptr, nullptr);
    SysFreeString(text[i]);
    (i ? r.value : r.name) = out;
  }
  if (acc->get_accRole(child, &v) == S_OK && v.vt == VT_I4) r.role = v.lVal;
  if (acc->get_accState(child, &v) == S_OK && v.vt == VT_I4) r.state = v.lVal;
  return r;
}

// The control's object as a screen reader gets it: the control itself, then its items.
std::vector<Read> ReadControl(HWND control) {
  std::vector<Read> all;
  IAccessible* acc = nullptr;
  if (AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc)) != S_OK)
    return {Read()};
  long count = 0;
  acc->get_accChildCount(&count);
  for (LONG id = CHILDID_SELF; id <= count; ++id) all.push_back(ReadOf(acc, id));
  acc->Release();
  return all;
}

HWND g_changedWnd = nullptr;
LONG g_changedObject = 0, g_changedChild = 0;

void CALLBACK OnStateChange(HWINEVENTHOOK, DWORD, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
  if (!g_changedWnd) g_changedWnd = wnd, g_changedObject = object, g_changedChild = child;
}

}  // namespace

TEST(ScreenReader, ReadsTheListsItemsAndChecksAndHearsAToggle) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
  ChildProcess setup(testing::internal::GetArgvs()[1]);
  HWND wnd = WaitForWindowWithControl(setup.id(), kTitle, widPgCtrl, kStartTimeout);
  ASSERT_NE(wnd, nullptr);
  auto toPage = [&](TWidgetId sheet) {
    ASSERT_TRUE(BringToFront(wnd, kStepTimeout));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(FindControl(wnd, sheet)) != FALSE; }, kStepTimeout));
  };
  toPage(widLicenseTabSheet);
  toPage(widDestDirTabSheet);

  // Every focusable control of pages 2 and 3 has a name; page 2's folder chain and drives read by name.
  const std::string dest = ControlText(FindControl(wnd, widDestDirEdt));
  for (TWidgetId id : {widDestDirEdt, widDestDirLstBx, widDestDirCmbBx})
    EXPECT_NE(ReadControl(FindControl(wnd, id))[0].name, "") << "control " << id << " has no name";
  const std::vector<Read> folders = ReadControl(FindControl(wnd, widDestDirLstBx));
  ASSERT_GE(folders.size(), 3u) << "the folder list shows no items";
  EXPECT_EQ(lstrcmpiA(folders[1].name.c_str(), dest.substr(0, 2).c_str()), 0) << "the root is not first";
  for (size_t i = 1; i < folders.size(); ++i) {
    EXPECT_TRUE(folders[i].role == ROLE_SYSTEM_LISTITEM && !folders[i].name.empty()) << "folder " << i;
    EXPECT_TRUE(!(folders[i].state & STATE_SYSTEM_SELECTED) || dest.find("\\" + folders[i].name) != std::string::npos)
        << folders[i].name << " not on " << dest;
  }
  const std::vector<Read> drives = ReadControl(FindControl(wnd, widDestDirCmbBx));
  EXPECT_EQ(lstrcmpiA(drives[0].value.substr(0, 2).c_str(), dest.substr(0, 2).c_str()), 0) << drives[0].value;
  for (size_t i = 1; i < drives.size(); ++i) EXPECT_EQ(drives[i].name.find(':'), 1u) << drives[i].name;

  // Page 3: the rows with the checks as drawn; Space on the current one is read and heard.
  toPage(widSelCompTabSheet);
  HWND list = FindControl(wnd, widSelCompLstBx);
  EXPECT_NE(ReadControl(list)[0].name, "") << "the component list has no name";
  const char* const names[] = {NAME_PRODUCT,         "English spellchecker", "Hyphenation module",
                               "Document templates", "Clip library",         "Basic sound scheme"};
  const std::vector<Read> rows = ReadControl(list);
  ASSERT_EQ(rows.size(), 7u);
  for (size_t i = 1; i <= 6; ++i) {  // all checked; only the program's row required
    EXPECT_TRUE(rows[i].name == names[i - 1] && rows[i].role == ROLE_SYSTEM_CHECKBUTTON) << rows[i].name;
    EXPECT_EQ(rows[i].state & (STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE),
              STATE_SYSTEM_CHECKED | (i == 1 ? STATE_SYSTEM_UNAVAILABLE : 0))
        << names[i - 1];
  }
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr, OnStateChange,
                                       setup.id(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(BringToFront(wnd, kStepTimeout));
  PressKey('C', true);  // the label's mnemonic puts the focus on the list
  PressKey(VK_SPACE);
  MSG msg;  // out-of-context events come as messages
  auto heard = [&] {
    return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) ? DispatchMessageA(&msg), false : !!g_changedWnd;
  };
  EXPECT_TRUE(WaitUntil(heard, kStepTimeout)) << "no state change was sent";
  UnhookWinEvent(hook);
  EXPECT_EQ(ReadControl(list)[2].state & (STATE_SYSTEM_CHECKED | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED)
      << "the row does not read as focused and unchecked";
  IAccessible* fromEvent = nullptr;
  VARIANT child;
  ASSERT_EQ(AccessibleObjectFromEvent(g_changedWnd, DWORD(g_changedObject), DWORD(g_changedChild), &fromEvent, &child),
            S_OK);
  const Read changed = ReadOf(fromEvent, child.lVal);
  fromEvent->Release();
  EXPECT_TRUE(changed.name == names[1] && !(changed.state & STATE_SYSTEM_CHECKED)) << changed.name;
}  // the setup, cancelled or not, is ended with the test
