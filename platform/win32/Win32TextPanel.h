#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TextPanel.h"

struct HWND__;

namespace platform::win32 {

// Control ids of the text panel, for tests that work it as a user would.
enum TextPanelControl : int {
  kTextWordsId = 1101,
  kTextFontId,
  kTextSizeId,
  kTextSizeSpinId,
  kTextMoreColoursId,
  kTextBoldId,
  kTextItalicId,
  kTextLeftId,
  kTextCentreId,
  kTextRightId,
  kTextEffectId,
  kTextColourId,
  kTextSwatchId = 1200,  // + the swatch's place
};

// The editor of a text box: a modeless dialog of standard controls beside
// the main window, every change reported as it is made.
class Win32TextPanel {
 public:
  explicit Win32TextPanel(HWND__* owner) : owner_(owner) {}
  ~Win32TextPanel();
  Win32TextPanel(const Win32TextPanel&) = delete;
  Win32TextPanel& operator=(const Win32TextPanel&) = delete;

  void Show(const TextPanelModel& model, TextPanelHandler& handler, bool focusWords);
  // Closed by the program: the handler is not told.
  void Close();
  bool Open() const { return dialog_ != nullptr; }
  HWND__* Dialog() const { return dialog_; }

  // The dialog procedure's work.
  intptr_t Handle(uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  void Make();
  void Fill(const TextPanelModel& model);
  void Report(TextPanelChange what);
  void ReadSize();
  void ShowSize();
  void ChooseColour();

  HWND__* owner_;
  HWND__* dialog_ = nullptr;
  TextPanelHandler* handler_ = nullptr;
  TextPanelModel model_;
  bool quiet_ = false;
  bool made_ = false;  // the controls exist
  int filterId_ = 0;
  unsigned long customColours_[16] = {};
};

}  // namespace platform::win32
