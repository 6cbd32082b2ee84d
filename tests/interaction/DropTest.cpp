#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/WebAddresses.h"
#include "interaction/SimpleDropTarget.h"
#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};
constexpr ClientPoint kToolbar{940, 100};
constexpr ClientPoint kHintLine{300, 610};
constexpr uint32_t kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

const std::string kLayoutFailure =
    "The custom layout failed to load. Please ensure, it follows all the guidelines for custom "
    "layouts - ";

uint32_t Enter(Harness& h, IDataObject* data, ClientPoint p, uint32_t allowed = kAll) {
  const DragResult r = h.window->DragEnter(data, Point{p.x, p.y}, allowed);
  EXPECT_EQ(r.hr, S_OK);
  return r.effect;
}

uint32_t Over(Harness& h, ClientPoint p, uint32_t allowed = kAll) {
  const DragResult r = h.window->DragOver(Point{p.x, p.y}, allowed);
  EXPECT_EQ(r.hr, S_OK);
  return r.effect;
}

// Enter, then drop at the same point, as a quick drag does.
uint32_t DropAt(Harness& h, std::vector<std::string> names, ClientPoint p,
                uint32_t allowed = kAll) {
  auto data = ScriptedDataObject::Files(std::move(names));
  Enter(h, data.get(), p, allowed);
  const DragResult r = h.window->Drop(data.get(), Point{p.x, p.y}, allowed);
  EXPECT_EQ(r.hr, S_OK);
  EXPECT_EQ(data->OutstandingMedia(), 0);  // every medium given back
  EXPECT_EQ(data->RefCount(), 1u);
  return r.effect;
}

// A path of exactly `length` characters, ending in `/name`, whose folders exist.
std::string PathOfLength(const std::string& base, size_t length, const std::string& name,
                         char fill) {
  std::string path = base;
  size_t rest = length - base.size() - name.size() - 1;
  while (rest > 0) {
    const size_t take = rest > 201 ? 150 : rest;
    path += "/" + std::string(take - 1, fill);
    rest -= take;
  }
  std::filesystem::create_directories(path);
  return path + "/" + name;
}

}  // namespace

TEST(DropTarget, RegistrationHoldsAReferenceUntilTheWindowIsDestroyed) {
  Harness h;
  app::CTessaryWnd::CSimpleDropTarget* target = h.wnd->GetDropTarget();
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(h.window->registrations, 1);
  EXPECT_EQ(h.window->RegisteredDropTarget(), static_cast<IDropTarget*>(target));
  EXPECT_EQ(target->RefCount(), 2u);  // the window's and the registration's

  void* object = nullptr;
  EXPECT_EQ(target->QueryInterface(Iid::IDropTarget, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDropTarget*>(target));
  EXPECT_EQ(target->RefCount(), 3u);
  EXPECT_EQ(target->Release(), 2u);
  EXPECT_EQ(target->QueryInterface(Iid::IUnknown, &object), S_OK);
  EXPECT_EQ(target->Release(), 2u);
  object = &object;
  EXPECT_EQ(target->QueryInterface(Iid::IDataObject, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(target->RefCount(), 2u);

  RecordingDropTargetHelper* helper = h.platform.dropHelper;
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(helper->RefCount(), 2u);  // the platform's and the target's

  h.window->DestroyWindow();
  EXPECT_EQ(h.window->revocations, 1);
  EXPECT_EQ(h.window->RegisteredDropTarget(), nullptr);
  EXPECT_EQ(target->RefCount(), 1u);
  h.wnd.reset();  // the last reference: the target goes, and lets the helper go
  EXPECT_EQ(helper->RefCount(), 1u);
}

TEST(DropTarget, LayoutFilesAreWelcomeAnywhere) {
  Harness h;
  auto data = ScriptedDataObject::Files({"/cards/a.png", "/cards/x.jli", "/cards/b.png"});
  EXPECT_EQ(Enter(h, data.get(), kToolbar), DROPEFFECT_COPY);
  EXPECT_EQ(data->OutstandingMedia(), 0);  // every medium given back
  EXPECT_EQ(data->RefCount(), 1u);
  EXPECT_EQ(Over(h, kHintLine), DROPEFFECT_COPY);
  EXPECT_EQ(Over(h, kFrame), DROPEFFECT_COPY);
  EXPECT_EQ(Over(h, h.In(4)), DROPEFFECT_COPY);
  EXPECT_EQ(Over(h, kFrame, DROPEFFECT_COPY | DROPEFFECT_LINK), DROPEFFECT_COPY);
  // Leaving keeps what the drag holds until the next one comes in.
  EXPECT_EQ(h.window->DragLeave(), S_OK);
  EXPECT_EQ(Over(h, kToolbar), DROPEFFECT_COPY);

  auto photos = ScriptedDataObject::Files({"/cards/a.png"});
  EXPECT_EQ(Enter(h, photos.get(), kToolbar), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, kToolbar), DROPEFFECT_NONE);
}

TEST(DropTarget, PhotosAreWelcomeOverRegionsOnly) {
  Harness h;
  h.Fill(1);
  auto data = ScriptedDataObject::Files({"/photos/a.jpg", "/photos/b.png"});
  EXPECT_EQ(Enter(h, data.get(), kFrame), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, h.In(0)), DROPEFFECT_COPY);
  EXPECT_EQ(Over(h, h.In(1)), DROPEFFECT_COPY);  // a filled region takes a new photo
  EXPECT_EQ(Over(h, kToolbar), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, kHintLine), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, ClientPoint{900, 300}), DROPEFFECT_NONE);  // just right of the card
  EXPECT_EQ(Enter(h, data.get(), h.In(2)), DROPEFFECT_COPY);

  // Dropping photos outside every region loads nothing.
  h.window->ClearLogs();
  const std::string photo = h.files.Photo("a.png", 20, 20, Rgb{9, 9, 9});
  EXPECT_EQ(DropAt(h, {photo}, kFrame), DROPEFFECT_COPY);
  for (size_t i : {0, 2, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());
}

TEST(DropTarget, NonFileDataIsOfferedCopyOverRegionsAndDropsNothing) {
  Harness h;
  auto text = ScriptedDataObject::NonFile();
  EXPECT_EQ(Enter(h, text.get(), h.In(0)), DROPEFFECT_COPY);
  EXPECT_EQ(Over(h, kFrame), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, h.In(3)), DROPEFFECT_COPY);
  h.window->ClearLogs();
  const DragResult r = h.window->Drop(text.get(), Point{h.In(3).x, h.In(3).y}, kAll);
  EXPECT_EQ(r.hr, S_OK);
  EXPECT_EQ(r.effect, DROPEFFECT_COPY);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  EXPECT_TRUE(h.platform.messageBoxes.empty());
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_EQ(h.platform.TimesSet(h.platform.CursorHandle(CursorId::Wait)), 0);
}

TEST(DropTarget, MoveOnlySourcesGetNoEffectAnywhere) {
  Harness h;
  auto layout = ScriptedDataObject::Files({"/cards/x.jli"});
  EXPECT_EQ(Enter(h, layout.get(), h.In(0), DROPEFFECT_MOVE), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, kFrame, DROPEFFECT_MOVE), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, h.In(1), DROPEFFECT_MOVE | DROPEFFECT_LINK), DROPEFFECT_NONE);
  auto photo = ScriptedDataObject::Files({"/photos/a.jpg"});
  EXPECT_EQ(Enter(h, photo.get(), h.In(0), DROPEFFECT_MOVE), DROPEFFECT_NONE);
  EXPECT_EQ(Over(h, h.In(2), DROPEFFECT_MOVE), DROPEFFECT_NONE);
}

TEST(DropTarget, LayoutNamesAreKnownByTheirEndingInAnyCaseAndTheirLength) {
  Harness h;
  const auto layoutDragged = [&](const std::string& name) {
    auto data = ScriptedDataObject::Files({name});
    return Enter(h, data.get(), kFrame) == DROPEFFECT_COPY;
  };
  EXPECT_TRUE(layoutDragged("/c/card.JLI"));
  EXPECT_TRUE(layoutDragged("/c/card.Jli"));
  EXPECT_TRUE(layoutDragged("/c/card.jLi"));
  EXPECT_TRUE(layoutDragged("a.jli"));  // five characters: long enough
  EXPECT_FALSE(layoutDragged(".jli"));  // four: too short to be considered
  EXPECT_FALSE(layoutDragged("/c/card.jlix"));
  EXPECT_FALSE(layoutDragged("/c/card.jl"));
  EXPECT_FALSE(layoutDragged("/c/card_jli"));
  EXPECT_FALSE(layoutDragged("/c/card.jpg"));
  EXPECT_TRUE(layoutDragged("/" + std::string(254, 'n') + ".jli"));   // 259
  EXPECT_FALSE(layoutDragged("/" + std::string(255, 'n') + ".jli"));  // 260
  // Lengths count UTF-16 units: 254 two-byte letters are 254 units.
  std::string wide = "/";
  for (int i = 0; i < 254; ++i) wide += "\xC3\xA9";
  EXPECT_TRUE(layoutDragged(wide + ".jli"));
  // The first layout name decides, wherever it stands in the list.
  auto mixed = ScriptedDataObject::Files({"/a.png", ".jli", "/b.txt", "/c/z.JlI", "/d.png"});
  EXPECT_EQ(Enter(h, mixed.get(), kToolbar), DROPEFFECT_COPY);
}

TEST(DropTarget, TheDragImageHelperSeesEveryCallAsReceived) {
  Harness h;
  RecordingDropTargetHelper* helper = h.platform.dropHelper;
  ASSERT_NE(helper, nullptr);
  auto data = ScriptedDataObject::Files({"/photos/a.jpg"});
  const ClientPoint p = h.In(0);
  Enter(h, data.get(), kFrame, DROPEFFECT_COPY | DROPEFFECT_MOVE);
  Over(h, p, DROPEFFECT_MOVE);
  h.window->DragLeave();
  Enter(h, data.get(), p);
  h.window->Drop(data.get(), Point{kFrame.x, kFrame.y}, DROPEFFECT_LINK);
  // DragEnter may answer through its own DragOver, so the helper can see an
  // extra DragOver after each DragEnter; the other calls come one each.
  std::vector<HelperCall> calls;
  bool overAtP = false;
  for (const HelperCall& c : helper->calls) {
    if (c.name != "DragOver") {
      calls.push_back(c);
      continue;
    }
    overAtP = overAtP || (c.point.x == h.Screen(p).x && c.point.y == h.Screen(p).y &&
                          c.effect == DROPEFFECT_MOVE);
  }
  EXPECT_TRUE(overAtP);
  ASSERT_EQ(calls.size(), 4u);
  const std::vector<std::string> names = {"DragEnter", "DragLeave", "DragEnter", "Drop"};
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(calls[i].name, names[i]);
  EXPECT_EQ(calls[0].target, h.window->Handle());
  EXPECT_EQ(calls[0].data, data.get());
  EXPECT_EQ(calls[0].point.x, h.Screen(kFrame).x);
  EXPECT_EQ(calls[0].point.y, h.Screen(kFrame).y);
  EXPECT_EQ(calls[0].effect, DROPEFFECT_COPY | DROPEFFECT_MOVE);
  EXPECT_EQ(calls[3].data, data.get());
  EXPECT_EQ(calls[3].point.x, h.Screen(kFrame).x);
  EXPECT_EQ(calls[3].effect, uint32_t(DROPEFFECT_LINK));
  EXPECT_EQ(data->OutstandingMedia(), 0);  // every medium given back
  EXPECT_EQ(data->RefCount(), 1u);
}

TEST(DropFiles, OnlyTheFirstPhotoThatDecodesFillsTheRegion) {
  Harness h;
  const std::string bad = h.files.Garbage("bad.png");
  const std::string missing = h.files.Folder() + "/missing.jpg";
  const std::string first = h.files.Photo("first.jpg", 40, 30, Rgb{250, 0, 0}, true);
  const std::string second = h.files.Photo("second.png", 50, 50, Rgb{0, 250, 0});
  h.window->ClearLogs();
  h.platform.cursorLog.clear();
  EXPECT_EQ(DropAt(h, {bad, missing, first, second}, h.In(2)), DROPEFFECT_COPY);
  ASSERT_TRUE(h.Slot(2).HasPhoto());
  EXPECT_EQ(h.Slot(2).photoWidth, 40u);
  EXPECT_EQ(h.Slot(2).photoHeight, 30u);
  for (size_t i : {0, 1, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto());
  EXPECT_EQ(h.WholeRepaints(false), 1);
  EXPECT_EQ(h.window->invalidations.size(), 1u);
  EXPECT_TRUE(h.platform.messageBoxes.empty());
  EXPECT_EQ(h.platform.TimesSet(h.platform.CursorHandle(CursorId::Wait)), 1);
  EXPECT_NE(h.platform.currentCursor, h.platform.CursorHandle(CursorId::Wait));

  // Dropped again on the filled region: replaced.
  DropAt(h, {second}, h.In(2));
  EXPECT_EQ(h.Slot(2).photoWidth, 50u);
}

TEST(DropFiles, OutsideEveryRegionPhotosArePassedOverAndTheLayoutLoads) {
  Harness h;
  const std::string photo = h.files.Photo("p.png", 20, 20, Rgb{1, 1, 1});
  const std::string layout = h.files.SimpleLayout("wide.jli", 600, 400);
  DropAt(h, {photo, layout}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 600u);
  EXPECT_EQ(h.Card().cardTemplate.height, 400u);
  EXPECT_EQ(h.Card().cardTemplate.builtInTemplateIndex, 0);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  EXPECT_TRUE(h.platform.messageBoxes.empty());
  EXPECT_EQ(h.CardRect(), (Rect{150, 100, 750, 500}));

  // The next Template click goes on with the built-in cycle.
  h.window->Command(app::CTessaryWnd::IdTemplate);
  EXPECT_EQ(h.Card().cardTemplate.builtInTemplateIndex, 1);
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);
}

TEST(DropFiles, ABadLayoutShowsOneMessageBoxAndTheNextLayoutLoads) {
  Harness h;
  const std::string bad = h.files.Garbage("broken.jli");
  const std::string good = h.files.SimpleLayout("good.jli", 640, 480);
  const std::string later = h.files.SimpleLayout("later.jli", 300, 300);
  DropAt(h, {bad, good, later}, h.In(0));
  ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
  const MessageBoxRecord& box = h.platform.messageBoxes[0];
  EXPECT_EQ(box.owner, h.window);
  EXPECT_EQ(box.caption, "Tessary");
  EXPECT_EQ(box.type, MB_OK);
  EXPECT_EQ(box.text, kLayoutFailure + app::GuidelineAddress());
  EXPECT_EQ(h.Card().cardTemplate.width, 640u);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());

  // Two failures, two boxes; a layout that is not there fails like a bad one.
  DropAt(h, {bad, h.files.Folder() + "/gone.jli"}, kFrame);
  EXPECT_EQ(h.platform.messageBoxes.size(), 3u);
  EXPECT_EQ(h.Card().cardTemplate.width, 640u);
}

TEST(DropFiles, OneDropChangesAtMostOneThing) {
  Harness h;
  const std::string photo = h.files.Photo("p.png", 20, 20, Rgb{1, 1, 1});
  const std::string layout = h.files.SimpleLayout("l.jli", 600, 400);
  DropAt(h, {photo, layout}, h.In(1));
  EXPECT_TRUE(h.Slot(1).HasPhoto());
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);

  DropAt(h, {layout, photo}, h.In(3));
  EXPECT_EQ(h.Card().cardTemplate.width, 600u);
  EXPECT_FALSE(h.Slot(3).HasPhoto());
  EXPECT_FALSE(h.Slot(0).HasPhoto());
  EXPECT_TRUE(h.platform.messageBoxes.empty());
}

TEST(DropFiles, LayoutEndingsInAnyCaseLoadAndJlixIsTriedAsAPhoto) {
  Harness h;
  DropAt(h, {h.files.SimpleLayout("upper.JLI", 500, 300)}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 500u);
  DropAt(h, {h.files.SimpleLayout("mixed.Jli", 400, 300)}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 400u);
  EXPECT_TRUE(h.platform.messageBoxes.empty());

  // A photo under a name ending in .jlix: no layout, but a photo.
  const std::string jlix = h.files.Photo("photo.jlix", 33, 22, Rgb{5, 6, 7});
  auto data = ScriptedDataObject::Files({jlix});
  EXPECT_EQ(Enter(h, data.get(), kToolbar), DROPEFFECT_NONE);
  const ClientPoint region = h.In(0);
  DropAt(h, {jlix}, region);
  ASSERT_TRUE(h.Slot(0).HasPhoto());
  EXPECT_EQ(h.Slot(0).photoWidth, 33u);
  EXPECT_EQ(h.Card().cardTemplate.width, 400u);
  EXPECT_TRUE(h.platform.messageBoxes.empty());
}

TEST(DropFiles, OverlongPathsAreSkipped) {
  Harness h;
  const std::string base = h.files.Folder();
  const std::string at259 = PathOfLength(base, 259, "l.jli", 'a');
  const std::string at260 = PathOfLength(base, 260, "l.jli", 'b');
  ASSERT_EQ(at259.size(), 259u);
  ASSERT_EQ(at260.size(), 260u);
  const std::string layout = h.files.SimpleLayout("source.jli", 500, 300);
  std::filesystem::copy_file(layout, at259);
  std::filesystem::copy_file(layout, at260);

  DropAt(h, {at260}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);
  EXPECT_TRUE(h.platform.messageBoxes.empty());
  DropAt(h, {at260, at259}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 500u);
  EXPECT_TRUE(h.platform.messageBoxes.empty());
}
