#pragma once

#include <string>

namespace imagefiles {

// A file that belongs to one running copy of the program (its autosave)
// carries the copy's tag in its name: the host and the process id, as
// "HOST-PID", letters, digits, dots, dashes and underscores only.
std::string ThisProcessTag();

// True when `tag` names a process of this machine that no longer runs: its
// file is abandoned. False for a live process (a process id reused since
// counts as live), another machine's or a tag that is not one.
bool ProcessOfTagEnded(const std::string& tag);

// The host part of the tags, for tests.
std::string ThisHostForTags();

}  // namespace imagefiles
