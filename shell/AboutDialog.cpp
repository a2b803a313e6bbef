#include "shell/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ToolIcons.h"

namespace jollix {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("100");
  setWindowTitle(QString::fromUtf16(u"关于 Jollix超级搜索1.0"));
  auto* icon = new QLabel(this);
  icon->setPixmap(DrawnIcon(QColor(0x1E, 0x5A, 0xA8), QStringLiteral("J")).pixmap(32, 31));
  auto* name = new QLabel(QString::fromUtf16(u"Jollix超级搜索 V1.0"), this);
  auto* line = new QLabel(
      QString::fromUtf16(
          u"桌面文件搜索与中文网络元搜索：文件、网页、新闻、文档、音乐、软件、出行与教育。"),
      this);
  line->setWordWrap(true);
  auto* ok = new QPushButton(QString::fromUtf16(u"确定"), this);
  ok->setObjectName("1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(line);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ok, 0, Qt::AlignRight);
  setMinimumWidth(360);
}

}  // namespace jollix
