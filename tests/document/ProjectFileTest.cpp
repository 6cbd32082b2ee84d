#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "document/Autosave.h"
#include "document/CardDocument.h"
#include "document/PhotoLocator.h"
#include "engine/card/PhotoTurn.h"
#include "engine/compose/CardCompositor.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ProcessTag.h"
#include "imagefiles/RawZip.h"
#include "imagefiles/ZipContainer.h"
#include "interaction/CardFiles.h"

namespace {

namespace fs = std::filesystem;
using cardfiles::Rgb;
using document::CardState;
using document::ProjectMemory;
using document::ProjectOpening;
using document::ProjectStatus;

// The card as Save writes it, in pixels.
std::vector<uint8_t> Rendered(const engine::Card& card) {
  const uint32_t w = card.cardTemplate.width, h = card.cardTemplate.height;
  std::vector<uint8_t> pixels(size_t(engine::CardImageStride(w)) * h);
  engine::RenderCard(card, int32_t(w), int32_t(h), pixels.data(), int32_t(engine::CardImageStride(w)),
                     false);
  return pixels;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A project's card.json, parsed.
nlohmann::json CardJsonOf(const std::string& project) {
  imagefiles::ZipReader zip;
  EXPECT_EQ(zip.Open(testimages::ReadBytes(project)), imagefiles::ZipStatus::Ok);
  std::vector<uint8_t> json;
  EXPECT_EQ(zip.Read("card.json", 1 << 20, &json), imagefiles::ZipStatus::Ok);
  return nlohmann::json::parse(json.begin(), json.end());
}

struct ProjectFixture : ::testing::Test {
  // A card on the five-region design with a photo in every region, framed
  // by hand, then put on the three-region design: two photos wait in
  // hidden regions.
  void MakeCard(const std::string& photoFolder) {
    fs::create_directories(photoFolder);
    ASSERT_TRUE(document.Start(0));
    const Rgb colours[] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {200, 200, 30}, {9, 9, 9}};
    for (size_t i = 0; i < 5; ++i) {
      const std::string name = "photo" + std::to_string(i) + (i % 2 ? ".png" : ".jpg");
      const std::string made = files.Photo(name, 90 + 10 * uint32_t(i), 70, colours[i], i % 2 == 0,
                                           Rgb{1, 2, 3}, true);
      const std::string path = photoFolder + "/" + name;
      fs::rename(made, path);
      ASSERT_TRUE(document.LoadPhoto(i, path));
    }
    // Turned and mirrored photos come back turned, also when found later.
    ASSERT_TRUE(document.TurnPhoto(1, engine::PhotoTurn::Right));
    ASSERT_TRUE(document.TurnPhoto(3, engine::PhotoTurn::Left));
    ASSERT_TRUE(document.TurnPhoto(3, engine::PhotoTurn::Mirror));
    document.EditSlots(
        [](engine::SlotList& slots) {
          slots[0].panX = 0.1f + 0.2f;
          slots[1].zoom = 3.3f;
          slots[3].panY = 0.7f;
          return true;
        },
        document::Commit::Step);
    ASSERT_TRUE(document.UseBuiltInDesign(2));
  }

  ProjectOpening Read(const std::string& path) {
    return document::ReadProject(path, reader, &opened, &memory);
  }

  void ExpectSameCard(const CardState& a, const CardState& b) {
    EXPECT_EQ(a.design.builtInIndex, b.design.builtInIndex);
    EXPECT_EQ(a.design.layoutHash, b.design.layoutHash);
    EXPECT_EQ(a.design.cycleIndex, b.design.cycleIndex);
    ASSERT_EQ(a.card.slots.size(), b.card.slots.size());
    for (size_t i = 0; i < a.card.slots.size(); ++i) {
      const engine::PhotoSlot& s = a.card.slots[i];
      const engine::PhotoSlot& t = b.card.slots[i];
      EXPECT_TRUE(SameBits(s.panX, t.panX) && SameBits(s.panY, t.panY) && SameBits(s.zoom, t.zoom))
          << i;
      EXPECT_EQ(s.Hidden(), t.Hidden()) << i;
      if (i < a.photos.size() && i < b.photos.size()) {
        EXPECT_TRUE(a.photos[i].turn == b.photos[i].turn) << i;
      }
      ASSERT_EQ(s.HasPhoto(), t.HasPhoto()) << i;
      if (!s.HasPhoto()) continue;
      ASSERT_EQ(s.photoWidth, t.photoWidth) << i;
      EXPECT_EQ(std::memcmp(s.photoPixels.get(), t.photoPixels.get(),
                            size_t(s.photoWidth) * s.photoHeight * 3),
                0)
          << i;
    }
    EXPECT_EQ(Rendered(a.card), Rendered(b.card));
  }

  cardfiles::Files files;
  imagefiles::ImageFiles reader;
  document::CardDocument document{reader};
  CardState opened;
  ProjectMemory memory;
};

}  // namespace

TEST_F(ProjectFixture, OpensAsItWasSavedHiddenPhotosAndAllAndAfterAMove) {
  const std::string home = files.Folder() + "/work";
  MakeCard(home + "/photos");
  const std::string project = home + "/Anna's birthday.tessary";
  ASSERT_TRUE(document::WriteProject(document.State(), project, {}, reader, nullptr).Ok());

  ProjectOpening opening = Read(project);
  ASSERT_TRUE(opening.Ok()) << opening.reason;
  EXPECT_TRUE(opening.missingPhotos.empty());
  ExpectSameCard(document.State(), opened);
  EXPECT_EQ(document::ProjectName(project), "Anna's birthday");
  // The thumbnail: the card at 256 pixels across.
  imagefiles::ZipReader zip;
  ASSERT_EQ(zip.Open(testimages::ReadBytes(project)), imagefiles::ZipStatus::Ok);
  EXPECT_EQ(zip.Names(), (std::vector<std::string>{"card.json", "thumbnail.png"}));
  std::vector<uint8_t> thumbnail;
  ASSERT_EQ(zip.Read("thumbnail.png", 1 << 20, &thumbnail), imagefiles::ZipStatus::Ok);
  engine::Raster picture;
  ASSERT_TRUE(reader.Decode(thumbnail.data(), uint32_t(thumbnail.size()), false, &picture));
  EXPECT_EQ(picture.width, 256u);
  EXPECT_EQ(picture.height, 256u * 600 / 900);

  // The hidden photos come back with their design.
  document::CardDocument again(reader);
  again.Open(CardState(opened), true);
  ASSERT_TRUE(again.UseBuiltInDesign(0));
  EXPECT_TRUE(again.Card().slots[4].HasPhoto());

  // The project and its photos' folder moved together: found by the
  // relative paths.
  const std::string moved = files.Folder() + "/elsewhere";
  fs::rename(home, moved);
  opening = Read(moved + "/Anna's birthday.tessary");
  ASSERT_TRUE(opening.Ok()) << opening.reason;
  EXPECT_TRUE(opening.missingPhotos.empty());
  ExpectSameCard(document.State(), opened);
  EXPECT_EQ(fs::path(opened.photos[2].path), fs::path(moved + "/photos/photo2.jpg"));
}

TEST_F(ProjectFixture, PhotosThatMovedAreFoundByNameAndSizeAndMissingOnesAreKept) {
  const std::string home = files.Folder() + "/work";
  MakeCard(home + "/photos");
  const std::string project = home + "/card.tessary";
  ASSERT_TRUE(document::WriteProject(document.State(), project, {}, reader, nullptr).Ok());
  const std::string photo1 = home + "/photos/photo1.png";
  const std::string photo3 = home + "/photos/photo3.png";
  const std::vector<uint8_t> bytes1 = testimages::ReadBytes(photo1);

  // photo1 moved deep into another folder, its name in capitals; beside it
  // a file of the same name and size that is another picture.
  fs::create_directories(home + "/a/b/c");
  fs::create_directories(home + "/0decoy");
  fs::rename(photo1, home + "/a/b/c/PHOTO1.PNG");
  std::vector<uint8_t> decoy = bytes1;
  decoy[decoy.size() - 20] ^= 1;  // same size, another picture past the first bytes
  for (size_t i = 40; i < 60; ++i) decoy[i] ^= 0x55;
  testimages::WriteBytes(home + "/0decoy/photo1.png", decoy);
  // photo3 is gone.
  const std::vector<uint8_t> bytes3 = testimages::ReadBytes(photo3);
  fs::remove(photo3);

  ProjectOpening opening = Read(project);
  ASSERT_TRUE(opening.Ok()) << opening.reason;
  EXPECT_EQ(fs::path(opened.photos[1].path), fs::path(home + "/a/b/c/PHOTO1.PNG"));
  EXPECT_EQ(opening.missingPhotos, std::vector<size_t>{3});
  EXPECT_FALSE(opened.card.slots[3].HasPhoto());
  EXPECT_EQ(fs::path(opened.photos[3].path), fs::path(photo3));  // the source stays
  EXPECT_TRUE(SameBits(opened.card.slots[3].panY, 0.7f));  // and its framing
  EXPECT_EQ(document::MissingPhotos(opened), std::vector<size_t>{3});

  // Saved again somewhere else, the missing photo is kept as it was written.
  const nlohmann::json before = CardJsonOf(project)["regions"][3]["photo"];
  const std::string copy = files.Folder() + "/copy.tessary";
  ASSERT_TRUE(document::WriteProject(opened, copy, {}, reader, &memory).Ok());
  EXPECT_EQ(CardJsonOf(copy)["regions"][3]["photo"], before);

  // Put back, it is found again; and in a folder the user points to.
  testimages::WriteBytes(photo3, bytes3);
  ASSERT_TRUE(Read(copy).Ok());
  EXPECT_TRUE(opened.card.slots[3].HasPhoto());
  fs::remove(photo3);
  ASSERT_TRUE(Read(copy).Ok());
  testimages::WriteBytes(files.Folder() + "/found/Photo3.png", {});
  fs::create_directories(files.Folder() + "/found");
  testimages::WriteBytes(files.Folder() + "/found/Photo3.png", bytes3);
  const std::vector<std::string> found =
      document::FindMissingInFolder(opened, {3}, files.Folder() + "/found");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(fs::path(found[0]), fs::path(files.Folder() + "/found/Photo3.png"));
  EXPECT_EQ(document::FindMissingInFolder(opened, {3}, home),
            std::vector<std::string>{""});  // not below the folder
  // Located by the user, it is turned and mirrored as it was.
  document::CardDocument again(reader);
  again.Open(CardState(opened), true);
  ASSERT_TRUE(again.LoadPhoto(3, files.Folder() + "/found/Photo3.png", true));
  const engine::PhotoSlot& was = document.Card().slots[3];
  const engine::PhotoSlot& is = again.Card().slots[3];
  ASSERT_EQ(is.photoWidth, was.photoWidth);
  ASSERT_EQ(is.photoHeight, was.photoHeight);
  EXPECT_EQ(std::memcmp(is.photoPixels.get(), was.photoPixels.get(),
                        size_t(was.photoWidth) * was.photoHeight * 3),
            0);
}

TEST_F(ProjectFixture, ALayoutAndPhotosTravelInsideTheProject) {
  const std::string home = files.Folder() + "/work";
  fs::create_directories(home);
  cardfiles::Rgba map(300, 200), overlay(300, 200);
  map.Fill(0, 0, 150, 200, 255, 0, 0);
  map.Fill(150, 0, 300, 200, 0, 0, 255);
  overlay.Fill(0, 0, 300, 5, 9, 9, 9);
  const std::string layout = files.Layout("two.jli", map, overlay);
  ASSERT_EQ(document.OpenLayout(layout), imagefiles::LayoutStatus::Ok);
  const std::string a = files.Photo("a.jpg", 120, 80, Rgb{250, 10, 10}, true);
  const std::string b = files.Photo("b.png", 50, 90, Rgb{10, 250, 10});
  ASSERT_TRUE(document.LoadPhoto(0, a));
  ASSERT_TRUE(document.LoadPhoto(1, b));

  document::ProjectSaveOptions options;
  options.photos = document::PhotoCopies::All;
  const std::string project = home + "/carried.tessary";
  ASSERT_TRUE(document::WriteProject(document.State(), project, options, reader, nullptr).Ok());
  // Nothing of the card is left outside the project.
  fs::remove(layout);
  fs::remove(a);
  fs::remove(b);
  ProjectOpening opening = Read(project);
  ASSERT_TRUE(opening.Ok()) << opening.reason;
  EXPECT_TRUE(opening.missingPhotos.empty());
  EXPECT_TRUE(memory.photosCarried);
  ExpectSameCard(document.State(), opened);
  EXPECT_EQ(fs::path(opened.design.layoutPath), fs::path(layout));  // where it came from, still

  // Saved again with its photos, they come from the project they were read
  // from; an autosave carries only what is gone.
  const std::string again = home + "/again.tessary";
  ASSERT_TRUE(document::WriteProject(opened, again, options, reader, &memory).Ok());
  ASSERT_TRUE(Read(again).Ok());
  ExpectSameCard(document.State(), opened);
  document::Autosave autosave(home + "/state");
  ASSERT_TRUE(autosave.Write(opened, &memory, again, reader).Ok());
  EXPECT_EQ(memory.sourcePath, again);  // the project's own memory is not the autosave's
  imagefiles::ZipReader zip;
  ASSERT_EQ(zip.Open(testimages::ReadBytes(autosave.Path())), imagefiles::ZipStatus::Ok);
  EXPECT_EQ(zip.Names(), (std::vector<std::string>{"card.json", "layout.jli", "photos/0-a.jpg",
                                                   "photos/1-b.png"}));
  EXPECT_EQ(fs::path(CardJsonOf(autosave.Path())["autosaveOf"].get<std::string>()),
            fs::path(again));

  // Without its photos and with them gone, saving with photos says which.
  document::ProjectSaving saving =
      document::WriteProject(opened, home + "/x.tessary", options, reader, nullptr);
  EXPECT_FALSE(saving.Ok());
  EXPECT_NE(saving.problem.find("\"a.jpg\" cannot be carried"), std::string::npos)
      << saving.problem;
  EXPECT_FALSE(fs::exists(home + "/x.tessary"));
}

TEST_F(ProjectFixture, HostileProjectsAreRefusedWithAReasonAndChangeNothing) {
  const std::string home = files.Folder() + "/work";
  MakeCard(home + "/photos");
  const std::string good = home + "/good.tessary";
  ASSERT_TRUE(document::WriteProject(document.State(), good, {}, reader, nullptr).Ok());
  imagefiles::ZipReader zip;
  ASSERT_EQ(zip.Open(testimages::ReadBytes(good)), imagefiles::ZipStatus::Ok);
  std::vector<uint8_t> json;
  ASSERT_EQ(zip.Read("card.json", 1 << 20, &json), imagefiles::ZipStatus::Ok);
  const std::string text(json.begin(), json.end());
  std::string layoutCard = text;
  layoutCard.replace(layoutCard.find("\"builtIn\""), 9, "\"layout\": {\"path\": \"/x/y.jli\", "
                                                     "\"entry\": \"layout.jli\"}, \"was\"");

  struct Case {
    const char* what;
    std::vector<rawzip::Entry> entries;
    ProjectStatus status;
    const char* words;
  };
  std::string wrongType = text;
  wrongType.replace(wrongType.find("\"zoom\": 1.0"), 11, "\"zoom\": [1]");
  std::string newer = text;
  newer.replace(newer.find("\"1.0\""), 5, "\"3.1\"");
  const Case cases[] = {
      {"a path out of the folder",
       {{"card.json", rawzip::Bytes(text)}, {"../../escaped.txt", rawzip::Bytes("x")}},
       ProjectStatus::Damaged, "leads outside the project"},
      {"a bomb for a description",
       {{"card.json", std::vector<uint8_t>(size_t(8) << 20, ' '), true}},
       ProjectStatus::TooLarge, "too large"},
      {"no description", {{"thumbnail.png", rawzip::Bytes("x")}}, ProjectStatus::NotProject,
       "holds no card.json"},
      {"a wrong type", {{"card.json", rawzip::Bytes(wrongType)}}, ProjectStatus::Damaged,
       "regions[0].zoom is not a number"},
      {"a newer version", {{"card.json", rawzip::Bytes(newer)}}, ProjectStatus::NewerVersion,
       "newer version of Tessary (project format 3.1"},
      {"a layout that fails",
       {{"card.json", rawzip::Bytes(layoutCard)}, {"layout.jli", rawzip::Bytes("JQLayered")}},
       ProjectStatus::DesignFailed, "holds a layout (\"y.jli\") that is not a layout file"},
      {"a layout that is not there", {{"card.json", rawzip::Bytes(layoutCard)}},
       ProjectStatus::DesignFailed, "needs the layout \"y.jli\""},
  };
  const CardState before = opened;
  for (const Case& c : cases) {
    const std::string path = home + "/hostile.tessary";
    testimages::WriteBytes(path, rawzip::Make(c.entries));
    const ProjectOpening opening = Read(path);
    EXPECT_EQ(opening.status, c.status) << c.what;
    EXPECT_NE(opening.reason.find(c.words), std::string::npos) << c.what << ": " << opening.reason;
    EXPECT_TRUE(document::SameState(opened, before)) << c.what;
    EXPECT_TRUE(memory.sourcePath.empty()) << c.what;
  }
  EXPECT_FALSE(fs::exists(files.Folder() + "/escaped.txt"));
  EXPECT_FALSE(fs::exists(home + "/../../escaped.txt"));
  testimages::WriteBytes(home + "/text.tessary", rawzip::Bytes("just some words, no project"));
  EXPECT_EQ(Read(home + "/text.tessary").status, ProjectStatus::NotProject);
  const ProjectOpening none = Read(home + "/none.tessary");
  EXPECT_EQ(none.status, ProjectStatus::Unreadable);
  EXPECT_NE(none.reason.find("cannot be read"), std::string::npos) << none.reason;
}

TEST_F(ProjectFixture, AutosavesOfEndedProcessesAreFoundNewestFirst) {
  const std::string folder = files.Folder() + "/state";
  document::Autosave autosave(folder);
  ASSERT_TRUE(document.Start(0));
  ASSERT_TRUE(autosave.Write(document.State(), nullptr, "", reader).Ok());
  EXPECT_TRUE(fs::exists(autosave.Path()));
  // This process is alive; another host's files are not this machine's to judge.
  EXPECT_TRUE(document::Autosave::FindAbandoned(folder).empty());
  const std::string host = imagefiles::ThisHostForTags();
  const std::string older = folder + "/autosave-" + host + "-2147483000.tessary";
  const std::string newer = folder + "/autosave-" + host + "-2147483001.tessary";
  fs::copy_file(autosave.Path(), older);
  fs::copy_file(autosave.Path(), newer);
  fs::copy_file(autosave.Path(), folder + "/autosave-otherhost-2147483002.tessary");
  fs::copy_file(autosave.Path(), folder + "/notes-" + host + "-2147483003.tessary");
  fs::last_write_time(older, fs::last_write_time(newer) - std::chrono::hours(1));
  EXPECT_EQ(document::Autosave::FindAbandoned(folder), (std::vector<std::string>{newer, older}));

  autosave.Remove();
  EXPECT_TRUE(autosave.TakeOver(newer));
  EXPECT_TRUE(fs::exists(autosave.Path()));
  EXPECT_FALSE(autosave.TakeOver(older));  // this process has its own already
  ASSERT_TRUE(Read(autosave.Path()).Ok());
  autosave.Remove();
  EXPECT_FALSE(fs::exists(autosave.Path()));
  // Nowhere to write: nothing is written, and it says so.
  EXPECT_FALSE(document::Autosave("").Write(document.State(), nullptr, "", reader).Ok());
}
