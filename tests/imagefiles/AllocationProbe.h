#pragma once

#include <cstddef>
#include <functional>

namespace testimages {

// The largest single malloc (libpng's and libjpeg's included) made while
// `run` runs. False when the probe is not available (sanitizer builds own
// malloc); the caller then skips its check.
bool LargestAllocationDuring(const std::function<void()>& run, size_t* largest);

}  // namespace testimages
