// CResultTabView: the tab strip of result pages above the details list. It owns the 26 result
// pages (one per channel and engine, built once, in creation order, so page i is result type i);
// a channel command decides which of them are offered as tabs.
//
// A channel command calls, in this order: RemoveAllTabs, AddTabLabel for each of its labels,
// PlacePages with its pages, SelectPosition. A tab click by the user only changes the page
// shown; it never changes ResultType, which belongs to the channel commands.
#pragma once

#include <QWidget>
#include <vector>

#include "common/ResultTabs.h"
#include "results/ResultListContext.h"
#include "results/ResultTabArrays.h"

class QListWidget;
class QStackedWidget;
class QTabBar;

namespace jollix {

class CListResultView;

// The details list below the result tabs, for the frame to place on its "文件属性" page and to
// hand to the pages through ResultListContext::details. Its lines are written by the pages.
QListWidget* CreateDetailsList(QWidget* parent = nullptr);

class CResultTabView : public QWidget, public ResultTabs {
  Q_OBJECT

 public:
  // Builds the 26 pages and starts with the one label "Jollix桌面搜索" over the desktop page.
  // context (the details list in particular) is handed to every page.
  explicit CResultTabView(const ResultListContext& context, QWidget* parent = nullptr);

  // ResultTabs.
  int SelectedIndex() const override { return CurrentPosition(); }
  ResultPage* PageAt(int index) override;

  // The channel command's steps.
  void RemoveAllTabs();
  void AddTabLabel(const char* gbk);
  bool PlacePages(const std::vector<int>& pages);
  // False (and nothing changes) at or beyond the number of labels.
  bool SelectPosition(int position);
  int CurrentPosition() const { return arrays_.Current(); }
  // The page shown at a position below the number of labels, else null.
  CListResultView* PageAtPosition(int position) const;
  // The page of a result type (the master array), else null.
  CListResultView* Page(int type) const;

  const ResultTabArrays& Arrays() const { return arrays_; }
  QTabBar* TabBar() const { return tabs_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateTabBar();
  void CreatePages(const ResultListContext& context);
  void ShowCurrentPage();
  void OnTabChanged(int position);
  void ApplyColumnWidths();

  ResultTabArrays arrays_;
  QTabBar* tabs_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QWidget* blank_ = nullptr;  // shown while no tab is selected
  std::vector<CListResultView*> pages_;
};

}  // namespace jollix
