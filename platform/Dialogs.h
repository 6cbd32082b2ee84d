#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

struct FileFilter {
  std::string description;            // "JPEG picture files"
  std::vector<std::string> patterns;  // "*.jpg", "*.jpeg"
};

struct FileDialog {
  std::string title;
  std::vector<FileFilter> filters;
  size_t initialFilter = 0;  // index into filters
  std::string initialFolder;  // empty: the desktop's choice
  std::string initialName;    // save dialogs: the name proposed
  // Open dialogs that show a preview beside the list: the picture in a file,
  // at most `side` pixels along its longer edge, or an empty one (nothing
  // to show). Empty: no preview.
  std::function<IconImage(const std::string& path, int32_t side)> preview;
  bool several = false;       // open dialogs: more than one file may be chosen
};

struct FileChoice {
  std::string path;   // UTF-8, absolute; for saves the name as typed, in its folder
  size_t filter = 0;  // index of the filter chosen
  // With `several`: every file chosen, in the dialog's order (`path` is the
  // first). May be left empty when only one was.
  std::vector<std::string> paths{};
};

enum class MessageIcon { None, Information, Warning, Question, Error };

// The buttons a message offers; the answer is one of its buttons.
enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };
enum class MessageAnswer { Ok, Yes, No, Save, Discard, Cancel };

struct Message {
  std::string text;  // lines apart by "\n"; the first says what happened
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // The buttons' words, in the order of `buttons` ("Save Anyway", "Go
  // Back"); empty: the desktop's own.
  std::vector<std::string> labels{};
};

// One design the design chooser offers: its picture, its name and a line
// under it.
struct DesignChoice {
  std::string name;    // "Birthday"
  std::string detail;  // "6 x 4 in"
  // The picture: bytes R, G, B, rows packed, at most the chooser's
  // thumbnail size; empty when there is none.
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

// The design chooser: a modal window with every choice's picture and name,
// one of them selected; double-clicking one or the accept button takes it.
struct DesignChoices {
  std::string title;        // "Choose a design"
  std::string acceptLabel;  // "Use design"
  std::vector<DesignChoice> choices;
  size_t selected = 0;  // the choice selected when it opens; none when out of range
  // The room every picture gets, centred in it.
  int32_t thumbnailWidth = 0;
  int32_t thumbnailHeight = 0;
};

struct MenuItem {
  int command = 0;  // 0: a separator, unless the item opens a submenu
  std::string label;  // shown as it is ("&" is no mnemonic)
  bool enabled = true;
  std::string shortcut{};  // shown beside the label: "Ctrl+Z"
  std::vector<MenuItem> submenu{};  // not empty: the item opens these
};

}  // namespace platform
