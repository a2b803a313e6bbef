#include "docking/DockPageBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "testing/QtTestApp.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// Records the indexes that a bar's pageShown signal reports.
struct ShownRecorder {
  explicit ShownRecorder(CDockPageBar* bar) {
    QObject::connect(bar, &CDockPageBar::pageShown, bar,
                     [this](int index) { shown.push_back(index); });
  }
  std::vector<int> shown;
};

QIcon SquareIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::darkCyan);
  return QIcon(pixmap);
}

// Counts the paint and title-change events that reach the bar or any widget inside it.
class EventCounter : public QObject {
 public:
  explicit EventCounter(QWidget* bar) : bar_(bar) { qApp->installEventFilter(this); }
  ~EventCounter() override { qApp->removeEventFilter(this); }
  int paints = 0;
  int title_changes = 0;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || (widget != bar_ && !bar_->isAncestorOf(widget))) return false;
    if (event->type() == QEvent::Paint) ++paints;
    if (event->type() == QEvent::WindowTitleChange) ++title_changes;
    return false;
  }

 private:
  QWidget* bar_;
};

class CDockPageBarTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  void SetUp() override {
    frame_ = std::make_unique<QMainWindow>();
    frame_->setCentralWidget(new QLabel("center"));
    frame_->resize(900, 600);
  }

  // The side bar: window text "DockPageBar", width 300, with gripper, id 1231, docked left.
  CDockPageBar* MakeSideBar() {
    bar_ = new CDockPageBar("DockPageBar", frame_.get(), QSize(300, 0), true, 1231);
    bar_->DockAt(Qt::LeftDockWidgetArea);
    return bar_;
  }
  QWidget* AddPage(const char16_t* title, const QIcon& icon = {}) {
    auto* page = new QLabel(Text(title));
    bar_->AddPage(page, Text(title), icon);
    return page;
  }
  void AddThreePages() {
    pages_ = {AddPage(u"桌面搜索"), AddPage(u"网页搜索"), AddPage(u"新闻搜索")};
  }
  void Show() {
    frame_->show();
    QApplication::processEvents();
  }
  QToolButton* Button(int index) {
    return bar_->findChild<QToolButton*>(QString("pagebutton%1").arg(index));
  }
  QWidget* Strip() { return bar_->findChild<QWidget*>("pagebuttons"); }
  std::vector<bool> PagesVisible() {
    std::vector<bool> visible;
    for (QWidget* page : pages_) visible.push_back(page->isVisible());
    return visible;
  }

  std::unique_ptr<QMainWindow> frame_;
  CDockPageBar* bar_ = nullptr;
  std::vector<QWidget*> pages_;
};

TEST_F(CDockPageBarTest, CarriesItsIdTextAndDocksAnywhere) {
  MakeSideBar();
  EXPECT_EQ(bar_->objectName(), "1231");
  EXPECT_EQ(bar_->windowTitle(), "DockPageBar");
  EXPECT_EQ(bar_->accessibleName(), "DockPageBar");
  EXPECT_EQ(bar_->allowedAreas(), Qt::AllDockWidgetAreas);
  EXPECT_TRUE(bar_->features().testFlag(QDockWidget::DockWidgetClosable));
  EXPECT_EQ(frame_->dockWidgetArea(bar_), Qt::LeftDockWidgetArea);
  EXPECT_EQ(bar_->titleBarWidget(), nullptr);  // the gripper is the bar's own caption
  EXPECT_EQ(bar_->ShownPage(), -1);
  EXPECT_EQ(bar_->PageCount(), 0);
}

TEST_F(CDockPageBarTest, WithoutGripperHasNoCaption) {
  MakeSideBar();
  auto* bare = new CDockPageBar("DockPageBar", frame_.get(), QSize(300, 0), false, 12340);
  bare->DockAt(Qt::RightDockWidgetArea);
  Show();
  EXPECT_EQ(bare->objectName(), "12340");
  ASSERT_NE(bare->titleBarWidget(), nullptr);
  EXPECT_EQ(bare->widget()->y(), 0);
  EXPECT_GT(bar_->widget()->y(), 10);  // the side bar's caption
}

TEST_F(CDockPageBarTest, EmptyBarShowsNothing) {
  MakeSideBar();
  ShownRecorder shown(bar_);
  bar_->ShowPage(0);
  EXPECT_EQ(bar_->ShownPage(), -1);
  EXPECT_EQ(bar_->Page(0), nullptr);
  EXPECT_EQ(bar_->PageTitle(0), QString());
  EXPECT_TRUE(shown.shown.empty());
}

TEST_F(CDockPageBarTest, OnePageIsShownWithoutPageButtons) {
  MakeSideBar();
  ShownRecorder shown(bar_);
  QWidget* page = AddPage(u"文件属性");
  Show();
  EXPECT_EQ(bar_->ShownPage(), 0);
  EXPECT_TRUE(page->isVisible());
  EXPECT_TRUE(bar_->isAncestorOf(page));
  EXPECT_EQ(bar_->windowTitle(), Text(u"文件属性"));
  EXPECT_EQ(bar_->accessibleName(), Text(u"文件属性"));
  EXPECT_FALSE(Strip()->isVisible());
  ASSERT_EQ(shown.shown.size(), 1);
  EXPECT_EQ(shown.shown[0], 0);
  // With no strip the page fills the whole client area.
  EXPECT_EQ(page->size(), bar_->widget()->size());
}

TEST_F(CDockPageBarTest, ThreePagesShowTheirButtonsAndTheFirstPage) {
  MakeSideBar();
  AddThreePages();
  Show();
  EXPECT_EQ(bar_->PageCount(), 3);
  EXPECT_EQ(PagesVisible(), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(Strip()->isVisible());
  const char16_t* titles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(Button(i), nullptr) << i;
    EXPECT_EQ(Button(i)->text(), Text(titles[i]));
    EXPECT_EQ(Button(i)->accessibleName(), Text(titles[i]));
    EXPECT_EQ(Button(i)->isChecked(), i == 0) << i;
    EXPECT_EQ(bar_->PageTitle(i), Text(titles[i]));
    EXPECT_EQ(bar_->Page(i), pages_[i]);
  }
  // The page area is the client area less the 27-pixel strip.
  EXPECT_EQ(Strip()->height(), 27);
  EXPECT_EQ(pages_[0]->height(), bar_->widget()->height() - 27);
  EXPECT_EQ(pages_[0]->width(), bar_->widget()->width());
}

TEST_F(CDockPageBarTest, ShowPageSwitchesPageTitleAndButton) {
  MakeSideBar();
  AddThreePages();
  Show();
  ShownRecorder shown(bar_);
  bar_->ShowPage(2);
  EXPECT_EQ(bar_->ShownPage(), 2);
  EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(bar_->windowTitle(), Text(u"新闻搜索"));
  EXPECT_EQ(bar_->accessibleName(), Text(u"新闻搜索"));
  EXPECT_FALSE(Button(0)->isChecked());
  EXPECT_TRUE(Button(2)->isChecked());
  ASSERT_EQ(shown.shown.size(), 1);
  EXPECT_EQ(shown.shown[0], 2);
}

TEST_F(CDockPageBarTest, ShowingTheShownPageChangesNothing) {
  MakeSideBar();
  AddThreePages();
  Show();
  bar_->ShowPage(2);
  QApplication::processEvents();
  ShownRecorder shown(bar_);
  EventCounter events(bar_);
  bar_->ShowPage(2);
  QApplication::processEvents();
  EXPECT_TRUE(shown.shown.empty());
  EXPECT_EQ(events.paints, 0);
  EXPECT_EQ(events.title_changes, 0);
  EXPECT_EQ(bar_->windowTitle(), Text(u"新闻搜索"));
  EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false, true}));
}

TEST_F(CDockPageBarTest, ShowPageOutOfRangeDoesNothing) {
  MakeSideBar();
  AddThreePages();
  Show();
  ShownRecorder shown(bar_);
  for (int index : {7, -1, 3}) {
    bar_->ShowPage(index);
    EXPECT_EQ(bar_->ShownPage(), 0) << index;
    EXPECT_EQ(bar_->windowTitle(), Text(u"桌面搜索")) << index;
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{true, false, false})) << index;
  }
  EXPECT_TRUE(shown.shown.empty());
  EXPECT_EQ(bar_->Page(7), nullptr);
  EXPECT_EQ(bar_->Page(-1), nullptr);
  EXPECT_EQ(bar_->PageTitle(7), QString());
}

TEST_F(CDockPageBarTest, ClickingAPageButtonShowsItsPage) {
  MakeSideBar();
  AddThreePages();
  Show();
  ShownRecorder shown(bar_);
  Button(1)->click();
  EXPECT_EQ(bar_->ShownPage(), 1);
  EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(bar_->windowTitle(), Text(u"网页搜索"));
  EXPECT_EQ(shown.shown.size(), 1);
  // A click on the shown page's button leaves it checked and shows nothing new.
  Button(1)->click();
  EXPECT_TRUE(Button(1)->isChecked());
  EXPECT_FALSE(Button(0)->isChecked());
  EXPECT_EQ(shown.shown.size(), 1);
}

TEST_F(CDockPageBarTest, SideBarStartsAtItsDefaultWidth) {
  MakeSideBar();
  AddThreePages();
  Show();
  EXPECT_EQ(bar_->width(), 300);
}

TEST_F(CDockPageBarTest, DetailsBarStartsAtItsDefaultHeight) {
  bar_ = new CDockPageBar("DockPageBar", frame_.get(), QSize(230, 160), true, 12340);
  bar_->DockAt(Qt::BottomDockWidgetArea);
  AddPage(u"文件属性");
  Show();
  EXPECT_EQ(frame_->dockWidgetArea(bar_), Qt::BottomDockWidgetArea);
  EXPECT_EQ(bar_->height(), 160);
}

TEST_F(CDockPageBarTest, NarrowStripKeepsOnlyTheShownTitle) {
  MakeSideBar();
  const char16_t* titles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索", u"文档搜索",
                              u"音乐搜索", u"教育搜索", u"软件搜索", u"出行搜索"};
  for (const char16_t* title : titles) AddPage(title, SquareIcon());
  Show();
  bar_->ShowPage(3);
  for (int i = 0; i < 8; ++i) {
    const Qt::ToolButtonStyle expected =
        i == 3 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly;
    EXPECT_EQ(Button(i)->toolButtonStyle(), expected) << i;
    EXPECT_EQ(Button(i)->accessibleName(), Text(titles[i])) << i;
    EXPECT_EQ(Button(i)->toolTip(), Text(titles[i])) << i;
  }
  EXPECT_LE(Button(7)->geometry().right(), Strip()->width());
  EXPECT_EQ(bar_->width(), 300);  // the buttons do not widen the bar
}

struct TakeCase {
  int shown_before;
  int take;
  const char16_t* taken;  // nullptr: nothing taken
  int shown_after;
  const char16_t* shown_title;
};

class CDockPageBarTakeTest : public CDockPageBarTest,
                             public ::testing::WithParamInterface<TakeCase> {};

TEST_P(CDockPageBarTakeTest, TakesThePageAndKeepsAPageShown) {
  const TakeCase& c = GetParam();
  MakeSideBar();
  AddThreePages();
  Show();
  bar_->ShowPage(c.shown_before);
  const CDockPageBar::PageEntry page = bar_->TakePage(c.take);
  if (c.taken == nullptr) {
    EXPECT_EQ(page.window, nullptr);
    EXPECT_EQ(bar_->PageCount(), 3);
  } else {
    ASSERT_NE(page.window, nullptr);
    EXPECT_EQ(page.title, Text(c.taken));
    EXPECT_EQ(page.window->parent(), nullptr);
    EXPECT_FALSE(page.window->isVisible());
    EXPECT_EQ(bar_->PageCount(), 2);
    delete page.window;
  }
  EXPECT_EQ(bar_->ShownPage(), c.shown_after);
  EXPECT_EQ(bar_->windowTitle(), Text(c.shown_title));
  EXPECT_TRUE(bar_->Page(c.shown_after)->isVisible());
  EXPECT_TRUE(Button(c.shown_after)->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CDockPageBarTakeTest,
    ::testing::Values(TakeCase{0, 0, u"桌面搜索", 0, u"网页搜索"},  // the next page moves up
                      TakeCase{2, 2, u"新闻搜索", 1, u"网页搜索"},  // the last: the one before
                      TakeCase{2, 0, u"桌面搜索", 1, u"新闻搜索"},  // before the shown page
                      TakeCase{0, 2, u"新闻搜索", 0, u"桌面搜索"},  // after the shown page
                      TakeCase{1, 3, nullptr, 1, u"网页搜索"},      // no such page
                      TakeCase{1, -1, nullptr, 1, u"网页搜索"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(CDockPageBarTest, TakingPagesRenumbersTheButtonsAndDropsTheStrip) {
  MakeSideBar();
  AddThreePages();
  Show();
  delete bar_->TakePage(0).window;
  EXPECT_EQ(Button(0)->text(), Text(u"网页搜索"));
  EXPECT_EQ(Button(1)->text(), Text(u"新闻搜索"));
  Button(1)->click();
  EXPECT_EQ(bar_->ShownPage(), 1);
  EXPECT_EQ(bar_->windowTitle(), Text(u"新闻搜索"));
  delete bar_->TakePage(0).window;
  QApplication::processEvents();
  EXPECT_FALSE(Strip()->isVisible());  // one page left: no page buttons
  EXPECT_EQ(bar_->ShownPage(), 0);
}

TEST_F(CDockPageBarTest, TakeAllAndPutBackShowOnlyTheChosenPage) {
  MakeSideBar();
  AddThreePages();
  Show();
  bar_->ShowPage(1);
  ShownRecorder shown(bar_);
  std::vector<CDockPageBar::PageEntry> pages = bar_->TakeAllPages();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[2].title, Text(u"新闻搜索"));
  EXPECT_EQ(bar_->PageCount(), 0);
  EXPECT_EQ(bar_->ShownPage(), -1);
  EXPECT_TRUE(shown.shown.empty());
  bar_->PutBackPages(std::move(pages), 2);
  EXPECT_EQ(shown.shown, (std::vector<int>{2}));
  EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(bar_->Page(0), pages_[0]);
}

class CDockPageBarDragTest : public CDockPageBarTest {
 protected:
  void SetUp() override {
    CDockPageBarTest::SetUp();
    MakeSideBar();
    pages_ = {AddPage(u"桌面搜索"), AddPage(u"网页搜索", icon_), AddPage(u"新闻搜索")};
    Show();
  }
  // Presses page button `index`, drags it and lets go at `target` (frame coordinates).
  void Drag(int index, QPoint target) {
    QToolButton* button = Button(index);
    const QPoint start = button->rect().center();
    QTest::mousePress(button, Qt::LeftButton, {}, start);
    QTest::mouseMove(button, start + QPoint(0, -QApplication::startDragDistance() - 4));
    const QPoint end = button->mapFromGlobal(frame_->mapToGlobal(target));
    QTest::mouseMove(button, end);
    QTest::mouseRelease(button, Qt::LeftButton, {}, end);
    QApplication::processEvents();
  }
  CDockPageBar* NewBar() { return frame_->findChild<CDockPageBar*>("12345"); }

  QIcon icon_ = SquareIcon();
};

TEST_F(CDockPageBarDragTest, DraggedOutAPageMovesIntoANewBar) {
  Drag(1, QPoint(880, 300));  // near the frame's right side
  CDockPageBar* bar = NewBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(frame_->dockWidgetArea(bar), Qt::RightDockWidgetArea);
  EXPECT_FALSE(bar->isFloating());
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->allowedAreas(), Qt::AllDockWidgetAreas);
  ASSERT_EQ(bar->PageCount(), 1);
  EXPECT_EQ(bar->Page(0), pages_[1]);
  EXPECT_EQ(bar->PageTitle(0), Text(u"网页搜索"));
  EXPECT_EQ(bar->PageIcon(0).cacheKey(), icon_.cacheKey());
  EXPECT_EQ(bar->windowTitle(), Text(u"网页搜索"));  // the text of the page it shows
  EXPECT_TRUE(pages_[1]->isVisible());
  EXPECT_TRUE(bar->isAncestorOf(pages_[1]));
  // The old bar lost the page and still shows its first one.
  ASSERT_EQ(bar_->PageCount(), 2);
  EXPECT_EQ(bar_->Page(1), pages_[2]);
  EXPECT_EQ(bar_->ShownPage(), 0);
  EXPECT_EQ(Button(1)->text(), Text(u"新闻搜索"));
  EXPECT_EQ(Button(2), nullptr);
}

TEST_F(CDockPageBarDragTest, DroppedOutsideTheFrameTheNewBarFloats) {
  Drag(2, QPoint(1200, 300));
  CDockPageBar* bar = NewBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isFloating());
  EXPECT_EQ(bar->Page(0), pages_[2]);
  EXPECT_EQ(bar_->PageCount(), 2);
}

TEST_F(CDockPageBarDragTest, ADragThatEndsInsideTheBarMovesNothing) {
  ShownRecorder shown(bar_);
  Drag(1, bar_->geometry().center());
  EXPECT_EQ(NewBar(), nullptr);
  EXPECT_EQ(bar_->PageCount(), 3);
  EXPECT_TRUE(shown.shown.empty());  // and it is no click either
  EXPECT_FALSE(Button(1)->isDown());
}

TEST_F(CDockPageBarDragTest, AShortMoveIsStillAClick) {
  QToolButton* button = Button(2);
  const QPoint start = button->rect().center();
  QTest::mousePress(button, Qt::LeftButton, {}, start);
  QTest::mouseMove(button, start + QPoint(1, 0));
  QTest::mouseRelease(button, Qt::LeftButton, {}, start + QPoint(1, 0));
  EXPECT_EQ(bar_->ShownPage(), 2);
  EXPECT_EQ(NewBar(), nullptr);
}

}  // namespace
}  // namespace jollix
