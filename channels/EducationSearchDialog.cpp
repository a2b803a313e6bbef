#include "channels/EducationSearchDialog.h"

#include <QTabBar>

#include "channels/ChannelFormParts.h"
#include "channels/FormTabs.h"

namespace jollix {

CEducationSearchDialog::CEducationSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(education_, context, parent) {
  setObjectName("144");
  QVBoxLayout* layout = CreateChannelGroup(this, u"教育搜索", "education_group");
  tabs_ = AddFormTabs(layout, "education_tabs", u"教育搜索的来源", kEducationTabs);
  query_ = AddQueryField(layout, FormText(u"查询关键词："), "education_query", "education_label");
  AddSearchButton(layout, u"Jollix教育搜索", "1");
  connect(tabs_, &QTabBar::currentChanged, this, &CEducationSearchDialog::OnTabChanged);
}

bool CEducationSearchDialog::SelectTab(int tab) { return SelectFormTab(tabs_, tab); }

int CEducationSearchDialog::SelectedTab() const { return tabs_->currentIndex(); }

void CEducationSearchDialog::OnTabChanged(int tab) {
  if (tab < 0 || tab >= kEducationTabCount) return;
  RunCommand(kEducationTabs[tab].command);
}

void CEducationSearchDialog::ReadFields(SearchForm* form) {
  ChannelPane::ReadFields(form);
  form->tab = SelectedTab();
}

}  // namespace jollix
