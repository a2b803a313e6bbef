// The common part of the web channels' side-bar forms: a form holds one channel's fields, runs
// the channel's search action with them (its button, Enter in a field, and the main window's
// previous-page and next-page commands), keeps the list it filled last between searches, and
// swallows Escape, which must never close a form that lives in the side bar.
//
// A form reads its controls into the SearchForm (ReadFields) and shows nothing the channel
// computes beyond what the ports show: the rows, the status texts, the messages.
#pragma once

#include <QWidget>
#include <functional>

#include "channels/SearchAction.h"

class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace jollix {

// The ports of the web searches and the main window's command runner: the travel and education
// forms switch the result view by running the main window's channel commands (by menu id).
struct ChannelContext {
  SearchPorts ports;
  std::function<void(int command)> run_command;
};

class ChannelPane : public QWidget {
  Q_OBJECT

 public:
  // channel and the ports outlive the form.
  ChannelPane(Channel& channel, const ChannelContext& context, QWidget* parent = nullptr);

  // The search action with the fields as they stand. Blocks while the page downloads; the
  // window goes on painting meanwhile (PageFetcher's wait hook), but takes no input.
  SearchOutcome Search();

  // The list this form filled last, or null before its first search that showed rows.
  ResultPage* CurrentList() const { return form_.current_list; }

  // The form's query field (the travel form's first field) and its search button.
  QLineEdit* QueryField() const { return query_; }
  QPushButton* SearchButton() const { return search_; }

 protected:
  // Copies the controls into the form's fields (query, second query, type, format, tab). This
  // one copies the query field; a form with more controls adds theirs after calling it.
  virtual void ReadFields(SearchForm* form);

  // Ends the form's group (ChannelFormParts.h) with the search button, which runs Search, and
  // the empty space below it.
  void AddSearchButton(QVBoxLayout* group, const char16_t* text, const char* button_id);

  // Runs a command of the main window, when the form was given a runner.
  void RunCommand(int command) const;

  void keyPressEvent(QKeyEvent* event) override;

  Channel& channel_;
  ChannelContext context_;
  QLineEdit* query_ = nullptr;  // set by the form when it builds the field

 private:
  SearchForm form_;
  QPushButton* search_ = nullptr;
};

}  // namespace jollix
