// The desktop search form (dialog 134): the file types of the chosen tab, name words, content
// words, folder, time range and size, and the search button. It reads its controls into the
// fields of a query and leaves everything else to DesktopSearch, which checks them, hands them
// to the engine and runs the search on its worker.
#pragma once

#include <QWidget>
#include <memory>

#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/Shell.h"
#include "common/StatusLine.h"
#include "desktop/DesktopSearch.h"
#include "desktop/QueryRules.h"
#include "desktop/SearchServer.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace jollix {

class RelayedStatusLine;
class QtSearchButtonText;

class CFileSearchDialog : public QWidget {
  Q_OBJECT

 public:
  // The references must outlive the form. status is called on the user-interface thread only.
  CFileSearchDialog(SearchServer& engine, Prompter& prompter, Shell& shell, StatusLine& status,
                    QWidget* parent = nullptr);
  // Cancels a running search and waits for its worker.
  ~CFileSearchDialog() override;

  // The desktop page of the result view; see DesktopSearch::SetPage.
  void SetPage(ResultPage* page);
  void SetFolder(const QString& folder);
  // Leaves the search button (and Enter in the fields) without effect for the rest of the run.
  void DisableSearchButton();

  // The tab handling: the tab's index becomes the class; the file-type list shows the rows of
  // the tab, all checked, and "全选" is set. Ends the process with -4 (after a message) when
  // index/FileType.txt cannot be opened for a tab 1..4.
  void ShowTab(int tab);
  int Class() const { return class_; }

  // The fields as the controls hold them now.
  FileSearchFields Fields() const;
  DesktopSearch& Search() { return *search_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTypeControls();
  void CreateTextFields();
  void CreateRangeControls();
  void CreateSearchButton();
  void CheckAllRows(bool checked);
  void PickFolder();
  void StartSearch();

  Prompter& prompter_;
  Shell& shell_;
  int class_ = 0;

  QRadioButton* select_all_;
  QRadioButton* select_none_;
  QTreeWidget* types_;
  QLineEdit* name_words_;
  QCheckBox* pinyin_;  // name words may also match as pinyin; off at start
  QLineEdit* content_words_;
  QLineEdit* folder_;
  QPushButton* browse_;
  QDateTimeEdit* time_from_;
  QDateTimeEdit* time_to_;
  QComboBox* size_;
  QComboBox* date_kind_;
  QPushButton* search_button_;

  // Declared before search_, so that they outlive its worker.
  std::unique_ptr<RelayedStatusLine> status_;
  std::unique_ptr<QtSearchButtonText> button_text_;
  std::unique_ptr<DesktopSearch> search_;
};

}  // namespace jollix
