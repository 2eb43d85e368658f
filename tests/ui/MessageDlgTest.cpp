#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/DialogDriver.h"
#include "ui/MessageDlg.h"
#include "ui/Window.h"

using namespace testing_ui;
using namespace ui;

namespace {

constexpr TMsgDlgButtons B(TMsgDlgBtn b) { return ButtonBit(b); }
const TMsgDlgButtons kAll = 0xFF;

// Holds each dialog on screen for a while when asked, for screenshots.
void MaybeHold() {
  if (const char* ms = std::getenv("VELLUMAR_DLG_HOLD_MS")) Sleep(DWORD(std::atoi(ms)));
}

struct Shown {
  DialogView view;
  int32_t result = -1;
};

// Shows a dialog, inspects it, then does `act` to it.
Shown Show(const std::string& text, uint8_t type, TMsgDlgButtons buttons, int def,
           const std::function<void(const DialogView&)>& act) {
  Shown s;
  s.result = RunDialog([&] { return MessageDlg(text, type, buttons, def); },
                       [&](HWND dlg) {
                         s.view = Inspect(dlg);
                         MaybeHold();
                         act(s.view);
                       });
  return s;
}

const ButtonView* ButtonWithId(const DialogView& v, int id) {
  for (const ButtonView& b : v.buttons)
    if (b.id == id) return &b;
  return nullptr;
}

}  // namespace

TEST(MessageDlgRules, DefaultAndEscButtons) {
  EXPECT_EQ(DefaultButtonOf(kAll), mbOK);
  EXPECT_EQ(DefaultButtonOf(B(mbYes) | B(mbNo) | B(mbRetry)), mbYes);
  EXPECT_EQ(DefaultButtonOf(kAbortRetryIgnore), mbRetry);
  EXPECT_EQ(DefaultButtonOf(B(mbNo) | B(mbAbort)), -1);
  EXPECT_EQ(EscButtonOf(kAll), mbCancel);
  EXPECT_EQ(EscButtonOf(B(mbYes) | B(mbNo) | B(mbOK)), mbNo);
  EXPECT_EQ(EscButtonOf(B(mbOK) | B(mbAll)), mbOK);
  EXPECT_EQ(EscButtonOf(kAbortRetryIgnore), -1);
}

TEST(MessageDlg, AllButtonsInFixedOrderWithTheirResults) {
  const struct { int id; const char* caption; } expected[] = {
      {6, "&Yes"}, {7, "&No"}, {1, "OK"}, {2, "Cancel"}, {3, "&Abort"}, {4, "&Retry"}, {5, "&Ignore"}, {8, "&All"}};
  for (size_t i = 0; i < 8; ++i) {
    Shown s = Show("Which one?", mtConfirmation, kAll, kDefaultByRule,
                   [&](const DialogView& v) { if (v.buttons.size() == 8) Click(v.buttons[i]); });
    ASSERT_EQ(s.view.buttons.size(), 8u);
    for (size_t j = 0; j < 8; ++j) {
      EXPECT_EQ(s.view.buttons[j].id, expected[j].id);
      EXPECT_EQ(s.view.buttons[j].caption, expected[j].caption);
    }
    EXPECT_EQ(s.result, expected[i].id) << "clicked " << expected[i].caption;
  }
}

TEST(MessageDlg, CaptionAndIconFollowTheType) {
  const char* captions[] = {"Warning", "Error", "Information", "Confirm"};
  for (uint8_t type = 0; type < 4; ++type) {
    Shown s = Show("Typed", type, B(mbOK), kDefaultByRule, [](const DialogView& v) { PressKey(VK_RETURN); (void)v; });
    EXPECT_EQ(s.view.caption, captions[type]);
    EXPECT_TRUE(s.view.hasIcon) << captions[type];
    EXPECT_EQ(s.result, mrOk);
  }
}

TEST(MessageDlg, EnterPressesTheDefaultButton) {
  const struct { TMsgDlgButtons set; int def; int32_t result; } cases[] = {
      {B(mbOK) | B(mbCancel), kDefaultByRule, mrOk},
      {B(mbYes) | B(mbNo) | B(mbCancel), kDefaultByRule, mrYes},
      {kAbortRetryIgnore, kDefaultByRule, mrRetry},
      {B(mbYes) | B(mbNo), mbNo, mrNo},              // override
      {kAbortRetryIgnore, mbIgnore, mrIgnore},       // override
      {B(mbYes) | B(mbNo), mbAbort, mrYes},          // override not in the set: the rule
  };
  for (const auto& c : cases) {
    Shown s = Show("Enter", mtWarning, c.set, c.def, [](const DialogView&) { PressKey(VK_RETURN); });
    EXPECT_EQ(s.result, c.result) << "set " << c.set;
    EXPECT_EQ(s.view.defId, c.result);
    const ButtonView* def = ButtonWithId(s.view, c.result);
    ASSERT_NE(def, nullptr);
    EXPECT_TRUE(def->isDefault);
    EXPECT_EQ(s.view.focus, def->wnd);
  }
}

TEST(MessageDlg, EscAndOtherWaysOfClosing) {
  const struct { TMsgDlgButtons set; int32_t result; } esc[] = {
      {kAll, mrCancel},
      {B(mbYes) | B(mbNo) | B(mbOK), mrNo},
      {B(mbOK) | B(mbAll), mrOk},
  };
  for (const auto& c : esc) {
    Shown s = Show("Esc", mtInformation, c.set, kDefaultByRule, [](const DialogView&) { PressKey(VK_ESCAPE); });
    EXPECT_EQ(s.result, c.result) << "set " << c.set;
  }
  // No Esc button: Esc does nothing, the close box still gives Cancel.
  Shown s = Show("Locked", mtError, kAbortRetryIgnore, kDefaultByRule, [](const DialogView& v) {
    PressKey(VK_ESCAPE);
    Sleep(300);
    if (IsWindow(v.wnd)) CloseBox(v.wnd);
  });
  EXPECT_EQ(s.result, mrCancel);
  s = Show("Yes or no", mtConfirmation, B(mbYes) | B(mbNo), kDefaultByRule,
           [](const DialogView& v) { CloseBox(v.wnd); });
  EXPECT_EQ(s.result, mrCancel);
  // An accelerator works like a click.
  s = Show("Retry?", mtError, kAbortRetryIgnore, kDefaultByRule, [](const DialogView&) { PressKey('I', true); });
  EXPECT_EQ(s.result, mrIgnore);
}

TEST(MessageDlg, SizedToTextAndCentredOnTheScreen) {
  const std::string oneLine = "Short & sweet";
  Shown small = Show(oneLine, mtInformation, B(mbOK), kDefaultByRule, [](const DialogView&) { PressKey(VK_RETURN); });
  const std::string lines = "First line\rSecond line\r\rFourth line, after an empty one";
  Shown tall = Show(lines, mtInformation, B(mbOK), kDefaultByRule, [](const DialogView&) { PressKey(VK_RETURN); });
  std::string para;
  for (int i = 0; i < 40; ++i) para += "a rather long sentence that wraps ";
  Shown wide = Show(para, mtWarning, kAbortRetryIgnore, kDefaultByRule, [](const DialogView& v) { CloseBox(v.wnd); });

  // The text is shown as given, "&" literally, "\r" as a line break.
  EXPECT_EQ(small.view.text, oneLine);
  EXPECT_EQ(tall.view.text, "First line\r\nSecond line\r\n\r\nFourth line, after an empty one");
  const int smallH = small.view.textRect.bottom - small.view.textRect.top;
  const int tallH = tall.view.textRect.bottom - tall.view.textRect.top;
  EXPECT_GE(tallH, 4 * smallH - 4);
  EXPECT_GT(tall.view.rect.bottom - tall.view.rect.top, small.view.rect.bottom - small.view.rect.top);

  // Long text wraps inside the screen.
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LT(wide.view.rect.right - wide.view.rect.left, screenW);
  EXPECT_GT(wide.view.textRect.bottom - wide.view.textRect.top, 3 * smallH);

  for (const Shown* s : {&small, &tall, &wide}) {
    const RECT& r = s->view.rect;
    EXPECT_NEAR((r.left + r.right) / 2, screenW / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, screenH / 2, 1);
    // Buttons: one size, one row, evenly spaced, below the text, inside the window.
    const auto& bs = s->view.buttons;
    ASSERT_FALSE(bs.empty());
    for (size_t i = 0; i < bs.size(); ++i) {
      EXPECT_EQ(bs[i].rect.right - bs[i].rect.left, bs[0].rect.right - bs[0].rect.left);
      EXPECT_EQ(bs[i].rect.top, bs[0].rect.top);
      EXPECT_GE(bs[i].rect.top, s->view.textRect.bottom);
      EXPECT_GE(bs[i].rect.left, r.left);
      EXPECT_LE(bs[i].rect.right, r.right);
      EXPECT_LE(bs[i].rect.bottom, r.bottom);
      if (i) {
        EXPECT_EQ(bs[i].rect.left - bs[i - 1].rect.right, bs[1].rect.left - bs[0].rect.right);
      }
    }
    // Standard button size: 50 x 14 dialog units is about 75 x 23 pixels here.
    EXPECT_GE(bs[0].rect.right - bs[0].rect.left, 70);
    EXPECT_GE(bs[0].rect.bottom - bs[0].rect.top, 20);
    // The button row is centred.
    EXPECT_NEAR(bs.front().rect.left - r.left, r.right - bs.back().rect.right, 2);
  }
}

// At every DPI users have the form makes its font for the window's DPI and
// sizes itself to it: the text and every caption fit. Wine's DPI is fixed
// per prefix; the window base's seam stands for the display's.
TEST(MessageDlg, TextAndCaptionsFitAtEveryDpi) {
  const std::string text =
      "The file C:\\Program Files\\Vellumar\\Writer\\Hyphenation.dat cannot be written.\r\r"
      "Abort ends the setup, Retry tries again, Ignore leaves the file as it is.";
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    TWindowBase::SetDpiForTesting(dpi);
    Show(text, mtError, kAll, kDefaultByRule, [dpi](const DialogView& v) {
      HWND textWnd = GetDlgItem(v.wnd, 0xFFFF);
      LOGFONTA font = {};
      GetObjectA(reinterpret_cast<HFONT>(SendMessageA(textWnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
      EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi, 72)) << "8 points at the DPI";
      RECT client = {};
      GetClientRect(textWnd, &client);
      const SIZE need = testsupport::TextNeeds(textWnd, client.right, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
      EXPECT_LE(need.cx, client.right);
      EXPECT_LE(need.cy, client.bottom);
      for (const ButtonView& b : v.buttons) {
        GetClientRect(b.wnd, &client);
        const SIZE caption = testsupport::TextNeeds(b.wnd, 0, DT_SINGLELINE);
        EXPECT_LE(caption.cx + MulDiv(8, dpi, 96), client.right) << b.caption;
        EXPECT_LE(caption.cy + MulDiv(4, dpi, 96), client.bottom) << b.caption;
      }
      CloseBox(v.wnd);
    });
  }
  TWindowBase::SetDpiForTesting(0);
}
