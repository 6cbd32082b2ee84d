#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "QtTestSupport.h"

namespace qttest {
namespace {

class DragDropTest : public QtPlatformTest {
 protected:
  void SetUp() override {
    QtPlatformTest::SetUp();
    // Copies wherever `copyHere` says so, as the program does over regions.
    handler.acceptDrag = [this](const FileDrag& d) { return copyHere && d.copyAllowed; };
    window = Make(handler, 300, 200);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    window.reset();
    QtPlatformTest::TearDown();
  }
  QWidget* Widget() const { return window->Widget(); }

  RecordingHandler handler;
  std::unique_ptr<qt::QtWindow> window;
  bool copyHere = true;
};

TEST_F(DragDropTest, FilesArriveInOrderWithClientPointsAndCopyIsAccepted) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg"), QUrl("https://example.org/x.png"),
                QUrl::fromLocalFile("/photos/a b.png"), QUrl::fromLocalFile("/cards/m.jli")});
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

  QDragEnterEvent enter(QPoint(20, 30), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  ASSERT_EQ(handler.drags.size(), 1u);
  EXPECT_EQ(handler.drags[0].point, (Point{20, 30}));
  EXPECT_TRUE(handler.drags[0].copyAllowed);
  EXPECT_EQ(handler.drags[0].paths,
            (std::vector<std::string>{"/photos/b.jpg", "/photos/a b.png", "/cards/m.jli"}));

  // Over a place the program refuses, the move is ignored; back over a good
  // one it is accepted again.
  copyHere = false;
  QDragMoveEvent refused(QPoint(40, 50), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &refused);
  EXPECT_FALSE(refused.isAccepted());
  copyHere = true;
  QDragMoveEvent accepted(QPoint(41, 50), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  accepted.ignore();
  QApplication::sendEvent(Widget(), &accepted);
  EXPECT_TRUE(accepted.isAccepted());
  EXPECT_EQ(accepted.dropAction(), Qt::CopyAction);

  QDropEvent drop(QPointF(42, 50), actions, &mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  ASSERT_EQ(handler.drops.size(), 1u);
  EXPECT_EQ(handler.drops[0].point, (Point{42, 50}));
  EXPECT_EQ(handler.drops[0].paths.size(), 3u);
}

TEST_F(DragDropTest, TextAndRemoteAddressesAreDragsWithoutFiles) {
  QMimeData text;
  text.setText("some selected text");
  QDragEnterEvent enter(QPoint(20, 30), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  ASSERT_EQ(handler.drags.size(), 1u);
  EXPECT_TRUE(handler.drags[0].paths.empty());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);  // the program decides, and this one copies

  QMimeData remote;
  remote.setUrls({QUrl("https://example.org/photo.jpg")});
  QDragEnterEvent again(QPoint(20, 30), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &again);
  EXPECT_TRUE(handler.drags.back().paths.empty());
}

TEST_F(DragDropTest, ADragEnteringOverARefusingSpotStillReachesAnAcceptingOne) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg")});
  copyHere = false;
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction);
  copyHere = true;
  QDragMoveEvent over(QPoint(150, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  over.ignore();
  QApplication::sendEvent(Widget(), &over);
  EXPECT_TRUE(over.isAccepted());
  QDropEvent drop(QPointF(150, 100), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(handler.drops.size(), 1u);
}

TEST_F(DragDropTest, MoveOnlySourcesAreRefusedAndDropNothing) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/photos/b.jpg")});
  QDragEnterEvent enter(QPoint(20, 30), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &enter);
  ASSERT_EQ(handler.drags.size(), 1u);
  EXPECT_FALSE(handler.drags[0].copyAllowed);
  EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction);
  QDropEvent drop(QPointF(25, 30), Qt::MoveAction, &mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &drop);
  EXPECT_FALSE(drop.isAccepted());
  EXPECT_TRUE(handler.drops.empty());
}

}  // namespace
}  // namespace qttest
