#include "text/DrawTexts.h"

namespace text {

void DrawTexts(uint8_t*, size_t, uint32_t, uint32_t, double, const std::vector<TextBox>&,
               TextNotes*) {}

std::vector<std::string> FontFamilies() { return {"DejaVu Sans", "DejaVu Serif", "Dancing Script"}; }

}  // namespace text
