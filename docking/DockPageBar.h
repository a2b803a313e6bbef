// A dockable, resizable bar that holds pages: the main window's side bar of channel forms and the
// details bar below the result tabs. The bar shows one page at a time in its client area; its
// window text (title, caption and accessible name) is the shown page's title. Once the bar holds
// two or more pages, a strip of page buttons along its bottom edge switches between them.
//
// A page is any widget. AddPage takes it over: the bar becomes its parent (through its client
// area) and owns it from then on. Pages are kept in the order they were added and are addressed by
// that index. The bar may dock on any side of its frame and float; its close button hides it.
//
// Later growth: a page button dragged out of the strip will move its page into a new bar ("New
// Bar", id 12345), and an auto-hide frame will collapse a bar's pages into a strip at the frame's
// edge; both take pages out of a bar, which is why every page keeps its title and icon here.
#pragma once

#include <QDockWidget>
#include <QIcon>
#include <QString>
#include <vector>

class QMainWindow;
class QStackedLayout;

namespace jollix {

class CPageButtonStrip;

class CDockPageBar : public QDockWidget {
  Q_OBJECT

 public:
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

  int ShownPage() const { return shown_; }  // -1 while the bar holds no page
  int PageCount() const { return static_cast<int>(pages_.size()); }
  QWidget* Page(int index) const;      // nullptr when there is no such page
  QString PageTitle(int index) const;  // empty when there is no such page
  QSize DefaultSize() const { return default_size_; }

 signals:
  // The shown page changed to `index` (by ShowPage or a click on a page button).
  void pageShown(int index);

 private:
  struct PageEntry {
    QWidget* window = nullptr;
    QString title;
    QIcon icon;
  };

  void CreateClient();
  void CreateGripper(bool gripper);
  void SetText(const QString& text);
  bool HasPage(int index) const { return index >= 0 && index < PageCount(); }

  QMainWindow* frame_;
  QSize default_size_;
  std::vector<PageEntry> pages_;
  int shown_ = -1;
  QStackedLayout* stack_ = nullptr;
  CPageButtonStrip* strip_ = nullptr;
};

}  // namespace jollix
