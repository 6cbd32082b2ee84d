#include "document/DesignTextPlace.h"

namespace document {

text::TextBox DesignTextPlace(const CardState&) {
  text::TextBox box;
  box.left = 0.1;
  box.top = 0.7;
  box.width = 0.8;
  box.height = 0.2;
  return box;
}

}  // namespace document
