// CNewsSearchDialog: the news form of the side bar (dialog 147). A group "互联网新闻搜索" with
// the query field under "查询关键词：" and the button "Jollix新闻搜索".
//
// The button, and Enter anywhere in the form, run the news search with the engine of the
// selected result tab (0 Baidu news, 1 Google news; any other tab opens the Yahoo news search in
// the browser); Escape is swallowed. Showing the form puts the focus into the query field.
#pragma once

#include "channels/NewsSearch.h"
#include "channels/QueryFormPane.h"

namespace jollix {

class CNewsSearchDialog : public QueryFormPane {
  Q_OBJECT

 public:
  // context's ports must outlive the form.
  explicit CNewsSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

 private:
  // Constructed after the base, which only keeps a reference to it until a search runs.
  NewsChannel news_;
};

}  // namespace jollix
