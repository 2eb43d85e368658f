#include "ui/Accessible.h"

#include "base/OleOnDemand.h"
#include "base/SystemLibrary.h"

#include <utility>
#include <vector>

namespace ui {

namespace {

using base::SystemFunction;

// oleacc.dll is loaded on the first request for an object and stays: the
// objects handed out call back into it until the process ends.
struct TRuntime {
  LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
  HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  BSTR(WINAPI* SysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
  HRESULT(WINAPI* CoDisconnectObject)(LPUNKNOWN, DWORD) = nullptr;

  TRuntime() {
    HMODULE oleacc = LoadLibraryA("oleacc.dll");
    LresultFromObject = SystemFunction<decltype(LresultFromObject)>(oleacc, "LresultFromObject");
    CreateStdAccessibleObject =
        SystemFunction<decltype(CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
    HMODULE oleaut = LoadLibraryA("oleaut32.dll");
    SysAllocStringLen = SystemFunction<decltype(SysAllocStringLen)>(oleaut, "SysAllocStringLen");
    base::OleOnDemand::Ensure();  // the object is marshalled to the reader through OLE
    CoDisconnectObject = base::OleOnDemand::Function<decltype(CoDisconnectObject)>("CoDisconnectObject");
  }
};

const TRuntime& Runtime() {
  static const TRuntime runtime;
  return runtime;
}

int CurrentItem(HWND wnd, bool combo) {
  const LRESULT index = SendMessageA(wnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  return index >= 0 ? int(index) : -1;
}

HRESULT Text(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::vector<OLECHAR> wide(size_t(n) + 1);
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
  if (!Runtime().SysAllocStringLen || !(*out = Runtime().SysAllocStringLen(wide.data(), UINT(n)))) return E_OUTOFMEMORY;
  return S_OK;
}

void SetChild(VARIANT* v, LONG id) {
  v->vt = VT_I4;
  v->lVal = id;
}

}  // namespace

// The object a screen reader holds. Its calls arrive on the window's thread
// (the object lives in that thread's apartment); once the window has gone they
// fail without looking at the window or its list.
class TAccessibleObject final : public IAccessible {
 public:
  TAccessibleObject(HWND wnd, const TAccessibleList& list) : wnd_(wnd), list_(&list), combo_(list.DropDown()) {}

  void Detach() {
    wnd_ = nullptr;
    list_ = nullptr;
    if (std_) std::exchange(std_, nullptr)->Release();
    if (Runtime().CoDisconnectObject) Runtime().CoDisconnectObject(this, 0);
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != __uuidof(IUnknown) && riid != __uuidof(IDispatch) && riid != __uuidof(IAccessible))
      return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return ULONG(left);
  }

  // IDispatch: screen readers call the interface directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!wnd_) return E_FAIL;
    return Std() ? std_->get_accParent(parent) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!wnd_) return E_FAIL;
    *count = Count();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    return item < 0 ? E_INVALIDARG : S_FALSE;  // items are simple elements, no objects of their own
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name) *name = nullptr;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    return Text(item < 0 ? list_->ListName() : list_->ItemName(item), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value) *value = nullptr;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    if (item >= 0) return Text(list_->ItemValue(item), value);
    const int current = CurrentItem(wnd_, combo_);  // a drop-down box's value is its choice
    return Text(combo_ && current >= 0 ? list_->ItemName(current) : std::string(), value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return None(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return None(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return wnd_ ? S_FALSE : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr) || item >= 0 || !Std()) return None(child, keys);
    return std_->get_accKeyboardShortcut(child, keys);  // the mnemonic of the label before the list
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    SetChild(role, item >= 0 ? list_->ItemRole(item) : combo_ ? ROLE_SYSTEM_COMBOBOX : ROLE_SYSTEM_LIST);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    const bool focused = GetFocus() == wnd_;
    LONG s = IsWindowEnabled(wnd_) ? 0 : STATE_SYSTEM_UNAVAILABLE;
    if (item < 0) {
      s |= STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0) |
           (IsWindowVisible(wnd_) ? 0 : STATE_SYSTEM_INVISIBLE);
      if (combo_) s |= SendMessageA(wnd_, CB_GETDROPPEDSTATE, 0, 0) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    } else {
      s |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | list_->ItemState(item);
      if (item == CurrentItem(wnd_, combo_)) s |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
    }
    SetChild(state, s);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    if (!wnd_) return E_FAIL;
    if (GetFocus() != wnd_) return S_FALSE;
    SetChild(focus, CurrentItem(wnd_, combo_) + 1);  // CHILDID_SELF when nothing is chosen
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    if (!wnd_) return E_FAIL;
    const int current = CurrentItem(wnd_, combo_);
    if (current < 0) return S_FALSE;
    SetChild(selection, current + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override { return None(child, action); }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return wnd_ ? DISP_E_MEMBERNOTFOUND : E_FAIL; }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    if (!x || !y || !w || !h) return E_POINTER;
    *x = *y = *w = *h = 0;
    int item = -1;
    const HRESULT hr = Item(child, item);
    if (FAILED(hr)) return hr;
    if (item < 0) return Std() ? std_->accLocation(x, y, w, h, child) : S_FALSE;
    RECT r{};
    POINT origin{};
    if (combo_) {
      if (item != CurrentItem(wnd_, combo_)) return S_FALSE;  // only the chosen one shows while closed
      GetWindowRect(wnd_, &r);
    } else {
      if (SendMessageA(wnd_, LB_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&r)) == LB_ERR ||
          !ClientOrigin(origin))
        return S_FALSE;
    }
    *x = r.left + origin.x;
    *y = r.top + origin.y;
    *w = r.right - r.left;
    *h = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    int item = -1;
    const HRESULT hr = Item(start, item);
    if (FAILED(hr)) return hr;
    const int count = Count();
    int to = -1;
    if (item < 0) {
      if (dir == NAVDIR_FIRSTCHILD || dir == NAVDIR_LASTCHILD) {
        if (count == 0) return S_FALSE;
        to = dir == NAVDIR_FIRSTCHILD ? 0 : count - 1;
      } else {
        return Std() ? std_->accNavigate(dir, start, end) : S_FALSE;  // the list among its siblings
      }
    } else if (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN) {
      to = item + 1;
    } else if (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP) {
      to = item - 1;
    }
    if (to < 0 || to >= count) return S_FALSE;
    SetChild(end, to + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    hit->vt = VT_EMPTY;
    if (!wnd_) return E_FAIL;
    POINT origin{};
    RECT client{};
    GetClientRect(wnd_, &client);
    if (!ClientOrigin(origin)) return S_FALSE;
    const POINT p = {x - origin.x, y - origin.y};
    if (p.x < client.left || p.x >= client.right || p.y < client.top || p.y >= client.bottom)
      return std_->accHitTest(x, y, hit);
    LONG id = CHILDID_SELF;
    if (!combo_) {
      const LRESULT at = SendMessageA(wnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
      if (HIWORD(at) == 0) id = LONG(LOWORD(at)) + 1;
    }
    SetChild(hit, id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return wnd_ ? DISP_E_MEMBERNOTFOUND : E_FAIL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~TAccessibleObject() {
    if (std_) std_->Release();
  }

  int Count() const {
    const LRESULT n = SendMessageA(wnd_, combo_ ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return n > 0 ? int(n) : 0;
  }

  // The list itself (-1) or one of its items; fails once the window has gone.
  HRESULT Item(const VARIANT& child, int& item) const {
    if (!wnd_) return E_FAIL;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
      item = -1;
      return S_OK;
    }
    if (child.lVal < 1 || child.lVal > Count()) return E_INVALIDARG;
    item = int(child.lVal) - 1;
    return S_OK;
  }

  HRESULT None(const VARIANT& child, BSTR* text) const {
    if (!text) return E_POINTER;
    *text = nullptr;
    int item = -1;
    const HRESULT hr = Item(child, item);
    return FAILED(hr) ? hr : S_FALSE;
  }

  // The client area's top left on the screen, as the system's object finds it.
  bool ClientOrigin(POINT& origin) {
    long x = 0, y = 0, w = 0, h = 0;
    VARIANT self;
    SetChild(&self, CHILDID_SELF);
    if (!Std() || std_->accLocation(&x, &y, &w, &h, self) != S_OK) return false;
    origin = {x, y};
    return true;
  }

  // The system's object for the window: where the list lies and what is around it.
  IAccessible* Std() {
    if (!std_ && wnd_ && Runtime().CreateStdAccessibleObject)
      Runtime().CreateStdAccessibleObject(wnd_, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&std_));
    return std_;
  }

  LONG refs_ = 1;
  HWND wnd_;
  const TAccessibleList* list_;
  const bool combo_;
  IAccessible* std_ = nullptr;
};

TAccessibleServer::TAccessibleServer(HWND wnd, const TAccessibleList& list)
    : wnd_(wnd), list_(list), combo_(list.DropDown()), current_(CurrentItem(wnd, combo_)) {}

TAccessibleServer::~TAccessibleServer() {
  if (!object_) return;
  object_->Detach();
  object_->Release();
}

bool TAccessibleServer::Answer(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_GETOBJECT || LONG(DWORD(lp)) != OBJID_CLIENT || !Runtime().LresultFromObject) return false;
  if (!object_) object_ = new TAccessibleObject(wnd_, list_);
  result = Runtime().LresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(object_));
  return !FAILED(HRESULT(result));
}

void TAccessibleServer::Follow(UINT msg) {
  if (following_ || msg == WM_GETOBJECT || msg == WM_DESTROY || msg == WM_NCDESTROY) return;
  following_ = true;  // asking for the selection comes through the window's procedure too
  const int now = CurrentItem(wnd_, combo_);
  following_ = false;
  const bool focused = GetFocus() == wnd_;
  if (now == current_) {
    if (msg == WM_SETFOCUS && now >= 0) NotifyItemEvent(wnd_, EVENT_OBJECT_FOCUS, now);
    return;
  }
  current_ = now;
  if (now < 0) return;
  NotifyItemEvent(wnd_, EVENT_OBJECT_SELECTION, now);
  if (focused) NotifyItemEvent(wnd_, EVENT_OBJECT_FOCUS, now);
  if (combo_) NotifyItemEvent(wnd_, EVENT_OBJECT_VALUECHANGE, -1);
}

void NotifyItemEvent(HWND control, DWORD event, int item) {
  using TNotify = void(WINAPI*)(DWORD, HWND, LONG, LONG);
  static const TNotify notify = SystemFunction<TNotify>(GetModuleHandleA("user32.dll"), "NotifyWinEvent");
  if (notify && control) notify(event, control, OBJID_CLIENT, item < 0 ? CHILDID_SELF : LONG(item) + 1);
}

}  // namespace ui
