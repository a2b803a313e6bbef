// The mail search form (dialog 136): created inside the desktop pane's tab control but never
// shown; its fields take text and its only button, "Jollix邮件搜索(建设中)", is disabled.
#pragma once

#include <QWidget>

namespace jollix {

class CMailSearchDialog : public QWidget {
  Q_OBJECT

 public:
  explicit CMailSearchDialog(QWidget* parent = nullptr);
};

}  // namespace jollix
