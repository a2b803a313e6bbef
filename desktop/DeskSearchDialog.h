// The desktop pane (dialog 130) of the side bar: a group box "桌面搜索" with a tab control of
// five tabs ("所有", "文本", "图片", "音视频", "可执行"; a tab's index is the class it searches)
// over the search form, and the mail form that is never shown. Creating the pane creates the
// query engine, which loads the index from the current folder (the installation folder).
//
// The pane does not ask the no-index question itself: its owner reads IndexUnavailable() after
// creating it, asks, and calls DisableSearchButton() on No. An unavailable index leaves the
// search button without effect in any case.
#pragma once

#include <QWidget>
#include <memory>

#include "common/IconList.h"
#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/Shell.h"
#include "common/StatusLine.h"
#include "desktop/SearchServer.h"

class QTabBar;

namespace jollix {

class CFileSearchDialog;
class CMailSearchDialog;

class CDeskSearchDialog : public QWidget {
  Q_OBJECT

 public:
  // The references must outlive the pane. status is called on the user-interface thread only.
  CDeskSearchDialog(Prompter& prompter, Shell& shell, StatusLine& status, IconList& icons,
                    QWidget* parent = nullptr);
  // Cancels a running search and waits for its worker.
  ~CDeskSearchDialog() override;

  SearchServer& Engine() { return *engine_; }
  bool IndexUnavailable() const { return engine_->IndexUnavailable(); }
  void DisableSearchButton();
  // The desktop page of the result view, which the search's worker fills: it must be safe to
  // fill from another thread and outlive the pane.
  void SetDesktopPage(ResultPage* page);
  // The folder field of the form (the folder the program was started with).
  void SetFolder(const QString& folder);
  // Stops a running search and waits for its worker (DesktopSearch::Stop): for the window's
  // end, before the result page that the worker fills is destroyed.
  void StopSearch();

  // Selects a tab as a click on it does; the tab handling runs only when the selection
  // changes. False for an index outside 0..4.
  bool SelectTab(int tab);
  int SelectedTab() const;

  CFileSearchDialog& FileForm() { return *file_form_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateTabs();
  void OnTabChanged(int tab);

  std::unique_ptr<SearchServer> engine_;  // before the forms, which use it
  QTabBar* tabs_;
  CFileSearchDialog* file_form_;
  CMailSearchDialog* mail_form_;
};

}  // namespace jollix
