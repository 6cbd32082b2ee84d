#pragma once

#include <cstdint>
#include <string>

namespace imagefiles {

// What the process tags ask of the system, one file per system.

// The computer's name; empty when the system does not say. Characters
// outside ASCII may come back as any character that is not plain.
std::string SystemHostName();
uint64_t SystemProcessId();
// True only when the system is sure that no process `pid` runs any more.
bool SystemProcessEnded(uint64_t pid);

}  // namespace imagefiles
