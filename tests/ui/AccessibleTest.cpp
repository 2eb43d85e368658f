// A screen reader may hold a list's object after the list has gone: the object
// then answers with errors and never asks the list's owner again.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include "ui/Window.h"

namespace {

struct TCountingList : ui::TAccessibleList {
  std::string ListName() const override { return ++asked, "Things"; }
  std::string ItemName(int) const override { return ++asked, "item"; }
  mutable int asked = 0;
};

VARIANT Child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

}  // namespace

TEST(AccessibleList, AnObjectHeldPastItsWindowFailsWithoutAskingTheOwner) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  TCountingList list;
  ui::TSubclassedControl control;  // outlives its window, as the wizard's objects do
  HWND wnd =
      CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_HASSTRINGS, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
  for (const char* text : {"a", "b"}) SendMessageA(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  control.Subclass(wnd, [&](UINT msg, WPARAM wp, LPARAM lp) { return control.DefaultMessage(msg, wp, lp); });
  control.ServeAccessible(list);
  IAccessible* acc = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc)), S_OK);
  VARIANT state;
  ASSERT_EQ(acc->get_accState(Child(2), &state), S_OK);  // it works while the window is there
  DestroyWindow(wnd);
  const int asked = list.asked;
  BSTR name = nullptr;
  EXPECT_TRUE(FAILED(acc->get_accName(Child(CHILDID_SELF), &name)));
  EXPECT_TRUE(FAILED(acc->get_accState(Child(1), &state)));
  EXPECT_EQ(list.asked, asked) << "the object went on asking after its window had gone";
  acc->Release();
  OleUninitialize();
}
