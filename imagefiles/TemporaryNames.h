#pragma once

#include <string>

#include <sys/types.h>

namespace imagefiles {

// A save's new file has a hidden name in the target's folder while it waits
// to replace the target: ".tessary-HOST-PID-N.tmp". Normally the file has
// no name at all until it is complete, and then only for the moment of the
// rename; on file systems without unnamed files it is written under this
// name. Either way a process that dies at the wrong moment leaves it behind,
// and the host and process id in the name let a later save tell such a
// left-over file from one another process is still writing, on this machine
// or on another sharing the folder.
std::string TemporaryName(unsigned counter);

// The host and the process of a name made by TemporaryName; false for any
// other name.
bool ParseTemporaryName(const std::string& name, std::string* host, pid_t* pid);

// Removes from `folder` the temporary files of saves made on this machine by
// processes that no longer exist. Never touches another name, a file of a
// live process (a process id reused since counts as live), nor anything but
// plain files. Failures are ignored: the files stay for a later save.
void RemoveAbandonedTemporaries(const std::string& folder);

}  // namespace imagefiles
