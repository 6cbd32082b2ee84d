#include "QtTestSupport.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace qttest {
namespace {

struct DropCall {
  std::string what;
  uint32_t effectIn;
  Point point;
};

// Offers copy wherever `copyHere` says so, as the program's target does.
class FakeDropTarget : public IDropTarget {
 public:
  HRESULT QueryInterface(Iid, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++refs; }
  uint32_t Release() override { return --refs; }

  HRESULT DragEnter(IDataObject* data, uint32_t, Point point, uint32_t* effect) override {
    calls.push_back({"enter", *effect, point});
    files = ReadFiles(data, &hadFiles);
    *effect = copyHere ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT DragOver(uint32_t, Point point, uint32_t* effect) override {
    calls.push_back({"over", *effect, point});
    *effect = copyHere ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back({"leave", 0, Point{}});
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, uint32_t, Point point, uint32_t* effect) override {
    calls.push_back({"drop", *effect, point});
    files = ReadFiles(data, &hadFiles);
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }

  static std::vector<std::string> ReadFiles(IDataObject* data, bool* had) {
    FORMATETC format;
    format.cfFormat = CF_HDROP;
    STGMEDIUM medium;
    std::vector<std::string> names;
    *had = data->GetData(format, &medium) == S_OK;
    if (!*had) return names;
    const uint32_t count = DragQueryFile(medium.hGlobal, 0xFFFFFFFFu, nullptr);
    for (uint32_t i = 0; i < count; ++i) {
      std::string name;
      DragQueryFile(medium.hGlobal, i, &name);
      names.push_back(name);
    }
    ReleaseStgMedium(&medium);
    return names;
  }

  uint32_t refs = 1;
  bool copyHere = true;
  bool hadFiles = false;
  std::vector<std::string> files;
  std::vector<DropCall> calls;
};

class DragDropTest : public QtPlatformTest {
 protected:
  void SetUp() override {
    QtPlatformTest::SetUp();
    window = MakeWindow(handler, 300, 200);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->RegisterDragDrop(&target), S_OK);
  }
  void TearDown() override {
    window->RevokeDragDrop();
    QtPlatformTest::TearDown();
  }

  QWidget* Widget() const { return window->Widget(); }

  RecordingHandler handler;
  FakeDropTarget target;
  qt::QtWindow* window = nullptr;
};

TEST_F(DragDropTest, RegistrationHoldsAReferenceAndEnablesDrops) {
  EXPECT_EQ(target.refs, 2u);
  EXPECT_TRUE(Widget()->acceptDrops());
  EXPECT_NE(window->RegisterDragDrop(&target), S_OK);  // one registration per window
  EXPECT_EQ(window->RevokeDragDrop(), S_OK);
  EXPECT_EQ(target.refs, 1u);
  EXPECT_FALSE(Widget()->acceptDrops());
  EXPECT_NE(window->RevokeDragDrop(), S_OK);

  IDropTargetHelper* helper = reinterpret_cast<IDropTargetHelper*>(1);
  EXPECT_EQ(platform->CreateDropTargetHelper(&helper), E_NOINTERFACE);
  EXPECT_EQ(helper, nullptr);
}

TEST_F(DragDropTest, FilesArriveInOrderAndCopyIsAccepted) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg"), QUrl("https://example.org/x.png"),
                QUrl::fromLocalFile("/photos/a b.png"), QUrl::fromLocalFile("/cards/m.jli")});
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

  QDragEnterEvent enter(QPoint(20, 30), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  ASSERT_EQ(target.calls.size(), 1u);
  EXPECT_EQ(target.calls[0].what, "enter");
  EXPECT_EQ(target.calls[0].effectIn, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  const Point screen = window->ClientToScreen(Point{20, 30});
  EXPECT_EQ(target.calls[0].point.x, screen.x);
  EXPECT_EQ(target.calls[0].point.y, screen.y);
  EXPECT_TRUE(target.hadFiles);
  EXPECT_EQ(target.files,
            (std::vector<std::string>{"/photos/b.jpg", "/photos/a b.png", "/cards/m.jli"}));

  // Over a place the target refuses, the move is ignored; back over a good
  // one it is accepted again.
  target.copyHere = false;
  QDragMoveEvent refused(QPoint(40, 50), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &refused);
  EXPECT_FALSE(refused.isAccepted());
  target.copyHere = true;
  QDragMoveEvent accepted(QPoint(41, 50), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  accepted.ignore();
  QApplication::sendEvent(Widget(), &accepted);
  EXPECT_TRUE(accepted.isAccepted());
  EXPECT_EQ(accepted.dropAction(), Qt::CopyAction);

  target.files.clear();
  QDropEvent drop(QPointF(42, 50), actions, &mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  EXPECT_EQ(target.calls.back().what, "drop");
  EXPECT_EQ(target.files.size(), 3u);
  EXPECT_EQ(target.refs, 2u);  // only the registration's reference is left
}

TEST_F(DragDropTest, TextHasNoFileListAndLeavingIsReported) {
  QMimeData mime;
  mime.setText("some selected text");
  QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  EXPECT_FALSE(target.hadFiles);
  EXPECT_TRUE(enter.isAccepted());  // the target decides, and this one offers copy

  QDragLeaveEvent leave;
  QApplication::sendEvent(Widget(), &leave);
  ASSERT_EQ(target.calls.size(), 2u);
  EXPECT_EQ(target.calls[1].what, "leave");

  // Remote addresses alone are no file list either.
  QMimeData remote;
  remote.setUrls({QUrl("https://example.org/photo.jpg")});
  QDragEnterEvent again(QPoint(20, 30), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &again);
  EXPECT_FALSE(target.hadFiles);
}

TEST_F(DragDropTest, ADragEnteringOverARefusingSpotStillReachesAnAcceptingOne) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg")});
  target.copyHere = false;
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction);
  QDragMoveEvent refused(QPoint(3, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &refused);
  EXPECT_FALSE(refused.isAccepted());

  target.copyHere = true;
  QDragMoveEvent over(QPoint(150, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  over.ignore();
  QApplication::sendEvent(Widget(), &over);
  EXPECT_EQ(target.calls.back().what, "over");
  EXPECT_TRUE(over.isAccepted());
  QDropEvent drop(QPointF(150, 100), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &drop);
  EXPECT_EQ(target.calls.back().what, "drop");
  EXPECT_TRUE(drop.isAccepted());
}

TEST_F(DragDropTest, MoveOnlySourcesAreRefused) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg")});
  QDragEnterEvent enter(QPoint(20, 30), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  ASSERT_EQ(target.calls.size(), 1u);
  EXPECT_EQ(target.calls[0].effectIn, DROPEFFECT_MOVE);
  EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction);

  QDragMoveEvent move(QPoint(25, 30), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &move);
  EXPECT_EQ(target.calls.back().what, "over");
  EXPECT_EQ(target.calls.back().effectIn, DROPEFFECT_MOVE);
  EXPECT_FALSE(move.isAccepted());
}

TEST_F(DragDropTest, DestroyingTheWindowDropsAnUnrevokedRegistration) {
  window->DestroyWindow();
  EXPECT_EQ(target.refs, 1u);
}

}  // namespace
}  // namespace qttest
