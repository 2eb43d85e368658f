// What screen readers read of a list the program draws itself. The system's
// own object for a list box or combo box knows nothing of owner-drawn items
// (their names, check boxes, which are required), so a window that serves a
// TAccessibleList answers WM_GETOBJECT for its client area with an object of
// its own. Everything accessibility needs from oleacc.dll and the newer
// user32 functions is looked up at run time: the setup must still start, and
// say why it stops, on Windows that lack them.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>

namespace ui {

// What the owner of an owner-drawn list box or drop-down combo box tells its
// object. Items are the control's own (0-based here, child id item + 1 to a
// screen reader); selection and focus come from the control itself.
class TAccessibleList {
 public:
  // The list's own name, e.g. what a label next to it says.
  virtual std::string ListName() const = 0;
  // The text drawn for the item; "" when there is none.
  virtual std::string ItemName(int item) const = 0;
  virtual std::string ItemValue(int) const { return std::string(); }
  virtual LONG ItemRole(int) const { return ROLE_SYSTEM_LISTITEM; }
  // States beyond selectable/focusable/selected/focused, e.g. checked.
  virtual LONG ItemState(int) const { return 0; }
  // A drop-down combo box rather than a list box.
  virtual bool DropDown() const { return false; }

 protected:
  ~TAccessibleList() = default;
};

class TAccessibleObject;

// The window side of the object: answers WM_GETOBJECT, follows the selection
// with the focus and selection events, and lets go of the window when it goes
// (a screen reader may hold the object much longer).
class TAccessibleServer {
 public:
  TAccessibleServer(HWND wnd, const TAccessibleList& list);
  ~TAccessibleServer();  // disconnects every holder: later calls fail, touching nothing
  TAccessibleServer(const TAccessibleServer&) = delete;
  TAccessibleServer& operator=(const TAccessibleServer&) = delete;

  // True when the message was answered here (result set).
  bool Answer(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // After the window has handled a message: events for a changed selection.
  void Follow(UINT msg);

 private:
  HWND wnd_;
  const TAccessibleList& list_;
  const bool combo_;
  TAccessibleObject* object_ = nullptr;  // made on the first request
  int current_ = -1;
  bool following_ = false;
};

// Tells screen readers about item (0-based; -1: the control itself) of the
// control's client area; nothing where the system cannot send events.
void NotifyItemEvent(HWND control, DWORD event, int item);

}  // namespace ui
