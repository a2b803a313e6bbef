#include "channels/NewsSearchDialog.h"

namespace jollix {

CNewsSearchDialog::CNewsSearchDialog(const ChannelContext& context, QWidget* parent)
    : QueryFormPane(news_, context,
                    {"147", u"互联网新闻搜索", "news_group", u"查询关键词：", "query"}, parent) {
  AddSearchButton(Group(), u"Jollix新闻搜索", "search");
}

}  // namespace jollix
