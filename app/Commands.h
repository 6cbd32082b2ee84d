#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/CardDocument.h"
#include "platform/Events.h"

namespace app {

class CardActions;
class PrintActions;
class ProjectActions;
class TextActions;

// Every command of the program. The numbers are the toolbar's and menus'
// command ids.
enum class CommandId : int {
  Save = 100,
  Template = 101,
  Donate = 102,
  Help = 103,
  ChoosePhoto = 110,
  RemovePhoto = 111,
  ResetPhoto = 112,
  OpenLayout = 113,
  Undo = 114,
  Redo = 115,
  ZoomIn = 116,
  ZoomOut = 117,
  ChooseDesign = 118,
  SaveProject = 119,
  SaveProjectAs = 120,
  OpenProject = 121,
  OpenRecentProject = 122,  // its menu item opens the list below
  LocatePhoto = 123,
  NewCard = 124,
  TurnLeft = 125,
  TurnRight = 126,
  Mirror = 127,
  Print = 128,
  AddText = 129,
  EditText = 130,
  RemoveText = 131,
};

// The recent projects' items in the menu: kRecentProjectItem + their place.
constexpr int kRecentProjectItem = 140;

// What a command acts on and with.
struct CommandContext {
  document::CardDocument& document;
  CardActions& actions;
  int32_t slot = -1;  // the region it is about: the menu's, or the keyboard's
  bool busy = false;  // a drag is going on
  ProjectActions* projects = nullptr;
  size_t item = 0;  // which of a list (the recent projects) was chosen
  TextActions* texts = nullptr;
  int32_t text = -1;  // the text box selected, -1 for none
  PrintActions* printing = nullptr;
};

// One command, described once: the toolbar, the region's menu and the keys
// are all made from these.
struct Command {
  CommandId id = CommandId::Save;
  const char* label = nullptr;  // on its toolbar button and in menus; null: keys only
  int icon = 0;           // the toolbar button's icon group; 0: not on the toolbar
  bool separatorBefore = false;  // on the toolbar
  // Where it sits in the region's menu: groups 1 to kMenuGroups from the
  // top, with a line between them; 0: not in the menu.
  int menuGroup = 0;
  // Whether the menu shows it at all (a command for rare cases); null: always.
  bool (*shown)(const CommandContext& context) = nullptr;
  // Its menu item opens a list of these labels (the recent projects);
  // choosing one runs the command with `item` set. Null: a plain item.
  std::vector<std::string> (*list)(const CommandContext& context) = nullptr;
  std::vector<platform::KeyEvent> keys;  // the first one is shown in menus
  // Keys that act on the focused region (Enter, Delete, ...) work only while
  // the card has the keyboard; the others anywhere in the window.
  bool regionKeys = false;
  // Keys that act on the selected text box; they come before the region's
  // keys while a box is selected, and do nothing otherwise.
  bool textKeys = false;
  // The hint line's sentence for the toolbar button; null: none.
  const char* (*hint)(const engine::Card& card) = nullptr;
  bool (*enabled)(const CommandContext& context) = nullptr;  // null: always
  void (*run)(CommandContext& context) = nullptr;
};

constexpr int kMenuGroups = 5;

// In toolbar and menu order.
const std::vector<Command>& AllCommands();
const Command* FindCommand(CommandId id);
// The command a key runs; `regionKeys` selects the keys of the region
// commands (true) or of the window's commands (false).
const Command* CommandForKey(const platform::KeyEvent& key, bool regionKeys);
// The command a key runs on the selected text box, or null.
const Command* CommandForTextKey(const platform::KeyEvent& key);
bool CommandEnabled(const Command& command, const CommandContext& context);
bool CommandShown(const Command& command, const CommandContext& context);

// A key as menus show it: "Ctrl+Shift+Z", "Delete", "F1".
std::string KeyName(const platform::KeyEvent& key);

}  // namespace app
