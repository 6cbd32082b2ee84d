#pragma once

namespace interaction {

// Commands of the toolbar (and of keys and menus that do the same).
enum Command : int {
  kCommandSave = 100,
  kCommandTemplate = 101,
  kCommandDonate = 102,
  kCommandHelp = 103,
};

}  // namespace interaction
