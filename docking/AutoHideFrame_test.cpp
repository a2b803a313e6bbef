#include "docking/AutoHideFrame.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

#include "docking/AutoHideStrip.h"
#include "docking/CaptionGlyph.h"
#include "docking/SlideOutWindow.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// Processes events for `ms` milliseconds or until `done` holds; returns done().
bool WaitFor(int ms, const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}
void Wait(int ms) {
  WaitFor(ms, [] { return false; });
}

// A small desktop form: the first page of the side bar.
QWidget* MakeDesktopForm() {
  auto* form = new QWidget;
  auto* layout = new QFormLayout(form);
  auto* name = new QLineEdit(form);
  name->setObjectName("1017");
  auto* name_label = new QLabel(Text(u"文件名称："), form);
  name_label->setBuddy(name);
  layout->addRow(name_label, name);
  auto* kind = new QComboBox(form);
  kind->addItems({Text(u"所有文件"), Text(u"文本文件"), Text(u"图片文件")});
  auto* kind_label = new QLabel(Text(u"文件类型："), form);
  kind_label->setBuddy(kind);
  layout->addRow(kind_label, kind);
  auto* folder = new QLineEdit(Text(u"/home/用户/文档"), form);
  auto* folder_label = new QLabel(Text(u"搜索位置："), form);
  folder_label->setBuddy(folder);
  layout->addRow(folder_label, folder);
  layout->addRow(new QPushButton(Text(u"开始搜索"), form));
  return form;
}

// Records the steps of the slide-out window's slides.
struct StepRecorder {
  explicit StepRecorder(CSlideOutWindow* window) {
    QObject::connect(window, &CSlideOutWindow::stepped, window,
                     [this, window](int step, int, bool out) {
                       steps.push_back({step, out});
                       rects.push_back(window->isVisible() ? window->geometry() : QRect());
                     });
  }
  int Count(bool out) const {
    int count = 0;
    for (const auto& step : steps) count += step.second == out ? 1 : 0;
    return count;
  }
  std::vector<std::pair<int, bool>> steps;
  std::vector<QRect> rects;
};

class CAutoHideFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  void SetUp() override {
    frame_ = std::make_unique<CAutoHideFrame>();
    frame_->setCentralWidget(new QLabel("center"));
    frame_->resize(900, 600);
    frame_->EnableDocking(Qt::AllDockWidgetAreas);
    frame_->SetPointerSource([this] { return pointer_; });
    bar_ = new CDockPageBar("DockPageBar", frame_.get(), QSize(300, 0), true, 1231);
    bar_->DockAt(Qt::LeftDockWidgetArea);
    pages_ = {MakeDesktopForm(), new QLabel(Text(u"网页搜索")), new QLabel(Text(u"新闻搜索"))};
    const char16_t* titles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索"};
    for (int i = 0; i < 3; ++i) bar_->AddPage(pages_[i], Text(titles[i]));
    frame_->show();
    QApplication::processEvents();
    PointAt(frame_.get(), QPoint(700, 300));  // over the client, away from everything
  }

  void PointAt(QWidget* widget, QPoint pos) { pointer_ = widget->mapToGlobal(pos); }
  CAutoHideStrip* LeftStrip() { return frame_->Strip(Qt::LeftDockWidgetArea); }
  CSlideOutWindow* Window() { return frame_->SlideOutWindow(); }
  // Points at tab `tab` of the left strip and moves the mouse there.
  void HoverTab(int tab) {
    const QPoint centre = LeftStrip()->TabRect(tab).center();
    PointAt(LeftStrip(), centre);
    QTest::mouseMove(LeftStrip(), centre);
  }
  // Slides page `page` out and waits until it is all the way out.
  void SlideOut(int page) {
    frame_->ShowCollapsedPage(bar_, page);
    ASSERT_TRUE(WaitFor(1500, [this] { return !Window()->IsSliding(); }));
    PointAt(Window(), Window()->rect().center());
  }

  QPoint pointer_;
  std::unique_ptr<CAutoHideFrame> frame_;
  CDockPageBar* bar_ = nullptr;
  std::vector<QWidget*> pages_;
};

TEST_F(CAutoHideFrameTest, EnableDockingMakesHiddenStripsOnTheChosenSides) {
  for (Qt::DockWidgetArea side : {Qt::LeftDockWidgetArea, Qt::TopDockWidgetArea,
                                  Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea}) {
    ASSERT_NE(frame_->Strip(side), nullptr) << side;
    EXPECT_FALSE(frame_->Strip(side)->isVisible()) << side;
  }
  CAutoHideFrame other;
  other.EnableDocking(Qt::LeftDockWidgetArea | Qt::BottomDockWidgetArea);
  EXPECT_NE(other.Strip(Qt::LeftDockWidgetArea), nullptr);
  EXPECT_NE(other.Strip(Qt::BottomDockWidgetArea), nullptr);
  EXPECT_EQ(other.Strip(Qt::TopDockWidgetArea), nullptr);
  EXPECT_EQ(other.Strip(Qt::RightDockWidgetArea), nullptr);
  EXPECT_EQ(other.findChild<QWidget*>("AutoHideFloatWnd"), other.SlideOutWindow());
}

TEST_F(CAutoHideFrameTest, CollapseMovesEveryPageToATabOfTheStrip) {
  bar_->ShowPage(2);
  ASSERT_TRUE(frame_->CanCollapse(bar_));
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  QApplication::processEvents();
  EXPECT_TRUE(frame_->IsCollapsed(bar_));
  EXPECT_FALSE(bar_->isVisible());
  EXPECT_EQ(bar_->PageCount(), 0);
  CAutoHideStrip* strip = LeftStrip();
  ASSERT_TRUE(strip->isVisible());
  EXPECT_LE(strip->width(), 24);
  EXPECT_LE(strip->geometry().right(), 24);  // along the frame's left edge
  ASSERT_EQ(strip->TabCount(), 3);
  const char16_t* titles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(strip->TabTitle(i), Text(titles[i]));
    auto* tab = strip->findChild<QAbstractButton*>(QString("tab%1").arg(i));
    ASSERT_NE(tab, nullptr) << i;
    EXPECT_EQ(tab->accessibleName(), Text(titles[i]));
    EXPECT_GT(tab->height(), tab->width()) << i;  // the tabs run down the strip
    EXPECT_EQ(strip->TabAt(strip->TabRect(i).center()), i);
  }
  for (QWidget* page : pages_) EXPECT_FALSE(page->isVisible());
  EXPECT_EQ(frame_->PageOut(), nullptr);
  EXPECT_FALSE(frame_->CollapseBar(bar_));  // already collapsed
}

TEST_F(CAutoHideFrameTest, RestorePutsThePagesBackIntoTheirBar) {
  bar_->ShowPage(2);
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  ASSERT_TRUE(frame_->RestoreBar(bar_));
  QApplication::processEvents();
  EXPECT_FALSE(frame_->IsCollapsed(bar_));
  EXPECT_TRUE(bar_->isVisible());
  EXPECT_EQ(frame_->dockWidgetArea(bar_), Qt::LeftDockWidgetArea);
  ASSERT_EQ(bar_->PageCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bar_->Page(i), pages_[i]) << i;
  EXPECT_EQ(bar_->ShownPage(), 2);
  EXPECT_TRUE(pages_[2]->isVisible());
  EXPECT_TRUE(bar_->isAncestorOf(pages_[2]));
  EXPECT_EQ(bar_->windowTitle(), Text(u"新闻搜索"));
  EXPECT_EQ(bar_->width(), 300);
  EXPECT_FALSE(LeftStrip()->isVisible());
  EXPECT_FALSE(frame_->RestoreBar(bar_));  // no longer collapsed
}

TEST_F(CAutoHideFrameTest, RestoringHidesItsPageThatIsOut) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(1);
  ASSERT_EQ(frame_->PageOut(), pages_[1]);
  auto* pin = Window()->findChild<QAbstractButton*>("pin");
  ASSERT_NE(pin, nullptr);
  pin->click();
  QApplication::processEvents();
  EXPECT_FALSE(Window()->isVisible());
  EXPECT_FALSE(frame_->IsCollapsed(bar_));
  EXPECT_EQ(bar_->ShownPage(), 1);  // the page that was out stays the one in view
  EXPECT_TRUE(bar_->isAncestorOf(pages_[1]));
}

TEST_F(CAutoHideFrameTest, OnlyDockedBarsOnASideWithAStripCollapse) {
  CAutoHideFrame top_only;
  top_only.setCentralWidget(new QLabel("center"));
  top_only.EnableDocking(Qt::TopDockWidgetArea);
  auto* left = new CDockPageBar("DockPageBar", &top_only, QSize(300, 0), true, 1231);
  left->DockAt(Qt::LeftDockWidgetArea);
  left->AddPage(new QLabel("a"), "a");
  EXPECT_FALSE(top_only.CanCollapse(left));
  EXPECT_FALSE(top_only.CollapseBar(left));
  EXPECT_EQ(left->PageCount(), 1);
  bar_->setFloating(true);
  EXPECT_FALSE(frame_->CanCollapse(bar_));
  EXPECT_FALSE(frame_->CanCollapse(left));  // another frame's bar
  auto* empty = new CDockPageBar("DockPageBar", frame_.get(), QSize(300, 0), true, 1232);
  empty->DockAt(Qt::RightDockWidgetArea);
  EXPECT_FALSE(frame_->CanCollapse(empty));
}

TEST_F(CAutoHideFrameTest, CaptionPinSitsBeforeTheFloatButtonAndCollapses) {
  auto* pin = bar_->findChild<QToolButton*>("pin");
  ASSERT_NE(pin, nullptr);
  ASSERT_TRUE(pin->isVisible());
  EXPECT_EQ(pin->accessibleName(), Text(u"自动隐藏"));
  auto* float_button = bar_->findChild<QAbstractButton*>("qt_dockwidget_floatbutton");
  ASSERT_NE(float_button, nullptr);
  EXPECT_LT(pin->geometry().right(), float_button->geometry().left());
  EXPECT_LE(pin->geometry().bottom(), bar_->widget()->y());  // inside the caption
  EXPECT_GE(pin->x(), 0);
  pin->click();
  EXPECT_TRUE(frame_->IsCollapsed(bar_));
  // A bar in a plain frame has no pin.
  QMainWindow plain;
  auto* other = new CDockPageBar("DockPageBar", &plain, QSize(300, 0), true, 1231);
  other->DockAt(Qt::LeftDockWidgetArea);
  other->AddPage(new QLabel("a"), "a");
  plain.show();
  QApplication::processEvents();
  EXPECT_FALSE(other->findChild<QToolButton*>("pin")->isVisible());
}

TEST_F(CAutoHideFrameTest, SlideOutRunsSixStepsToItsFullRectangle) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  StepRecorder recorder(Window());
  QElapsedTimer timer;
  timer.start();
  frame_->ShowCollapsedPage(bar_, 0);
  ASSERT_TRUE(WaitFor(2000, [this] { return !Window()->IsSliding(); }));
  const qint64 elapsed = timer.elapsed();
  ASSERT_EQ(recorder.steps.size(), 6u);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(recorder.steps[k], std::make_pair(k, true)) << k;
  EXPECT_GE(elapsed, 200);  // five 50-ms intervals after the first step
  // Beside the strip, as tall as the docking area, as wide as the bar was.
  const QRect strip = LeftStrip()->geometry();
  const QRect full = Window()->geometry();
  EXPECT_EQ(full, Window()->FullRect());
  EXPECT_EQ(full.left(), strip.right() + 1);
  EXPECT_EQ(full.left(), 24);
  EXPECT_EQ(full.width(), 300);
  EXPECT_EQ(full.top(), frame_->centralWidget()->geometry().top());
  EXPECT_EQ(full.bottom(), frame_->centralWidget()->geometry().bottom());
  // Each step k is (k + 1) / 6 of the width, anchored at the strip.
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(recorder.rects[k].left(), full.left()) << k;
    EXPECT_EQ(recorder.rects[k].width(), 300 * (k + 1) / 6) << k;
    EXPECT_EQ(recorder.rects[k].height(), full.height()) << k;
  }
  EXPECT_EQ(frame_->PageOut(), pages_[0]);
  EXPECT_TRUE(pages_[0]->isVisible());
  EXPECT_EQ(Window()->Title(), Text(u"桌面搜索"));
  EXPECT_EQ(LeftStrip()->ActiveTab(), 0);
  EXPECT_TRUE(Window()->isAncestorOf(pages_[0]));
}

TEST_F(CAutoHideFrameTest, HoverShorterThan400MsShowsNothing) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  QApplication::processEvents();
  HoverTab(1);
  Wait(150);
  // The pointer moves off the tab before the hover time is up.
  PointAt(frame_.get(), QPoint(700, 300));
  QTest::mouseMove(LeftStrip(), LeftStrip()->rect().bottomLeft() + QPoint(2, -2));
  Wait(500);
  EXPECT_EQ(frame_->PageOut(), nullptr);
  EXPECT_FALSE(Window()->isVisible());
}

TEST_F(CAutoHideFrameTest, HoverPast400MsShowsThePage) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  QApplication::processEvents();
  QElapsedTimer timer;
  timer.start();
  HoverTab(1);
  ASSERT_TRUE(WaitFor(1500, [this] { return frame_->PageOut() != nullptr; }));
  // A timer may fire a little early, never much: the page did not come before the hover time.
  EXPECT_GE(timer.elapsed(), 380);
  EXPECT_EQ(frame_->PageOut(), pages_[1]);
  EXPECT_TRUE(frame_->KeptOpen());  // the pointer is over the strip
}

TEST_F(CAutoHideFrameTest, MovingStraightFromOneTabToTheNextShowsTheNextPage) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  QApplication::processEvents();
  // The mouse moves over the tab buttons themselves, as a user's pointer does.
  auto move_over_tab = [this](int tab) {
    auto* button = LeftStrip()->findChild<QAbstractButton*>(QString("tab%1").arg(tab));
    ASSERT_NE(button, nullptr);
    PointAt(button, button->rect().center());
    QTest::mouseMove(button, button->rect().center());
  };
  QTest::mouseMove(frame_.get(), QPoint(700, 300));
  move_over_tab(0);
  ASSERT_TRUE(WaitFor(1500, [this] { return frame_->PageOut() == pages_[0]; }));
  move_over_tab(1);
  EXPECT_TRUE(WaitFor(1500, [this] { return frame_->PageOut() == pages_[1]; }));
  move_over_tab(2);
  EXPECT_TRUE(WaitFor(1500, [this] { return frame_->PageOut() == pages_[2]; }));
  EXPECT_EQ(LeftStrip()->ActiveTab(), 2);
}

TEST_F(CAutoHideFrameTest, ClickingATabShowsItsPage) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  QApplication::processEvents();
  LeftStrip()->findChild<QAbstractButton*>("tab2")->click();
  EXPECT_EQ(frame_->PageOut(), pages_[2]);
}

TEST_F(CAutoHideFrameTest, ShowingThePageThatIsOutChangesNothing) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(0);
  const QRect before = Window()->geometry();
  StepRecorder recorder(Window());
  frame_->ShowCollapsedPage(bar_, 0);
  Wait(200);
  EXPECT_TRUE(recorder.steps.empty());
  EXPECT_EQ(Window()->geometry(), before);
  EXPECT_EQ(frame_->PageOut(), pages_[0]);
}

TEST_F(CAutoHideFrameTest, AnotherPageSlidesOutAfterTheShownOneWentBack) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(0);
  StepRecorder recorder(Window());
  frame_->ShowCollapsedPage(bar_, 2);
  ASSERT_TRUE(WaitFor(1500, [this] { return !Window()->IsSliding(); }));
  ASSERT_EQ(recorder.steps.size(), 7u);
  EXPECT_EQ(recorder.steps[0], std::make_pair(0, false));  // page 0 goes back in one step
  EXPECT_EQ(recorder.Count(true), 6);
  EXPECT_EQ(frame_->PageOut(), pages_[2]);
  EXPECT_FALSE(pages_[0]->isVisible());
  EXPECT_EQ(Window()->Title(), Text(u"新闻搜索"));
  EXPECT_EQ(Window()->geometry(), Window()->FullRect());
  EXPECT_EQ(LeftStrip()->ActiveTab(), 2);
}

TEST_F(CAutoHideFrameTest, SlidesBackSoonAfterThePointerLeft) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(0);
  // While the pointer is over the window the page stays out, check after check.
  Wait(900);
  ASSERT_TRUE(Window()->isVisible());
  StepRecorder recorder(Window());
  PointAt(frame_.get(), QPoint(700, 300));
  QElapsedTimer timer;
  timer.start();
  Wait(150);
  EXPECT_TRUE(Window()->isVisible());
  EXPECT_TRUE(WaitFor(1500, [this] { return !Window()->isVisible(); }));
  EXPECT_LT(timer.elapsed(), 1500);
  EXPECT_EQ(recorder.Count(false), 6);  // d = 300: six steps back
  EXPECT_EQ(frame_->PageOut(), nullptr);
  EXPECT_EQ(LeftStrip()->ActiveTab(), -1);
}

TEST_F(CAutoHideFrameTest, StaysOutWhileKeptOpenOrGrabbed) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(1);
  // Over the strip, below the tabs: kept open.
  const QPoint below_tabs(12, LeftStrip()->height() - 5);
  PointAt(LeftStrip(), below_tabs);
  QTest::mouseMove(LeftStrip(), below_tabs);
  ASSERT_TRUE(frame_->KeptOpen());
  Wait(900);
  EXPECT_TRUE(Window()->isVisible());
  // Off the strip, with a widget holding the grab.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(LeftStrip(), &leave);
  EXPECT_FALSE(frame_->KeptOpen());
  PointAt(frame_.get(), QPoint(700, 300));
  pages_[1]->grabMouse();
  Wait(900);
  EXPECT_TRUE(Window()->isVisible());
  pages_[1]->releaseMouse();
  EXPECT_TRUE(WaitFor(1500, [this] { return !Window()->isVisible(); }));
}

TEST_F(CAutoHideFrameTest, AKeptOpenMarkWithoutThePointerOverTheStripIsDropped) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(1);
  QTest::mouseMove(LeftStrip(), QPoint(12, LeftStrip()->height() - 5));  // no leave follows
  ASSERT_TRUE(frame_->KeptOpen());
  PointAt(frame_.get(), QPoint(700, 300));
  EXPECT_TRUE(WaitFor(1500, [this] { return !Window()->isVisible(); }));
}

TEST_F(CAutoHideFrameTest, CloseGlyphSlidesThePageBack) {
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(0);
  auto* close = Window()->findChild<CCaptionGlyph*>("close");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->accessibleName(), Text(u"关闭"));
  EXPECT_EQ(close->GlyphColor(), QColor(128, 128, 128));
  QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), close->mapToGlobal(QPointF(4, 4)));
  QApplication::sendEvent(close, &enter);
  EXPECT_EQ(close->GlyphColor(), QColor(Qt::white));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(close, &leave);
  EXPECT_EQ(close->GlyphColor(), QColor(128, 128, 128));
  close->click();
  EXPECT_TRUE(WaitFor(1000, [this] { return !Window()->isVisible(); }));
  EXPECT_TRUE(frame_->IsCollapsed(bar_));
}

TEST_F(CAutoHideFrameTest, RightAndBottomWindowsEndAtTheirStrips) {
  auto* details = new CDockPageBar(Text(u"文件属性"), frame_.get(), QSize(230, 160), true, 12340);
  details->DockAt(Qt::BottomDockWidgetArea);
  details->AddPage(new QLabel(Text(u"文件属性")), Text(u"文件属性"));
  QApplication::processEvents();
  ASSERT_TRUE(frame_->CollapseBar(details));
  frame_->ShowCollapsedPage(details, 0);
  ASSERT_TRUE(WaitFor(1500, [this] { return !Window()->IsSliding(); }));
  const QRect strip = frame_->Strip(Qt::BottomDockWidgetArea)->geometry();
  EXPECT_LE(strip.height(), 24);
  EXPECT_EQ(Window()->geometry().bottom(), strip.top() - 1);
  EXPECT_EQ(Window()->geometry().height(), 160);
  // Across the whole docking area: the side bar and the client.
  EXPECT_EQ(Window()->geometry().left(), bar_->geometry().left());
  EXPECT_EQ(Window()->geometry().right(), frame_->centralWidget()->geometry().right());
}

TEST(CAutoHideFrameTopTest, TopStripSitsOnItsOwnLineBelowTheToolbar) {
  testing::EnsureApplication();
  CAutoHideFrame frame;
  frame.setCentralWidget(new QLabel("center"));
  frame.resize(900, 600);
  QToolBar* tools = frame.addToolBar("tools");
  tools->addAction("a");
  frame.EnableDocking(Qt::AllDockWidgetAreas);
  auto* bar = new CDockPageBar("DockPageBar", &frame, QSize(0, 120), true, 1240);
  bar->DockAt(Qt::TopDockWidgetArea);
  bar->AddPage(new QLabel("a"), "a");
  frame.show();
  QApplication::processEvents();
  ASSERT_TRUE(frame.CollapseBar(bar));
  frame.ShowCollapsedPage(bar, 0);
  ASSERT_TRUE(WaitFor(1500, [&frame] { return !frame.SlideOutWindow()->IsSliding(); }));
  const QRect strip = frame.Strip(Qt::TopDockWidgetArea)->geometry();
  EXPECT_GT(strip.top(), tools->geometry().bottom());
  EXPECT_EQ(strip.left(), 0);
  EXPECT_EQ(strip.height(), 22);
  const QRect window = frame.SlideOutWindow()->geometry();
  EXPECT_EQ(window.top(), strip.bottom() + 1);  // 22 pixels from the strip's outer edge
  EXPECT_EQ(window.height(), 120);
  EXPECT_EQ(window.width(), frame.centralWidget()->width());
}

// The picture of a frame with its side bar collapsed and the desktop form slid out; saved where
// JOLLIX_AUTOHIDE_SHOT names a file, so that the look can be checked by eye.
TEST_F(CAutoHideFrameTest, PictureShowsTheStripAndTheSlidOutForm) {
  auto* results = new QTreeWidget;
  results->setHeaderLabels({Text(u"名称"), Text(u"位置"), Text(u"大小")});
  for (const char16_t* name : {u"年度报告.doc", u"会议纪要.txt", u"照片.jpg"}) {
    results->addTopLevelItem(
        new QTreeWidgetItem(QStringList{Text(name), Text(u"/home/用户/文档"), "12 KB"}));
  }
  frame_->setCentralWidget(results);
  QApplication::processEvents();
  frame_->resizeDocks({bar_}, {300}, Qt::Horizontal);
  QApplication::processEvents();
  ASSERT_EQ(bar_->width(), 300);
  if (const QByteArray path = qgetenv("JOLLIX_AUTOHIDE_SHOT"); !path.isEmpty()) {
    frame_->grab().save(QString::fromLocal8Bit(path) + ".docked.png");
  }
  ASSERT_TRUE(frame_->CollapseBar(bar_));
  SlideOut(0);
  QApplication::processEvents();
  const QImage picture = frame_->grab().toImage();
  ASSERT_EQ(picture.size(), QSize(900, 600));
  // The strip's background at its foot and the window's dark caption both show.
  const QRect strip = LeftStrip()->geometry();
  EXPECT_NE(picture.pixelColor(strip.center().x(), strip.bottom() - 3),
            picture.pixelColor(700, 590));
  const QPoint caption = Window()->geometry().topLeft() + QPoint(150, 10);
  EXPECT_LT(picture.pixelColor(caption).lightness(), 100);
  if (const QByteArray path = qgetenv("JOLLIX_AUTOHIDE_SHOT"); !path.isEmpty()) {
    EXPECT_TRUE(picture.save(QString::fromLocal8Bit(path)));
  }
}

}  // namespace
}  // namespace jollix
