// Container windows of the wizard: the header panel, the picture strip, the
// page control, its sheets and the bevelled disk-space panel. They paint
// their own background and pass their children's notifications on to the
// wizard window, so that every handler lives in one place.
#pragma once
#include <windows.h>

#include "ui/Window.h"
#include "wizard/WizardLayout.h"

namespace wizard {

class TPanel : public ui::TWindowBase {
 public:
  TPanel(TPanelLook look, HWND notifyTarget) : look_(look), target_(notifyTarget) {}

  // The window; this object must outlive it.
  HWND Create(HWND parent, const TWidgetDef& def, HINSTANCE instance);

  int Tag = 0;  // sheets: the page number

 private:
  static void RegisterOnce(HINSTANCE instance);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  LRESULT EraseBackground(HDC dc);
  void Paint();
  LRESULT ChildColour(UINT msg, WPARAM wp, LPARAM lp);

  TPanelLook look_;
  HWND target_;
};

// The header's text colour.
constexpr COLORREF kNavy = RGB(0, 0, 128);

}  // namespace wizard
