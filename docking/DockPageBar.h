// A dockable, resizable bar that holds pages: the main window's side bar of channel forms and the
// details bar below the result tabs. The bar shows one page at a time in its client area; its
// window text (title, caption and accessible name) is the shown page's title. Once the bar holds
// two or more pages, a strip of page buttons along its bottom edge switches between them.
//
// A page is any widget. AddPage takes it over: the bar becomes its parent (through its client
// area) and owns it from then on. Pages are kept in the order they were added and are addressed by
// that index. The bar may dock on any side of its frame and float; its close button hides it.
//
// Pages can leave a bar with their title and icon: a page button dragged beyond the start-drag
// distance and released outside the bar moves its page into a new bar ("New Bar", id 12345) docked
// at the side of the frame nearest to the drop point, or floating there when the point lies outside
// the frame. In an auto-hide frame (CAutoHideFrame) a bar with a caption also has a pin next to its
// float and close buttons (objectName "pin") that collapses the bar to the strip of its side.
#pragma once

#include <QDockWidget>
#include <QIcon>
#include <QString>
#include <vector>

class QMainWindow;
class QStackedLayout;
class QToolButton;

namespace jollix {

class CPageButtonStrip;

class CDockPageBar : public QDockWidget {
  Q_OBJECT

 public:
  // A page with what the bar knows of it.
  struct PageEntry {
    QWidget* window = nullptr;
    QString title;
    QIcon icon;
  };

  // The control id of a bar made for a page dragged out of another bar.
  static constexpr int kNewBarId = 12345;

  // Creates the bar for `frame` with the window text `text` and the objectName `id` ("1231").
  // The bar is not docked yet: call DockAt. `default_size` is the size the bar starts with: its
  // width when docked on the left or right, its height when docked on the top or bottom, both
  // when floating; a component of 0 leaves that extent to the frame. Without `gripper` the bar has
  // no caption (and so no close button).
  CDockPageBar(const QString& text, QMainWindow* frame, QSize default_size, bool gripper, int id);

  // Docks the bar in `area` of its frame and gives it its default extent across that side.
  void DockAt(Qt::DockWidgetArea area);

  // Appends `page` (not null, not yet in a bar) with its title and optional icon, hidden; shows it
  // when it is the first page. Its page button appears once the bar holds two pages.
  void AddPage(QWidget* page, const QString& title, const QIcon& icon = {});

  // Shows the page at `index`, hiding the one shown before, makes its title the bar's window text
  // and checks its page button; emits pageShown. Does nothing at all when `index` is the shown page
  // or names no page.
  void ShowPage(int index);

  // Takes the page at `index` out of the bar: the page is hidden, has no parent and belongs to the
  // caller. The pages after it move up one index. When it was the shown page, the page that takes
  // its index (else the one before it) is shown; with no page left nothing is shown. An empty
  // entry (window nullptr) when there is no such page.
  PageEntry TakePage(int index);
  // Takes every page out, in order, without showing any other page on the way (no pageShown).
  std::vector<PageEntry> TakeAllPages();
  // Appends `pages` (as AddPage does, but showing no page on the way) and then shows `shown`, or
  // page 0 when `shown` names none of the bar's pages.
  void PutBackPages(std::vector<PageEntry> pages, int shown);

  // Moves the page at `index` into a new bar "New Bar" (id 12345) with this bar's default size,
  // docked at the side of the frame nearest to `global_drop` (screen coordinates), or floating
  // there when the point lies outside the frame. The new bar shows the page, so its window text
  // becomes the page's title. Returns the new bar (owned by the frame), nullptr when there is no
  // such page.
  CDockPageBar* MovePageToNewBar(int index, const QPoint& global_drop);

  // Shows the caption's pin where it can collapse the bar (a captioned bar docked in an auto-hide
  // frame on a side with a strip) and places it left of the float button. The bar calls it when
  // it docks, floats or resizes; an auto-hide frame calls it when it enables docking.
  void UpdateCaptionButtons();

  int ShownPage() const { return shown_; }  // -1 while the bar holds no page
  int PageCount() const { return static_cast<int>(pages_.size()); }
  QWidget* Page(int index) const;      // nullptr when there is no such page
  QString PageTitle(int index) const;  // empty when there is no such page
  QIcon PageIcon(int index) const;     // null when there is no such page or it has no icon
  QSize DefaultSize() const { return default_size_; }

 signals:
  // The shown page changed to `index` (by ShowPage or a click on a page button).
  void pageShown(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateClient();
  void CreateGripper(bool gripper);
  void CreatePin();
  void AppendPage(const PageEntry& page);
  // A page button was dragged and released at `global_pos`: outside the bar the page moves out.
  void PageButtonDragged(int index, const QPoint& global_pos);
  void SetText(const QString& text);
  bool HasPage(int index) const { return index >= 0 && index < PageCount(); }

  QMainWindow* frame_;
  QSize default_size_;
  std::vector<PageEntry> pages_;
  int shown_ = -1;
  QStackedLayout* stack_ = nullptr;
  CPageButtonStrip* strip_ = nullptr;
  QToolButton* pin_ = nullptr;
};

}  // namespace jollix
