#include "document/ProjectFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <nlohmann/json.hpp>

namespace {

using document::CardJsonStatus;
using document::ParseCardJson;
using document::ProjectRecord;

// A sound card.json with `regions` spliced in.
std::string Card(const std::string& regions, const std::string& more = "") {
  return R"({"format": "tessary-project", "version": "1.0", "design": {"builtIn": 1, "name": "Scrapbook"}, )"
         R"("regions": )" +
         regions + more + "}";
}

}  // namespace

TEST(ProjectFormat, ReadsWhatItWritesToTheBitOfEveryFloat) {
  ProjectRecord record;
  record.design.builtIn = 2;
  record.design.name = "Hearts";
  record.design.templateCycle = 2;
  document::RegionRecord region;
  region.hasPhoto = true;
  region.photo = {"/home/ann/Pictures/beach día.jpg", "Pictures/beach día.jpg", 123456789012ull,
                  0xFEDCBA9876543210ull, "photos/0-beach_d_a.jpg"};
  region.panX = 0.1f + 0.2f;  // not a short decimal
  region.panY = 1e-7f;
  region.zoom = 7.999999f;
  record.regions = {region, document::RegionRecord{}};
  record.autosaveOf = "/home/ann/Anna.tessary";

  ProjectRecord back;
  std::string problem;
  const std::string json = document::MakeCardJson(record, "");
  ASSERT_EQ(ParseCardJson(json, &back, &problem), CardJsonStatus::Ok) << problem;
  EXPECT_EQ(back.design.builtIn, 2);
  EXPECT_EQ(back.design.name, "Hearts");
  EXPECT_EQ(back.design.templateCycle, 2);
  EXPECT_EQ(back.autosaveOf, record.autosaveOf);
  ASSERT_EQ(back.regions.size(), 2u);
  const document::RegionRecord& r = back.regions[0];
  EXPECT_TRUE(r.hasPhoto);
  EXPECT_EQ(r.photo.path, region.photo.path);
  EXPECT_EQ(r.photo.relativePath, region.photo.relativePath);
  EXPECT_EQ(r.photo.size, region.photo.size);
  EXPECT_EQ(r.photo.headHash, region.photo.headHash);
  EXPECT_EQ(r.photo.entry, region.photo.entry);
  EXPECT_EQ(std::memcmp(&r.panX, &region.panX, 4), 0);
  EXPECT_EQ(std::memcmp(&r.panY, &region.panY, 4), 0);
  EXPECT_EQ(std::memcmp(&r.zoom, &region.zoom, 4), 0);
  EXPECT_EQ(r.turn, 0);
  EXPECT_FALSE(back.regions[1].hasPhoto);
  EXPECT_EQ(back.regions[1].zoom, 1.0f);

  // A layout design.
  record.design = document::DesignRecord{};
  record.design.layoutPath = "C:\\Users\\ann\\card.jli";
  record.design.layoutRelativePath = "../card.jli";
  record.design.layoutHash = 42;
  record.design.layoutEntry = "layout.jli";
  ASSERT_EQ(ParseCardJson(document::MakeCardJson(record, ""), &back, &problem), CardJsonStatus::Ok);
  EXPECT_TRUE(back.design.IsLayout());
  EXPECT_EQ(back.design.layoutPath, record.design.layoutPath);
  EXPECT_EQ(back.design.layoutRelativePath, "../card.jli");
  EXPECT_EQ(back.design.layoutHash, 42u);
  EXPECT_EQ(back.design.layoutEntry, "layout.jli");

  uint64_t hash = 0;
  EXPECT_TRUE(document::ParseHashText(document::HashText(0x0123456789ABCDEFull), &hash));
  EXPECT_EQ(hash, 0x0123456789ABCDEFull);
  EXPECT_FALSE(document::ParseHashText("0123456789abcdeg", &hash));
  EXPECT_FALSE(document::ParseHashText("123", &hash));
}

TEST(ProjectFormat, KeepsWhatANewerVersionWroteAndStartsAfreshWhereAPhotoChanged) {
  const std::string newer = R"({"format": "tessary-project", "version": "1.4",
    "design": {"builtIn": 0, "name": "Frost", "palette": "warm"},
    "print": {"paper": "A6", "copies": 2},
    "regions": [
      {"photo": {"path": "/p/a.jpg", "size": 10, "headHash": "0000000000000001", "exif": true},
       "panX": 0.25, "panY": 0.5, "zoom": 2, "turn": 1, "text": [{"line": "Hi"}]},
      {"photo": {"path": "/p/b.jpg", "size": 20}, "turn": 3, "filter": "sepia"},
      {"sticker": "star"}
    ]})";
  ProjectRecord record;
  std::string problem;
  ASSERT_EQ(ParseCardJson(newer, &record, &problem), CardJsonStatus::Ok) << problem;
  EXPECT_EQ(record.minor, 4);
  EXPECT_EQ(record.regions[0].turn, 1);  // read as written, though the card cannot show it yet
  EXPECT_EQ(record.regions[1].turn, 3);

  // Region 1 gets another photo; region 0 is moved, region 2 stays empty.
  record.regions[0].panX = 0.75f;
  record.regions[1].photo = {"/p/c.jpg", "", 30, 0, ""};
  record.regions[1].turn = 0;  // what the card gives a new photo
  const nlohmann::json saved = nlohmann::json::parse(document::MakeCardJson(record, newer));
  EXPECT_EQ(saved["version"], "1.0");
  EXPECT_EQ(saved["print"]["copies"], 2);
  EXPECT_EQ(saved["design"]["palette"], "warm");
  EXPECT_EQ(saved["regions"][0]["text"][0]["line"], "Hi");
  EXPECT_EQ(saved["regions"][0]["photo"]["exif"], true);
  EXPECT_EQ(saved["regions"][0]["turn"], 1);
  EXPECT_EQ(saved["regions"][0]["panX"], 0.75);
  EXPECT_FALSE(saved["regions"][1].contains("filter"));  // about the photo that went
  EXPECT_EQ(saved["regions"][1]["turn"], 0);
  EXPECT_EQ(saved["regions"][1]["photo"]["path"], "/p/c.jpg");
  EXPECT_EQ(saved["regions"][2]["sticker"], "star");
  EXPECT_EQ(saved["regions"][2]["turn"], 0);  // absent is 0
}

TEST(ProjectFormat, RefusesWhatItCannotReadAndSaysWhy) {
  struct Case {
    const char* what;
    std::string json;
    CardJsonStatus status;
    const char* words;  // part of the reason
  };
  const Case cases[] = {
      {"not JSON", "{\"format\": ", CardJsonStatus::NotProject, "not JSON"},
      {"a list", "[1, 2]", CardJsonStatus::NotProject, "not JSON"},
      {"another format", R"({"format": "other", "version": "1.0"})", CardJsonStatus::NotProject,
       "not a Tessary project"},
      {"newer major",
       R"({"format": "tessary-project", "version": "2.0", "design": 5, "regions": "x"})",
       CardJsonStatus::NewerVersion, "newer version of Tessary (project format 2.0"},
      {"no version", R"({"format": "tessary-project"})", CardJsonStatus::Invalid,
       "version is missing"},
      {"bad version", R"({"format": "tessary-project", "version": "one"})",
       CardJsonStatus::Invalid, "version is not a format version"},
      {"no design", R"({"format": "tessary-project", "version": "1.0", "regions": []})",
       CardJsonStatus::Invalid, "design is missing"},
      {"design a number",
       R"({"format": "tessary-project", "version": "1.0", "design": 1, "regions": []})",
       CardJsonStatus::Invalid, "design is not an object"},
      {"regions not a list", Card("{}"), CardJsonStatus::Invalid, "regions is not a list"},
      {"region a string", Card(R"(["a"])"), CardJsonStatus::Invalid, "regions[0] is not an object"},
      {"zoom a string", Card(R"([{}, {"zoom": "big"}])"), CardJsonStatus::Invalid,
       "regions[1].zoom is not a number"},
      {"zoom too large", Card(R"([{"zoom": 9}])"), CardJsonStatus::Invalid,
       "regions[0].zoom is not between 1 and 8"},
      {"pan beyond float", Card(R"([{"panX": 1e300}])"), CardJsonStatus::Invalid,
       "regions[0].panX is not a finite number"},
      {"turn a fraction", Card(R"([{"turn": 0.5}])"), CardJsonStatus::Invalid,
       "regions[0].turn is not a whole number"},
      {"photo without path", Card(R"([{"photo": {"size": 3}}])"), CardJsonStatus::Invalid,
       "regions[0].photo.path is missing"},
      {"negative size", Card(R"([{"photo": {"path": "/a", "size": -3}}])"),
       CardJsonStatus::Invalid, "photo.size is not a file size"},
      {"bad hash", Card(R"([{"photo": {"path": "/a", "headHash": "xyz"}}])"),
       CardJsonStatus::Invalid, "photo.headHash is not a hash"},
      {"path with a zero", Card(R"([{"photo": {"path": "/a\u0000b"}}])"), CardJsonStatus::Invalid,
       "photo.path is not a usable name"},
      {"deeply nested", Card("[]", ", \"x\": " + std::string(100, '[') + std::string(100, ']')),
       CardJsonStatus::NotProject, "not JSON"},
      {"huge", Card("[]", ", \"x\": \"" + std::string(document::kMaxCardJsonBytes, 'a') + "\""),
       CardJsonStatus::NotProject, "too large"},
  };
  std::string regions = "[";
  for (size_t i = 0; i <= document::kMaxRegions; ++i) regions += i ? ",{}" : "{}";
  regions += "]";
  for (const Case& c : cases) {
    ProjectRecord record;
    std::string problem;
    EXPECT_EQ(ParseCardJson(c.json, &record, &problem), c.status) << c.what;
    EXPECT_NE(problem.find(c.words), std::string::npos) << c.what << ": " << problem;
  }
  ProjectRecord record;
  std::string problem;
  EXPECT_EQ(ParseCardJson(Card(regions), &record, &problem), CardJsonStatus::Invalid);
  EXPECT_NE(problem.find("too many regions"), std::string::npos) << problem;
}

TEST(ProjectFormat, TextsRoundTripAndOldOrOddOnesReadSafely) {
  ProjectRecord record;
  record.design.builtIn = 3;
  record.design.name = "Birthday";
  text::TextBox greeting;
  greeting.words = "Happy birthday, Anna!\n\xd0\x9f\xd1\x80\xd0\xb8 \xd9\x85\xd8\xb1";
  greeting.left = 0.1 + 0.2;  // not a short decimal
  greeting.top = -0.25;
  greeting.width = 1.5;
  greeting.height = 1e-9;
  greeting.font = "Dancing Script";
  greeting.sizePoints = 36.5;
  greeting.colour = 0x80b03060;
  greeting.bold = true;
  greeting.italic = true;
  greeting.align = text::TextAlign::Right;
  greeting.effect = text::TextEffect::Outline;
  record.texts = {greeting, text::TextBox{}};
  record.texts[1].words = "plain";

  ProjectRecord back;
  std::string problem;
  const std::string json = document::MakeCardJson(record, "");
  ASSERT_EQ(ParseCardJson(json, &back, &problem), CardJsonStatus::Ok) << problem;
  EXPECT_EQ(back.texts, record.texts);
  EXPECT_NE(json.find("\"colour\": \"#b0306080\""), std::string::npos);
  EXPECT_NE(json.find("\"colour\": \"#000000\""), std::string::npos);

  // A card without words writes none, and reads as before.
  record.texts.clear();
  const std::string plain = document::MakeCardJson(record, "");
  EXPECT_EQ(plain.find("texts"), std::string::npos);
  ASSERT_EQ(ParseCardJson(Card("[]"), &back, &problem), CardJsonStatus::Ok);
  EXPECT_TRUE(back.texts.empty());
  // What a newer version may name reads as the defaults.
  ASSERT_EQ(ParseCardJson(Card("[]", R"(, "texts": [{"words": "a", "align": "justify", "effect": "glow", "colour": "#abc"}])"),
                          &back, &problem),
            CardJsonStatus::Ok)
      << problem;
  ASSERT_EQ(back.texts.size(), 1u);
  EXPECT_EQ(back.texts[0].align, text::TextAlign::Centre);
  EXPECT_EQ(back.texts[0].effect, text::TextEffect::None);
  EXPECT_EQ(back.texts[0].colour, 0xffaabbccu);

  struct Bad {
    std::string texts;
    const char* words;
  } bad[] = {
      {R"("texts": {})", "texts is not a list"},
      {R"("texts": [1])", "texts[0] is not an object"},
      {R"("texts": [{"left": 0}])", "texts[0].words is missing"},
      {R"("texts": [{"words": 5}])", "texts[0].words is not a string"},
      {R"("texts": [{"words": "a", "size": 0}])", "texts[0].size is out of range"},
      {R"("texts": [{"words": "a", "left": "x"}])", "texts[0].left is not a number"},
      {R"("texts": [{"words": "a", "width": -1}])", "texts[0].width is out of range"},
      {R"("texts": [{"words": "a", "colour": "blue"}])", "texts[0].colour is not a colour"},
      {R"("texts": [{"words": "a", "bold": 1}])", "texts[0].bold is not true or false"},
  };
  for (const Bad& b : bad) {
    EXPECT_EQ(ParseCardJson(Card("[]", ", " + b.texts), &back, &problem), CardJsonStatus::Invalid)
        << b.texts;
    EXPECT_NE(problem.find(b.words), std::string::npos) << problem;
  }
}
