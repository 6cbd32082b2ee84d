#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageStatus.h"
#include "imagefiles/CardEncoding.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/OutputTarget.h"
#include "imagefiles/SaveResult.h"

namespace document {

// A photo file for a slot of the card.
struct SlotPhotoFile {
  size_t slot = 0;
  std::string path;
};

struct StreamedRenderResult {
  // The first photo (in the order given) that could not be used, -1 when
  // all could; the card is then not written.
  int failedPhoto = -1;
  engine::ImageStatus photoStatus;
  imagefiles::SaveResult saved;
};

// What loading every photo into its slot (ReadPhotoFile and PutPhoto, a
// later photo for the same slot replacing an earlier one) and then
// ExportCard in full quality give, byte for byte, without ever holding a photo whole
// when it is a JPEG that needs no turn: each photo is read from its file and
// decoded while its slot is drawn (StreamedPhoto), on up to two threads, and
// freed before the next. `card` holds the template, the placeholder tile and
// each slot's pan and zoom (a slot that gets a photo is shown as a loaded
// photo is: its pan and zoom as `card` has them); its slots hold no photos.
// Every photo is read through, a replaced one too, and refused for what
// loading it would refuse it for; the card is written only when all are
// good, after it is rendered.
StreamedRenderResult ExportStreamedCard(const engine::Card& card,
                                        const std::vector<SlotPhotoFile>& photos, uint32_t width,
                                        uint32_t height, const imagefiles::OutputTarget& target,
                                        imagefiles::CardFormat format,
                                        const imagefiles::CardEncoding& encoding =
                                            imagefiles::CardEncoding());

}  // namespace document
