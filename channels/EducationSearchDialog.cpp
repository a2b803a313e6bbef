#include "channels/EducationSearchDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "channels/ChannelFormParts.h"
#include "channels/FormTabs.h"
#include "common/QtPrompter.h"

namespace jollix {

CEducationSearchDialog::CEducationSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(education_, context, parent) {
  setObjectName("144");
  QVBoxLayout* layout = CreateChannelGroup(this, u"教育搜索", "education_group");
  const char* texts[kEducationTabCount];
  for (int i = 0; i < kEducationTabCount; ++i) texts[i] = kEducationTabs[i].text;
  tabs_ = AddFormTabs(layout, "education_tabs", QString::fromUtf16(u"教育搜索的来源"), texts,
                      kEducationTabCount);
  query_ = AddQueryField(layout, QString::fromUtf16(u"查询关键词："), "education_query",
                         "education_label", nullptr);
  QPushButton* search = AddDefaultButton(layout, u"Jollix教育搜索", "1");
  FinishGroup(layout);
  connect(search, &QPushButton::clicked, this, [this] { Search(); });
  connect(tabs_, &QTabBar::currentChanged, this, &CEducationSearchDialog::OnTabChanged);
}

bool CEducationSearchDialog::SelectTab(int tab) {
  if (tab < 0 || tab >= kEducationTabCount) return false;
  tabs_->setCurrentIndex(tab);  // signals currentChanged only when the selection changes
  return true;
}

int CEducationSearchDialog::SelectedTab() const { return tabs_->currentIndex(); }

void CEducationSearchDialog::OnTabChanged(int tab) {
  if (tab < 0 || tab >= kEducationTabCount) return;
  RunCommand(kEducationTabs[tab].command);
}

void CEducationSearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
  form->tab = SelectedTab();
}

}  // namespace jollix
