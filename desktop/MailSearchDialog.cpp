#include "desktop/MailSearchDialog.h"

#include <QDateTime>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

#include "desktop/LocalDatePicker.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

template <typename Field>
Field* AddRow(QFormLayout* form, const char16_t* label, const char* name, Field* field) {
  field->setObjectName(name);
  field->setAccessibleName(Text(label));
  form->addRow(Text(label), field);
  return field;
}

}  // namespace

CMailSearchDialog::CMailSearchDialog(QWidget* parent) : QWidget(parent) {
  setObjectName("136");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->setRowWrapPolicy(QFormLayout::WrapLongRows);

  auto* folder = new QLineEdit(this);
  auto* browse = new QPushButton(QStringLiteral("..."), this);
  browse->setObjectName("mail_browse");
  browse->setAccessibleName(Text(u"浏览文件夹"));
  auto* folder_row = new QWidget(this);
  auto* folder_layout = new QHBoxLayout(folder_row);
  folder_layout->setContentsMargins(0, 0, 0, 0);
  folder_layout->addWidget(folder, 1);
  folder_layout->addWidget(browse);
  folder->setObjectName("mail_folder");
  folder->setAccessibleName(Text(u"邮箱文件夹："));
  form->addRow(Text(u"邮箱文件夹："), folder_row);

  AddRow(form, u"发件人：", "mail_sender", new QLineEdit(this));
  AddRow(form, u"收件人：", "mail_recipient", new QLineEdit(this));
  AddRow(form, u"主题：", "mail_subject", new QLineEdit(this));
  AddRow(form, u"内容：", "mail_content", new QLineEdit(this));
  for (auto [label, name, value] :
       {std::tuple{u"从", "mail_from", qint64{0}},
        std::tuple{u"到", "mail_to", QDateTime::currentSecsSinceEpoch()}}) {
    AddRow(form, label, name, NewLocalDatePicker(name, value, this));
  }
  layout->addLayout(form);

  auto* search = new QPushButton(Text(u"Jollix邮件搜索(建设中)"), this);
  search->setObjectName("mail_search");
  search->setEnabled(false);
  layout->addWidget(search);
  layout->addStretch(1);
}

}  // namespace jollix
