// The software pane (dialog 145) of the side bar: a group box "软件搜索" holding the query
// field 1011, captioned "软件中包含的字符：", and the default button 1 "Jollix软件搜索". The
// engine is the selected tab of the result view (天空下载, 华军下载, 新浪下载), whose page
// receives the rows.
#pragma once

#include "channels/ChannelPane.h"
#include "channels/SoftwareSearch.h"

namespace jollix {

class CSoftwareSearchDialog : public ChannelPane {
  Q_OBJECT

 public:
  // context's ports (the result view among them) outlive the form.
  explicit CSoftwareSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

 private:
  // The base holds a reference to it, bound before it is built and used only after.
  SoftwareChannel software_;
};

}  // namespace jollix
