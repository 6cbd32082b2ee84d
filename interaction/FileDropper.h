#pragma once

#include "interaction/CardHost.h"
#include "platform/Events.h"

namespace interaction {

// Files dragged from the desktop: photos onto regions, layout files and
// projects anywhere on the window.
class FileDropper {
 public:
  explicit FileDropper(CardHost& host) : host_(host) {}

  // Whether dropping here would copy: always for a drag that holds a layout
  // file, else only over a region. Never when the source forbids copying.
  bool Accepts(const platform::FileDrag& drag) const;

  // What a drop here would most likely do, for the user to see before it:
  // use a layout (the drag's first file is one, or it holds one and the
  // point is over no region), put a photo into region `slot`, or nothing.
  struct Target {
    enum class Kind { Nothing, Layout, Photo } kind = Kind::Nothing;
    int32_t slot = -1;
  };
  Target TargetOf(const platform::FileDrag& drag) const;

  // Photos alone go into the region under the drop point and then the
  // empty regions in slot order. A drop that holds a project or layout file
  // changes at most one thing: the first file, in the drag's order, that
  // opens as a project, loads as a layout, or as a photo for the region
  // under the drop point.
  void Drop(const platform::FileDrag& drag);

 private:
  CardHost& host_;
};

}  // namespace interaction
