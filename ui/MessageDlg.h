// The program's message dialog: a modal, screen-centred message box with any
// set of the eight buttons, sized to its text like the system's own.
#pragma once
#include <cstdint>
#include <string>

namespace ui {

enum TMsgDlgType : uint8_t { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

// Bit numbers of the button set, also the order the buttons appear in.
enum TMsgDlgBtn : uint8_t { mbYes = 0, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll };
using TMsgDlgButtons = uint16_t;
constexpr TMsgDlgButtons ButtonBit(TMsgDlgBtn b) { return TMsgDlgButtons(1u << b); }
constexpr TMsgDlgButtons kAbortRetryIgnore = ButtonBit(mbAbort) | ButtonBit(mbRetry) | ButtonBit(mbIgnore);

// Modal results; a button's result is also its control ID.
enum TModalResult : int32_t {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8
};

// No override: OK if present, else Yes, else Retry.
constexpr int kDefaultByRule = -1;

// Shows text (a "\r" breaks the line) with the caption and icon of dlgType and
// the buttons of the set (bits above mbAll are ignored). defaultButton, a
// TMsgDlgBtn in the set, overrides the default-button rule. Esc presses
// Cancel, else No, else OK; closing the window any other way gives mrCancel.
// The calling thread's active window is disabled while the dialog is up.
int32_t MessageDlg(const std::string& text, uint8_t dlgType, TMsgDlgButtons buttons,
                   int defaultButton = kDefaultByRule);

// The rules on their own; -1 when no button of the set qualifies.
int DefaultButtonOf(TMsgDlgButtons buttons);
int EscButtonOf(TMsgDlgButtons buttons);
int32_t ResultOf(TMsgDlgBtn button);
const char* CaptionOf(uint8_t dlgType);

}  // namespace ui
