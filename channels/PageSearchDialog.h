// CPageSearchDialog: the web page form of the side bar (dialog 148). A group "网页搜索" with the
// query field under "查询关键词：" and the button "Jollix网页搜索".
//
// The button, and Enter anywhere in the form, run the web page search with the engine of the
// selected result tab (0 Baidu, 1 Google, 2 Yahoo); Escape is swallowed. Showing the form puts
// the focus into the query field.
#pragma once

#include "channels/QueryFormPane.h"
#include "channels/WebPageSearch.h"

namespace jollix {

class CPageSearchDialog : public QueryFormPane {
  Q_OBJECT

 public:
  // context's ports must outlive the form.
  explicit CPageSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

 private:
  // Constructed after the base, which only keeps a reference to it until a search runs.
  WebPageChannel web_;
};

}  // namespace jollix
