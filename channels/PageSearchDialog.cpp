#include "channels/PageSearchDialog.h"

namespace jollix {

CPageSearchDialog::CPageSearchDialog(const ChannelContext& context, QWidget* parent)
    : QueryFormPane(web_, context, {"148", u"网页搜索", "page_group", u"查询关键词：", "query"},
                    parent) {
  AddSearchButton(Group(), u"Jollix网页搜索", "search");
}

}  // namespace jollix
