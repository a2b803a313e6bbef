// The education pane (dialog 144) of the side bar: a group box "教育搜索" holding the form's own
// tab strip of sources ("论文", "国学", "成语", "词典"), the query field captioned "查询关键词："
// and the default button 1 "Jollix教育搜索". The engine is the selected tab of this strip; the
// rows go to the page at the first result tab.
//
// A change of the selected tab, by a click or by SelectTab, runs the main window's education
// command of that source (FormTabs.h), which puts up the source's result tab. Selecting the tab
// already selected runs nothing.
#pragma once

#include "channels/ChannelPane.h"
#include "channels/EducationSearch.h"

class QTabBar;

namespace jollix {

class CEducationSearchDialog : public ChannelPane {
  Q_OBJECT

 public:
  // context's ports (the result view among them) outlive the form.
  explicit CEducationSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

  // Selects a tab as a click on it does. False (nothing changes) for an index outside 0..3.
  bool SelectTab(int tab);
  int SelectedTab() const;

 protected:
  void ReadFields(SearchForm* form) override;

 private:
  void OnTabChanged(int tab);

  // The base holds a reference to it, bound before it is built and used only after.
  EducationChannel education_;
  QTabBar* tabs_ = nullptr;
};

}  // namespace jollix
