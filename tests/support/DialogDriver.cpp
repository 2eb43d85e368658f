#include "tests/support/DialogDriver.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include "base/Threads.h"

namespace testing_ui {

namespace {

struct Search {
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (ClassOf(w) == "#32770" && IsWindowVisible(w) && !TextOf(GetDlgItem(w, 0xFFFF)).empty()) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectButtons(HWND w, LPARAM lp) {
  auto* v = reinterpret_cast<DialogView*>(lp);
  if (ClassOf(w) == "Button") {
    ButtonView b;
    b.wnd = w;
    b.id = GetDlgCtrlID(w);
    b.caption = TextOf(w);
    GetWindowRect(w, &b.rect);
    b.isDefault = (GetWindowLongA(w, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    v->buttons.push_back(b);
  } else if (ClassOf(w) == "Static" && (GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    v->hasIcon = SendMessageA(w, STM_GETICON, 0, 0) != 0;
  }
  return TRUE;
}

void Send(INPUT* in, UINT n) { SendInput(n, in, sizeof(INPUT)); }

}  // namespace

HWND WaitForDialog(DWORD threadId, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search s;
    EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      Sleep(150);  // let it finish painting and take the focus
      return s.found;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool WaitUntilGone(HWND dlg, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsWindow(dlg)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

DialogView Inspect(HWND dlg) {
  DialogView v;
  v.wnd = dlg;
  v.caption = TextOf(dlg);
  HWND text = GetDlgItem(dlg, 0xFFFF);
  v.text = TextOf(text);
  GetWindowRect(dlg, &v.rect);
  GetWindowRect(text, &v.textRect);
  EnumChildWindows(dlg, CollectButtons, reinterpret_cast<LPARAM>(&v));
  std::sort(v.buttons.begin(), v.buttons.end(),
            [](const ButtonView& a, const ButtonView& b) { return a.rect.left < b.rect.left; });
  const LRESULT def = SendMessageA(dlg, DM_GETDEFID, 0, 0);
  v.defId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
  GUITHREADINFO gi{};
  gi.cbSize = sizeof(gi);
  if (GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gi)) v.focus = gi.hwndFocus;
  return v;
}

void Click(const ButtonView& b) {
  const int x = (b.rect.left + b.rect.right) / 2, y = (b.rect.top + b.rect.bottom) / 2;
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    i.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
  }
  in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
  in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  Send(in, 3);
}

void CloseBox(HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); }

int32_t RunDialog(const std::function<int32_t()>& show, const std::function<void(HWND)>& driver) {
  const DWORD tid = GetCurrentThreadId();
  std::atomic<bool> done{false};
  base::Thread t([&] {
    bool driven = false;
    const DWORD start = GetTickCount();
    while (!done) {
      HWND dlg = WaitForDialog(tid, 500);
      if (!dlg) {
        if (!driven && GetTickCount() - start > 10000)
          std::fprintf(stderr, "no dialog on screen after %lu ms\n", GetTickCount() - start);
        continue;
      }
      if (!driven) {
        driven = true;
        driver(dlg);
      }
      // Whatever is still open after the driver is closed, so that nothing hangs.
      if (!WaitUntilGone(dlg, 4000)) PostMessageA(dlg, WM_CLOSE, 0, 0);
    }
  });
  const int32_t r = show();
  done = true;
  t.Join();
  return r;
}

}  // namespace testing_ui
