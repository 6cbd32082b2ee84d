#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/Toolbar.h"

namespace platform::scripted {

class ScriptedPlatform;
class ScriptedWindow;

// A copy of one icon handed to an image list.
struct StoredIcon {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;
};

class ScriptedImageList : public ImageList {
 public:
  ScriptedImageList(ScriptedPlatform& platform, int32_t cx, int32_t cy, uint32_t flags);
  ~ScriptedImageList() override;

  int ReplaceIcon(int index, const IconImage& icon) override;
  int Count() const override { return int(icons.size()); }

  int32_t cx;
  int32_t cy;
  uint32_t flags;
  std::vector<StoredIcon> icons;

 private:
  ScriptedPlatform& platform_;
};

struct RecordedButton {
  TBBUTTON button;  // iString points at `label` (or is null)
  std::string label;
  bool pressed = false;  // drawn in the selected state by PaintToolbar
};

// What one PaintToolbar pass saw.
struct ToolbarItemPaint {
  int32_t commandId = 0;
  Rect itemRect;        // toolbar coordinates
  Rect rcTextBefore;    // as the toolbar reported it, relative to the item
  Rect rcTextAfter;     // as the parent left it
  LRESULT answer = 0;
  bool labelDrawnByToolbar = false;
};
struct ToolbarPaint {
  LRESULT prepaintAnswer = 0;
  std::vector<ToolbarItemPaint> items;
  std::vector<std::string> labelsDrawnByToolbar;
};

class ScriptedToolbar : public Toolbar {
 public:
  // Before SetButtonSize: what the control picks for large icons with labels.
  static constexpr Size kNaturalButtonSize{56, 70};
  static constexpr int32_t kSeparatorHeight = 8;

  ScriptedToolbar(ScriptedWindow& parent, const Rect& rect, uint32_t style);

  void SetExtendedStyle(uint32_t exStyle) override;
  void ButtonStructSize(size_t size) override;
  void SetImageList(ImageList* images) override;
  bool AddButtons(const TBBUTTON* buttons, int count) override;
  Size GetButtonSize() const override { return buttonSize; }
  void SetButtonSize(Size size) override;
  int GetButtonText(int commandId, std::string* text) const override;
  void MoveWindow(const Rect& rect, bool repaint) override;
  Rect GetWindowRect() const override { return rect; }

  // Test input. Hover/leave send TBN_HOTITEMCHANGE and return the parent's answer.
  LRESULT HoverButton(int32_t commandId);
  LRESULT LeaveToolbar();
  // WM_COMMAND to the parent; false (nothing sent) for a separator or unknown id.
  bool ClickButton(int32_t commandId);
  void SetPressed(int32_t commandId, bool pressed);
  // A custom-draw pass: NM_CUSTOMDRAW pre-paint, then item pre-paint per
  // button when asked for; texts land on the parent's surface.
  ToolbarPaint PaintToolbar();
  // Item rectangle of the button with this id, toolbar coordinates.
  Rect ItemRect(int32_t commandId) const;
  const RecordedButton* Find(int32_t commandId) const;

  uint32_t style;
  uint32_t exStyle = 0;
  size_t structSize = 0;
  ImageList* imageList = nullptr;
  std::vector<RecordedButton> buttons;
  Size buttonSize = kNaturalButtonSize;
  Rect rect;
  struct Move {
    Rect rect;
    bool repaint;
  };
  std::vector<Move> moves;
  int32_t hotItem = 0;

 private:
  LRESULT SendHotItemChange(int32_t idNew, uint32_t flags);

  ScriptedWindow& parent_;
};

}  // namespace platform::scripted
