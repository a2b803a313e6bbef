// The travel pane (dialog 146) of the side bar: a group box "出行搜索" holding the form's own tab
// strip 1003 of the four kinds ("天气", "列车", "航班", "手机"), the first field 1050 with its
// caption 1048, the second field 1012 (arrival city) with its caption 1049, and the default
// button 1 "Jollix出行搜索". The form starts on tab 0 with both captions "查询关键词：" and both
// fields shown. The kind of search is the selected tab; the rows go to the page at the first
// result tab.
//
// A change of the selected tab, by a click or by SelectTab, first runs the main window's travel
// command of that kind (FormTabs.h), which puts up the kind's result tab, then sets the first
// caption and shows (trains, flights: captioned "达到城市：") or hides (weather, phone) the second
// caption and field. Selecting the tab already selected changes nothing; the weather command
// therefore calls HideSecondField itself.
//
// A phone search trims blanks from both ends of the first field's text before the number check.
#pragma once

#include "channels/ChannelPane.h"
#include "channels/TravelSearch.h"

class QLabel;
class QLineEdit;
class QTabBar;
class QVBoxLayout;

namespace jollix {

class CTripSearchDialog : public ChannelPane {
  Q_OBJECT

 public:
  // context's ports (the result view among them) outlive the form.
  explicit CTripSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

  // Selects a tab as a click on it does. False (nothing changes) for an index outside 0..3.
  bool SelectTab(int tab);
  int SelectedTab() const;

  // Hides the second caption and the second field (the weather search takes one word).
  void HideSecondField();

 protected:
  void ReadFields(SearchForm* form) override;

 private:
  void CreateFields(QVBoxLayout* layout);
  void OnTabChanged(int tab);

  // The base holds a reference to it, bound before it is built and used only after.
  TravelChannel travel_;
  QTabBar* tabs_ = nullptr;
  QLabel* first_caption_ = nullptr;  // of the first field, the base's query field
  QLabel* second_caption_ = nullptr;
  QLineEdit* second_ = nullptr;
};

}  // namespace jollix
