#pragma once

#include <cstdint>
#include <string>

namespace interaction {

// The hint line's sentences. The window keeps a pointer to the one shown and
// compares by identity, so each sentence must exist exactly once. The few
// made on the spot (a file name or a number in them) are made here too.
inline constexpr char kHintAddMorePhotos[] =
    "Add more photos to your card - click on empty regions!";
inline constexpr char kHintCardComplete[] = "Your card is complete - click on the Save button.";
inline constexpr char kHintClickToAdd[] = "Click to add photo to this region.";
inline constexpr char kHintDragPicture[] =
    "Drag to move the picture, turn the wheel to zoom. Right-click for more.";
inline constexpr char kHintSaveReady[] =
    "Your card is ready! Click on Save to save it to your computer.";
inline constexpr char kHintSaveIncomplete[] =
    "After you have added your photos to the card, click on the Save button to export it.";
inline constexpr char kHintTemplate[] =
    "Click to cycle between built-in card templates. Click on Help to learn about custom "
    "templates.";
inline constexpr char kHintDonate[] = "Send some money to the author of this tool via PayPal.";
inline constexpr char kHintHelp[] =
    "Click to learn how to use this tool efficiently. Tips and tricks inside!";

inline constexpr char kHintDesigns[] =
    "Click to choose a design from pictures of them all, your recent layouts included.";

inline constexpr char kHintPrint[] =
    "Click to print the card: choose the printer, then the paper and how the card sits on it.";

inline constexpr char kHintUndo[] = "Click to take back your last change to the card.";
inline constexpr char kHintRedo[] = "Click to make the change you took back again.";

// Words on the card.
inline constexpr char kHintAddText[] =
    "Click to put words on the card, in a box you can move, resize and edit.";
inline constexpr char kHintText[] =
    "Drag to move the words, drag a handle to resize their box (hold Ctrl to go past the "
    "margin). Double-click or press Enter to edit, Delete to remove.";
// %s is the family the box asks for.
inline constexpr char kHintTextFontMissing[] =
    "The font \"%s\" is not on this computer: the words are shown in DejaVu Sans.";

// A project's region whose photo was not found; %s is the photo's file name.
inline constexpr char kHintPhotoMissing[] =
    "Photo \"%s\" was not found. Right-click and choose Locate photo... to find it.";

// The keyboard on a region.
inline constexpr char kHintPressEnterToAdd[] = "Press Enter to add photo to this region.";
inline constexpr char kHintKeysMovePicture[] =
    "Use the arrow keys to move the picture, + and - to zoom it. Press Delete to remove it.";

// Files dragged over the card.
inline constexpr char kHintWaitingForPhotos[] =
    "Saving once the photos still loading are in the card\xE2\x80\xA6";
inline constexpr char kHintWaitingToPrint[] =
    "Printing once the photos still loading are in the card\xE2\x80\xA6";
inline constexpr char kHintDropPhoto[] = "Drop to put this photo here.";
inline constexpr char kHintDropLayout[] = "Drop to use this layout.";

// Sentences made for the moment: what was just done, and how far a photo is
// zoomed while the wheel or the keys zoom it.
inline std::string SavedHint(const std::string& fileName, uint32_t width, uint32_t height) {
  return "Saved \"" + fileName + "\" (" + std::to_string(width) + " x " + std::to_string(height) +
         ").";
}
inline std::string ZoomHint(int percent) { return "Zoom " + std::to_string(percent) + " %"; }
inline std::string ReplacedHint(const std::string& undoKey) {
  return "Photo replaced - press " + undoKey + " to bring back the one before.";
}

}  // namespace interaction
