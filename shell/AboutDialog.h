// The About dialog of the main window.
#pragma once

#include <QDialog>

namespace jollix {

class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace jollix
