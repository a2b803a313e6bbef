#include "channels/PageSearchDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

CPageSearchDialog::CPageSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(web_, context, parent) {
  setObjectName("148");
  QVBoxLayout* group = CreateChannelGroup(this, u"网页搜索", "page_group");
  query_ = AddQueryField(group, u"查询关键词：", "query");
  search_ = AddDefaultButton(group, u"Jollix网页搜索", "search");
  FinishGroup(group);
  connect(search_, &QPushButton::clicked, this, [this] { Search(); });
}

void CPageSearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
}

void CPageSearchDialog::showEvent(QShowEvent* event) {
  ChannelPane::showEvent(event);
  query_->setFocus();
}

}  // namespace jollix
