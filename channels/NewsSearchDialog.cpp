#include "channels/NewsSearchDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

CNewsSearchDialog::CNewsSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(news_, context, parent) {
  setObjectName("147");
  QVBoxLayout* group = CreateChannelGroup(this, u"互联网新闻搜索", "news_group");
  query_ = AddQueryField(group, u"查询关键词：", "query");
  search_ = AddDefaultButton(group, u"Jollix新闻搜索", "search");
  FinishGroup(group);
  connect(search_, &QPushButton::clicked, this, [this] { Search(); });
}

void CNewsSearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
}

void CNewsSearchDialog::showEvent(QShowEvent* event) {
  ChannelPane::showEvent(event);
  query_->setFocus();
}

}  // namespace jollix
