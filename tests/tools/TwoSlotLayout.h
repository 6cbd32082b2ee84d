#pragma once

#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/LayoutFileWriter.h"

namespace tooltest {

// A 64 x 48 layout with two slots, packed by tessary-layout's own code, so
// the tools' tests need no built-in artwork. Empty if packing failed.
inline layouttest::Bytes TwoSlotLayoutFile() {
  const layouttest::Bytes map = layouttest::RegionMapPng(64, 48);
  const layouttest::Bytes overlay = layouttest::OverlayPng(64, 48);
  layouttest::Bytes file;
  if (!imagefiles::PackLayoutFile(map.data(), map.size(), overlay.data(), overlay.size(), &file))
    return {};
  return file;
}

}  // namespace tooltest
