#include "app/Commands.h"

#include <algorithm>

#include "app/CardActions.h"
#include "app/PrintActions.h"
#include "app/ProjectActions.h"
#include "app/TextActions.h"
#include "document/ProjectFile.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/card/PhotoTurn.h"
#include "engine/card/SlotEditing.h"
#include "interaction/HintTexts.h"

namespace app {

using platform::Key;
using platform::KeyEvent;
using platform::kControl;
using platform::kShift;

namespace {

bool HasSlot(const CommandContext& c) {
  return c.slot >= 0 && size_t(c.slot) < c.document.Card().slots.size();
}

bool HasText(const CommandContext& c) {
  return c.texts && c.text >= 0 && size_t(c.text) < c.document.State().texts.size();
}

bool SlotHasPhoto(const CommandContext& c) {
  return HasSlot(c) && c.document.Card().slots[size_t(c.slot)].HasPhoto();
}

// Zoom steps of the keys: a burst of them is one step of the history.
void StepZoom(CommandContext& c, int32_t notches) {
  const size_t slot = size_t(c.slot);
  c.document.EditSlots(
      [&](engine::SlotList& slots) { return engine::StepZoomSlot(slots, slot, notches); },
      document::Commit::Gesture, document::Gesture::KeyZoom, slot);
}

Command Make(CommandId id, const char* label, int icon = 0, bool separatorBefore = false) {
  Command command;
  command.id = id;
  command.label = label;
  command.icon = icon;
  command.separatorBefore = separatorBefore;
  return command;
}

std::vector<Command> MakeCommands() {
  std::vector<Command> commands;
  Command save = Make(CommandId::Save, "Save", 203);
  save.keys = {KeyEvent{platform::Letter('S'), kControl}};
  save.hint = [](const engine::Card& card) {
    return engine::AllSlotsFilled(card.slots) ? interaction::kHintSaveReady
                                              : interaction::kHintSaveIncomplete;
  };
  save.run = [](CommandContext& c) { c.actions.SaveCard(); };
  commands.push_back(save);

  Command print = Make(CommandId::Print, "Print", 212);
  print.keys = {KeyEvent{platform::Letter('P'), kControl}};
  print.hint = [](const engine::Card&) { return interaction::kHintPrint; };
  print.enabled = [](const CommandContext& c) {
    return !c.busy && c.printing && c.printing->CanPrint() &&
           c.document.Card().cardTemplate.Installed();
  };
  print.run = [](CommandContext& c) {
    // A region still showing its quick copy would print blurred, or empty.
    c.actions.WaitForLoads(interaction::kHintWaitingToPrint);
    c.printing->Print();
  };
  commands.push_back(print);

  Command design = Make(CommandId::Template, "Template", 206);
  design.keys = {KeyEvent{platform::Letter('T'), kControl}};
  design.hint = [](const engine::Card&) { return interaction::kHintTemplate; };
  design.run = [](CommandContext& c) { c.actions.NextDesign(); };
  commands.push_back(design);

  Command designs = Make(CommandId::ChooseDesign, "Designs", 210);
  designs.keys = {KeyEvent{platform::Letter('D'), kControl}};
  designs.hint = [](const engine::Card&) { return interaction::kHintDesigns; };
  designs.enabled = [](const CommandContext& c) { return !c.busy; };
  designs.run = [](CommandContext& c) { c.actions.ChooseDesign(c.projects); };
  commands.push_back(designs);

  // Words on the card: a box at the design's place for them, then the
  // selected box's editor and removal.
  Command addText = Make(CommandId::AddText, "Add text", 211);
  addText.menuGroup = 2;
  addText.keys = {KeyEvent{platform::Letter('T'), kControl | kShift}};
  addText.hint = [](const engine::Card&) { return interaction::kHintAddText; };
  addText.enabled = [](const CommandContext& c) {
    return !c.busy && c.texts && c.document.Card().cardTemplate.Installed();
  };
  addText.run = [](CommandContext& c) { c.texts->AddText(); };
  commands.push_back(addText);

  Command editText = Make(CommandId::EditText, "Edit text...");
  editText.menuGroup = 2;
  editText.keys = {KeyEvent{Key::Enter, 0}};
  editText.regionKeys = editText.textKeys = true;
  editText.shown = HasText;
  editText.enabled = [](const CommandContext& c) { return !c.busy && HasText(c); };
  editText.run = [](CommandContext& c) { c.texts->Edit(c.text); };
  commands.push_back(editText);

  Command removeText = Make(CommandId::RemoveText, "Remove text");
  removeText.menuGroup = 2;
  removeText.keys = {KeyEvent{Key::Delete, 0}, KeyEvent{Key::Backspace, 0}};
  removeText.regionKeys = removeText.textKeys = true;
  removeText.shown = HasText;
  removeText.enabled = editText.enabled;
  removeText.run = [](CommandContext& c) { c.texts->RemoveText(c.text); };
  commands.push_back(removeText);

  Command undo = Make(CommandId::Undo, "Undo", 208);
  undo.menuGroup = 3;
  undo.keys = {KeyEvent{platform::Letter('Z'), kControl}};
  undo.hint = [](const engine::Card&) { return interaction::kHintUndo; };
  undo.enabled = [](const CommandContext& c) { return !c.busy && c.document.CanUndo(); };
  undo.run = [](CommandContext& c) { c.document.Undo(); };
  commands.push_back(undo);

  Command redo = Make(CommandId::Redo, "Redo", 209);
  redo.menuGroup = 3;
  redo.keys = {KeyEvent{platform::Letter('Y'), kControl},
               KeyEvent{platform::Letter('Z'), kControl | kShift}};
  redo.hint = [](const engine::Card&) { return interaction::kHintRedo; };
  redo.enabled = [](const CommandContext& c) { return !c.busy && c.document.CanRedo(); };
  redo.run = [](CommandContext& c) { c.document.Redo(); };
  commands.push_back(redo);

  Command donate = Make(CommandId::Donate, "Donate", 204, true);
  donate.hint = [](const engine::Card&) { return interaction::kHintDonate; };
  donate.run = [](CommandContext& c) { c.actions.OpenDonationPage(); };
  commands.push_back(donate);

  Command help = Make(CommandId::Help, "Help", 205);
  help.keys = {KeyEvent{Key::F1, 0}};
  help.hint = [](const engine::Card&) { return interaction::kHintHelp; };
  help.run = [](CommandContext& c) { c.actions.OpenHelp(); };
  commands.push_back(help);

  // The region's own commands: its menu and keys.
  // A region whose project's photo was not found.
  Command locate = Make(CommandId::LocatePhoto, "Locate photo...");
  locate.menuGroup = 1;
  locate.shown = [](const CommandContext& c) {
    return c.projects && c.projects->PhotoMissing(c.slot);
  };
  locate.enabled = [](const CommandContext& c) { return !c.busy; };
  locate.run = [](CommandContext& c) { c.projects->LocatePhoto(c.slot); };
  commands.push_back(locate);

  Command choose = Make(CommandId::ChoosePhoto, "Choose photo...");
  choose.menuGroup = 1;
  choose.keys = {KeyEvent{Key::Enter, 0}, KeyEvent{Key::Space, 0}};
  choose.regionKeys = true;
  choose.enabled = [](const CommandContext& c) { return !c.busy && HasSlot(c); };
  choose.run = [](CommandContext& c) { c.actions.ChoosePhoto(c.slot); };
  commands.push_back(choose);

  // Ctrl+O works wherever the keyboard is: the region it acts on is the
  // focused one, or the first that needs a photo.
  Command open = Make(CommandId::ChoosePhoto, nullptr);
  open.keys = {KeyEvent{platform::Letter('O'), kControl}};
  open.enabled = choose.enabled;
  open.run = choose.run;
  commands.push_back(open);

  Command remove = Make(CommandId::RemovePhoto, "Remove photo");
  remove.menuGroup = 1;
  remove.keys = {KeyEvent{Key::Delete, 0}, KeyEvent{Key::Backspace, 0}};
  remove.regionKeys = true;
  remove.enabled = [](const CommandContext& c) { return !c.busy && SlotHasPhoto(c); };
  remove.run = [](CommandContext& c) { c.document.RemovePhoto(size_t(c.slot)); };
  commands.push_back(remove);

  Command zoomIn = Make(CommandId::ZoomIn, "Zoom in");
  zoomIn.menuGroup = 1;
  zoomIn.keys = {KeyEvent{Key::Plus, 0}};
  zoomIn.regionKeys = true;
  zoomIn.enabled = [](const CommandContext& c) {
    return !c.busy && SlotHasPhoto(c) &&
           engine::ClampZoom(c.document.Card().slots[size_t(c.slot)].zoom) < engine::kMaxZoom;
  };
  zoomIn.run = [](CommandContext& c) { StepZoom(c, 1); };
  commands.push_back(zoomIn);

  Command zoomOut = Make(CommandId::ZoomOut, "Zoom out");
  zoomOut.menuGroup = 1;
  zoomOut.keys = {KeyEvent{Key::Minus, 0}};
  zoomOut.regionKeys = true;
  zoomOut.enabled = [](const CommandContext& c) {
    return !c.busy && SlotHasPhoto(c) &&
           engine::ClampZoom(c.document.Card().slots[size_t(c.slot)].zoom) > engine::kMinZoom;
  };
  zoomOut.run = [](CommandContext& c) { StepZoom(c, -1); };
  commands.push_back(zoomOut);

  Command reset = Make(CommandId::ResetPhoto, "Reset position and zoom");
  reset.menuGroup = 1;
  reset.keys = {KeyEvent{platform::Digit(0), 0}};
  reset.regionKeys = true;
  reset.enabled = [](const CommandContext& c) {
    return !c.busy && HasSlot(c) &&
           engine::CanResetPanAndZoom(c.document.Card().slots[size_t(c.slot)]);
  };
  reset.run = [](CommandContext& c) {
    const size_t slot = size_t(c.slot);
    c.document.EditSlots(
        [&](engine::SlotList& slots) { return engine::ResetPanAndZoom(slots, slot); },
        document::Commit::Step);
  };
  commands.push_back(reset);

  // A photo that came in the wrong way round.
  const auto turnable = [](const CommandContext& c) { return !c.busy && SlotHasPhoto(c); };
  const struct {
    CommandId id;
    const char* label;
    KeyEvent key;
    void (*run)(CommandContext&);
  } turns[] = {
      {CommandId::TurnLeft, "Turn left", KeyEvent{Key::BracketLeft, 0},
       [](CommandContext& c) { c.document.TurnPhoto(size_t(c.slot), engine::PhotoTurn::Left); }},
      {CommandId::TurnRight, "Turn right", KeyEvent{Key::BracketRight, 0},
       [](CommandContext& c) { c.document.TurnPhoto(size_t(c.slot), engine::PhotoTurn::Right); }},
      {CommandId::Mirror, "Mirror", KeyEvent{platform::Letter('M'), 0},
       [](CommandContext& c) { c.document.TurnPhoto(size_t(c.slot), engine::PhotoTurn::Mirror); }},
  };
  for (const auto& t : turns) {
    Command turn = Make(t.id, t.label);
    turn.menuGroup = 1;
    turn.keys = {t.key};
    turn.regionKeys = true;
    turn.enabled = turnable;
    turn.run = t.run;
    commands.push_back(turn);
  }

  Command layout = Make(CommandId::OpenLayout, "Open layout...");
  layout.menuGroup = 4;
  layout.keys = {KeyEvent{platform::Letter('L'), kControl}};
  layout.enabled = [](const CommandContext& c) { return !c.busy; };
  layout.run = [](CommandContext& c) { c.actions.ChooseLayout(); };
  commands.push_back(layout);

  // A fresh start on the same design; Undo brings the photos back.
  Command fresh = Make(CommandId::NewCard, "New card");
  fresh.menuGroup = 4;
  fresh.keys = {KeyEvent{platform::Letter('N'), kControl}};
  fresh.enabled = [](const CommandContext& c) {
    if (c.busy) return false;
    for (const engine::PhotoSlot& slot : c.document.Card().slots)
      if (slot.HasPhoto()) return true;
    return false;
  };
  fresh.run = [](CommandContext& c) { c.document.RemoveAllPhotos(); };
  commands.push_back(fresh);

  // Projects: the card kept as the user's work.
  const auto notBusy = [](const CommandContext& c) { return !c.busy && c.projects != nullptr; };
  Command openProject = Make(CommandId::OpenProject, "Open project...");
  openProject.menuGroup = 5;
  openProject.keys = {KeyEvent{platform::Letter('O'), kControl | kShift}};
  openProject.enabled = notBusy;
  openProject.run = [](CommandContext& c) { c.projects->ChooseProject(); };
  commands.push_back(openProject);

  Command saveProject = Make(CommandId::SaveProject, "Save project");
  saveProject.menuGroup = 5;
  saveProject.keys = {KeyEvent{platform::Letter('S'), kControl | kShift}};
  saveProject.enabled = notBusy;
  saveProject.run = [](CommandContext& c) { c.projects->SaveProject(); };
  commands.push_back(saveProject);

  Command saveProjectAs = Make(CommandId::SaveProjectAs, "Save project as...");
  saveProjectAs.menuGroup = 5;
  saveProjectAs.enabled = notBusy;
  saveProjectAs.run = [](CommandContext& c) { c.projects->SaveProjectAs(); };
  commands.push_back(saveProjectAs);

  Command recent = Make(CommandId::OpenRecentProject, "Recent projects");
  recent.menuGroup = 5;
  recent.list = [](const CommandContext& c) {
    std::vector<std::string> names;
    if (!c.projects) return names;
    const std::vector<std::string> paths = c.projects->RecentProjects();
    for (const std::string& path : paths) {
      std::string name = document::ProjectName(path);
      // Two of one name are told apart by their folders.
      const bool twin = std::count_if(paths.begin(), paths.end(), [&](const std::string& p) {
                          return document::ProjectName(p) == name;
                        }) > 1;
      names.push_back(twin ? name + " (" + path + ")" : name);
    }
    return names;
  };
  recent.enabled = [](const CommandContext& c) {
    return !c.busy && c.projects && !c.projects->RecentProjects().empty();
  };
  recent.run = [](CommandContext& c) { c.projects->OpenRecent(c.item); };
  commands.push_back(recent);
  return commands;
}

}  // namespace

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = MakeCommands();
  return commands;
}

const Command* FindCommand(CommandId id) {
  for (const Command& command : AllCommands())
    if (command.id == id && command.label) return &command;
  return nullptr;
}

const Command* CommandForKey(const KeyEvent& key, bool regionKeys) {
  constexpr uint32_t kModifiers = platform::kShift | platform::kControl | platform::kAlt;
  for (const Command& command : AllCommands()) {
    if (command.regionKeys != regionKeys || command.textKeys) continue;
    for (const KeyEvent& k : command.keys)
      if (k.key == key.key && k.modifiers == (key.modifiers & kModifiers)) return &command;
  }
  return nullptr;
}

const Command* CommandForTextKey(const KeyEvent& key) {
  constexpr uint32_t kModifiers = platform::kShift | platform::kControl | platform::kAlt;
  for (const Command& command : AllCommands()) {
    if (!command.textKeys) continue;
    for (const KeyEvent& k : command.keys)
      if (k.key == key.key && k.modifiers == (key.modifiers & kModifiers)) return &command;
  }
  return nullptr;
}

bool CommandEnabled(const Command& command, const CommandContext& context) {
  return !command.enabled || command.enabled(context);
}

bool CommandShown(const Command& command, const CommandContext& context) {
  return !command.shown || command.shown(context);
}

std::string KeyName(const KeyEvent& key) {
  std::string name;
  if (key.modifiers & kControl) name += "Ctrl+";
  if (key.modifiers & platform::kAlt) name += "Alt+";
  if (key.modifiers & kShift) name += "Shift+";
  if ((key.key >= Key::A && key.key <= Key::Z) ||
      (key.key >= Key::Digit0 && key.key <= Key::Digit9))
    return name + char(key.key);
  static const std::pair<Key, const char*> kNames[] = {
      {Key::Enter, "Enter"},   {Key::Space, "Space"},      {Key::Escape, "Esc"},
      {Key::Delete, "Delete"}, {Key::Backspace, "Backspace"}, {Key::Plus, "+"},
      {Key::Minus, "-"},       {Key::F1, "F1"},            {Key::Tab, "Tab"},
      {Key::BracketLeft, "["}, {Key::BracketRight, "]"}};
  for (const auto& [k, text] : kNames)
    if (k == key.key) return name + text;
  return name;
}

}  // namespace app
