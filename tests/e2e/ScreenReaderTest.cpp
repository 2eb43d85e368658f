// The wizard as a screen reader reads it: from another process, through the
// objects its lists answer with and the events they send.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Names.h"
#include "tests/support/ProcessDriver.h"
#include "wizard/WizardLayout.h"

using namespace e2e;
using namespace wizard;

namespace {

struct Read {
  std::string name, value;
  LONG role = 0, state = 0;
};

VARIANT Child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Take(BSTR text) {
  char out[512] = {};
  if (text) WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof(out) - 1, nullptr, nullptr);
  SysFreeString(text);
  return out;
}

Read ReadOf(IAccessible* acc, LONG id) {
  Read r;
  BSTR name = nullptr, value = nullptr;
  VARIANT v;
  if (acc->get_accName(Child(id), &name) == S_OK) r.name = Take(name);
  if (acc->get_accValue(Child(id), &value) == S_OK) r.value = Take(value);
  if (acc->get_accRole(Child(id), &v) == S_OK && v.vt == VT_I4) r.role = v.lVal;
  if (acc->get_accState(Child(id), &v) == S_OK && v.vt == VT_I4) r.state = v.lVal;
  return r;
}

// The control's object as a screen reader gets it, with its items (1..n).
struct Object {
  explicit Object(HWND control) {
    AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc));
    if (!acc) return;
    self = ReadOf(acc, CHILDID_SELF);
    long count = 0;
    acc->get_accChildCount(&count);
    for (LONG id = 1; id <= count; ++id) items.push_back(ReadOf(acc, id));
  }
  ~Object() {
    if (acc) acc->Release();
  }
  IAccessible* acc = nullptr;
  Read self;
  std::vector<Read> items;
};

struct Event {
  HWND wnd;
  LONG object, child;
};
std::vector<Event> g_stateChanges;

void CALLBACK OnStateChange(HWINEVENTHOOK, DWORD, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
  g_stateChanges.push_back({wnd, object, child});
}

bool Pumped(const std::function<bool()>& done) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  return done();
}

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

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

  // Page 2: every focusable control has a name; the folder chain and the drives read by name.
  const std::string dest = ControlText(FindControl(wnd, widDestDirEdt));
  for (TWidgetId id : {widDestDirEdt, widDestDirLstBx, widDestDirCmbBx})
    EXPECT_NE(Object(FindControl(wnd, id)).self.name, "") << "control " << id << " has no name";
  {
    Object folders(FindControl(wnd, widDestDirLstBx));
    ASSERT_GE(folders.items.size(), 2u) << "the folder list shows no items";
    EXPECT_TRUE(SameText(folders.items[0].name, dest.substr(0, 2))) << folders.items[0].name;
    int selected = 0;
    for (const Read& item : folders.items) {
      EXPECT_NE(item.name, "");
      EXPECT_EQ(item.role, ROLE_SYSTEM_LISTITEM);
      if (item.state & STATE_SYSTEM_SELECTED) {
        ++selected;
        EXPECT_NE(dest.find("\\" + item.name), std::string::npos) << item.name << " is not on the way to " << dest;
      }
    }
    EXPECT_EQ(selected, 1);
    Object drives(FindControl(wnd, widDestDirCmbBx));
    EXPECT_TRUE(SameText(drives.self.value.substr(0, 2), dest.substr(0, 2))) << drives.self.value;
    ASSERT_FALSE(drives.items.empty());
    for (const Read& item : drives.items) EXPECT_EQ(item.name.size() >= 2 && item.name[1] == ':', true) << item.name;
  }

  // Page 3: the rows with the checks as drawn; Space on the current one is read and heard.
  toPage(widSelCompTabSheet);
  HWND list = FindControl(wnd, widSelCompLstBx);
  const char* const names[] = {NAME_PRODUCT,         "English spellchecker", "Hyphenation module",
                               "Document templates", "Clip library",         "Basic sound scheme"};
  {
    Object comps(list);
    EXPECT_NE(comps.self.name, "");
    ASSERT_EQ(comps.items.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
      SCOPED_TRACE(names[i]);
      EXPECT_EQ(comps.items[i].name, names[i]);
      EXPECT_EQ(comps.items[i].role, ROLE_SYSTEM_CHECKBUTTON);
      EXPECT_TRUE(comps.items[i].state & STATE_SYSTEM_CHECKED);
      EXPECT_EQ((comps.items[i].state & STATE_SYSTEM_UNAVAILABLE) != 0, i == 0) << "only the program is required";
    }
  }
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr, OnStateChange,
                                       setup.id(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ASSERT_TRUE(BringToFront(wnd, kStepTimeout));
  PressKey('C', true);  // the label's mnemonic
  auto secondRow = [&] {
    Object now(list);
    return now.items.size() > 1 ? now.items[1].state : 0;
  };
  ASSERT_TRUE(WaitUntil([&] { return (secondRow() & STATE_SYSTEM_FOCUSED) != 0; }, kStepTimeout))
      << "Alt+C did not put the focus on the second row";
  PressKey(VK_SPACE);
  EXPECT_TRUE(WaitUntil([&] { return Pumped([&] { return !g_stateChanges.empty(); }); }, kStepTimeout))
      << "no state change was sent";
  UnhookWinEvent(hook);
  EXPECT_FALSE(secondRow() & STATE_SYSTEM_CHECKED) << "Space did not uncheck the row as read";
  ASSERT_FALSE(g_stateChanges.empty());
  const Event e = g_stateChanges[0];
  EXPECT_EQ(e.wnd, list);
  IAccessible* fromEvent = nullptr;
  VARIANT child;
  ASSERT_EQ(AccessibleObjectFromEvent(e.wnd, DWORD(e.object), DWORD(e.child), &fromEvent, &child), S_OK);
  const Read changed = ReadOf(fromEvent, child.lVal);
  fromEvent->Release();
  EXPECT_EQ(changed.name, names[1]);
  EXPECT_FALSE(changed.state & STATE_SYSTEM_CHECKED);

  ClickButton(FindControl(wnd, widCancelBtn));
  MessageBoxInfo box = WaitForMessageBox(setup.id(), kStepTimeout);
  if (box.window) ClickButton(GetDlgItem(box.window, IDABORT));
  DWORD code = 0;
  EXPECT_TRUE(setup.WaitForExit(kStepTimeout, &code));
  CoUninitialize();
}
