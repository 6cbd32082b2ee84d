#include "imagefiles/SaveName.h"

#include <gtest/gtest.h>

namespace {

using imagefiles::CardFormat;

TEST(ChooseSaveTarget, ATypedFormatExtensionWinsOtherwiseTheChosenTypeIsAppended) {
  struct Case {
    const char* typed;
    CardFormat chosen;
    const char* path;
    CardFormat format;
  };
  const Case cases[] = {
      {"card.png", CardFormat::Jpeg, "card.png", CardFormat::Png},
      {"card.PnG", CardFormat::Jpeg, "card.PnG", CardFormat::Png},
      {"card.jpg", CardFormat::Png, "card.jpg", CardFormat::Jpeg},
      {"card.JPEG", CardFormat::Png, "card.JPEG", CardFormat::Jpeg},
      {"card.jpe", CardFormat::Png, "card.jpe", CardFormat::Jpeg},
      {"card", CardFormat::Jpeg, "card.jpg", CardFormat::Jpeg},
      {"card", CardFormat::Png, "card.png", CardFormat::Png},
      {"card.", CardFormat::Png, "card.png", CardFormat::Png},
      {"card.v2", CardFormat::Jpeg, "card.v2.jpg", CardFormat::Jpeg},
      {"card.gif", CardFormat::Png, "card.gif.png", CardFormat::Png},
      {"card.png.bak", CardFormat::Jpeg, "card.png.bak.jpg", CardFormat::Jpeg},
      {"/home/a.png/card", CardFormat::Jpeg, "/home/a.png/card.jpg", CardFormat::Jpeg},
      {"/home/me/.png", CardFormat::Jpeg, "/home/me/.png", CardFormat::Png},
      {"C:\\cards.jpg\\card", CardFormat::Png, "C:\\cards.jpg\\card.png", CardFormat::Png},
      {"karte.jpgx", CardFormat::Png, "karte.jpgx.png", CardFormat::Png},
  };
  for (const Case& c : cases) {
    const imagefiles::SaveTarget target = imagefiles::ChooseSaveTarget(c.typed, c.chosen);
    EXPECT_EQ(target.path, c.path) << c.typed;
    EXPECT_EQ(target.format, c.format) << c.typed;
  }
  EXPECT_STREQ(imagefiles::CardFormatExtension(CardFormat::Jpeg), "jpg");
  EXPECT_STREQ(imagefiles::CardFormatExtension(CardFormat::Png), "png");
}

}  // namespace
