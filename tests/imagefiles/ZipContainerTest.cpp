#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imagefiles/RawZip.h"
#include "imagefiles/ZipContainer.h"

using imagefiles::ZipReader;
using imagefiles::ZipStatus;

namespace {

std::vector<uint8_t> Text(const std::string& text) { return rawzip::Bytes(text); }

}  // namespace

TEST(ZipContainer, WhatIsWrittenReadsBackWithTheFirstNameWhereTheDesktopLooks) {
  const std::vector<uint8_t> json = Text(std::string(5000, '{'));
  std::vector<uint8_t> picture(3000);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(i * 7);
  std::vector<uint8_t> zip;
  ASSERT_TRUE(imagefiles::MakeZip({{"card.json", json.data(), json.size(), true},
                                   {"photos/0-a.jpg", picture.data(), picture.size(), false},
                                   {"empty", nullptr, 0, true}},
                                  &zip));
  // The file type is known by "PK\3\4" and the first entry's name at 30.
  ASSERT_GT(zip.size(), 40u);
  EXPECT_EQ(std::memcmp(zip.data(), "PK\x03\x04", 4), 0);
  EXPECT_EQ(std::memcmp(zip.data() + 30, "card.json", 9), 0);

  ZipReader reader;
  ASSERT_EQ(reader.Open(zip), ZipStatus::Ok);
  EXPECT_EQ(reader.Names(), (std::vector<std::string>{"card.json", "photos/0-a.jpg", "empty"}));
  std::vector<uint8_t> out;
  EXPECT_EQ(reader.Read("card.json", 5000, &out), ZipStatus::Ok);
  EXPECT_EQ(out, json);
  EXPECT_EQ(reader.Read("photos/0-a.jpg", 1 << 20, &out), ZipStatus::Ok);
  EXPECT_EQ(out, picture);
  EXPECT_EQ(reader.Read("empty", 0, &out), ZipStatus::Ok);
  EXPECT_TRUE(out.empty());
  // One byte over the caller's limit is too much.
  EXPECT_EQ(reader.Read("card.json", 4999, &out), ZipStatus::TooLarge);
  EXPECT_EQ(reader.Read("thumbnail.png", 100, &out), ZipStatus::NoSuchEntry);
  // A name that leaves the container is never written.
  EXPECT_FALSE(imagefiles::MakeZip({{"../x", json.data(), json.size(), true}}, &zip));
}

TEST(ZipContainer, EntryNamesThatCouldLeaveTheContainerAreRefused) {
  struct Case {
    const char* name;
    bool safe;
  };
  const Case cases[] = {
      {"card.json", true},     {"photos/0-beach.jpg", true}, {"a b/ç.png", true},
      {"", false},             {"../../x", false},           {"photos/../../x", false},
      {"/etc/passwd", false},  {"a//b", false},              {"a/", false},
      {"./a", false},          {"a\\..\\b", false},          {"C:x", false},
      {"a\nb", false},         {"a\x7f", false},             {"..", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(imagefiles::IsSafeEntryName(c.name), c.safe) << c.name;
    if (*c.name == 0) continue;
    ZipReader reader;
    const ZipStatus status =
        reader.Open(rawzip::Make({{"other", Text("{}")}, {c.name, Text("x")}}));
    EXPECT_EQ(status, c.safe ? ZipStatus::Ok : ZipStatus::UnsafeName) << c.name;
    if (!c.safe) {
      EXPECT_TRUE(reader.Names().empty()) << c.name;
    }
  }
  EXPECT_FALSE(imagefiles::IsSafeEntryName(std::string(256, 'a')));
}

TEST(ZipContainer, HostileContainersAreRefusedWithinTheirLimits) {
  // 16 MiB of zeros in a few kilobytes: a bomb against a 1 MiB limit.
  const std::vector<uint8_t> zeros(size_t(16) << 20, 0);
  std::vector<uint8_t> out;

  {  // declared honestly: refused before anything is inflated
    ZipReader reader;
    ASSERT_EQ(reader.Open(rawzip::Make({{"card.json", zeros, true}})), ZipStatus::Ok);
    EXPECT_EQ(reader.Read("card.json", 1 << 20, &out), ZipStatus::TooLarge);
    EXPECT_LE(out.capacity(), size_t(1) << 20);
  }
  {  // declared as 100 bytes: the data read decides, and stops at the limit
    ZipReader reader;
    rawzip::Entry liar{"card.json", zeros, true, 100};
    ASSERT_EQ(reader.Open(rawzip::Make({liar})), ZipStatus::Ok);
    const ZipStatus status = reader.Read("card.json", 1 << 20, &out);
    EXPECT_TRUE(status == ZipStatus::TooLarge || status == ZipStatus::Damaged) << int(status);
    EXPECT_LE(out.size(), size_t(1) << 20);
  }
  {  // a checksum that does not match the data
    std::vector<uint8_t> zip = rawzip::Make({{"card.json", Text("{\"a\": 1}")}});
    zip[30 + 9] ^= 0x20;  // the first data byte, past the local header and name
    ZipReader reader;
    ASSERT_EQ(reader.Open(zip), ZipStatus::Ok);
    EXPECT_EQ(reader.Read("card.json", 100, &out), ZipStatus::Damaged);
  }
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    ZipStatus expected;  // Damaged: refused, whichever check finds it first
  };
  std::vector<rawzip::Entry> many;
  for (size_t i = 0; i <= ZipReader::kMaxEntries; ++i) many.push_back({"e" + std::to_string(i), {}});
  std::vector<uint8_t> truncated = rawzip::Make({{"card.json", Text("{}")}});
  truncated.resize(truncated.size() - 10);
  const Case cases[] = {
      {"not a zip", Text("hello, this is no container at all"), ZipStatus::NotZip},
      {"nothing", {}, ZipStatus::NotZip},
      {"truncated", truncated, ZipStatus::NotZip},
      {"twice the same name",
       rawzip::Make({{"card.json", Text("{}")}, {"card.json", Text("[]")}}),
       ZipStatus::Damaged},
      {"too many entries", rawzip::Make(many), ZipStatus::TooManyEntries},
      {"encrypted", rawzip::Make({{"card.json", Text("{}"), false, -1, 1}}),
       ZipStatus::Encrypted},
  };
  for (const Case& c : cases) {
    ZipReader reader;
    const ZipStatus status = reader.Open(c.bytes);
    if (c.expected == ZipStatus::Damaged) {
      EXPECT_NE(status, ZipStatus::Ok) << c.what;
    } else {
      EXPECT_EQ(status, c.expected) << c.what;
    }
    EXPECT_EQ(reader.Read("card.json", 100, &out), ZipStatus::NoSuchEntry) << c.what;
    EXPECT_NE(std::string(imagefiles::ZipStatusText(c.expected)), "") << c.what;
  }
}
