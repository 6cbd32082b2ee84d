#pragma once

namespace interaction {

// The hint line's sentences. The window keeps a pointer to the one shown and
// compares by identity, so each sentence must exist exactly once.
inline constexpr char kHintAddMorePhotos[] =
    "Add more photos to your card - click on empty regions!";
inline constexpr char kHintCardComplete[] = "Your card is complete - click on the Save button.";
inline constexpr char kHintClickToAdd[] = "Click to add photo to this region.";
inline constexpr char kHintDragPicture[] =
    "Drag picture to move it. Double-click to select another photo.";
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

inline constexpr char kHintUndo[] = "Click to take back your last change to the card.";
inline constexpr char kHintRedo[] = "Click to make the change you took back again.";

// A project's region whose photo was not found; %s is the photo's file name.
inline constexpr char kHintPhotoMissing[] =
    "Photo \"%s\" was not found. Right-click and choose Locate photo... to find it.";

// The keyboard on a region.
inline constexpr char kHintPressEnterToAdd[] = "Press Enter to add photo to this region.";
inline constexpr char kHintKeysMovePicture[] =
    "Use the arrow keys to move the picture, + and - to zoom it. Press Delete to remove it.";

}  // namespace interaction
