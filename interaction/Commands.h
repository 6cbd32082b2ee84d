#pragma once

namespace interaction {

// Commands of the toolbar (and of keys and menus that do the same).
enum Command : int {
  kCommandSave = 100,
  kCommandTemplate = 101,
  kCommandDonate = 102,
  kCommandHelp = 103,
  // Keys and the region's menu.
  kCommandChoosePhoto = 110,
  kCommandRemovePhoto = 111,
  kCommandResetPhoto = 112,
  kCommandOpenLayout = 113,
  kCommandUndo = 114,
  kCommandRedo = 115,
};

}  // namespace interaction
