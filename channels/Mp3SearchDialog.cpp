#include "channels/Mp3SearchDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

CMp3SearchDialog::CMp3SearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(music_, context, parent) {
  setObjectName("132");
  QVBoxLayout* group = CreateChannelGroup(this, u"互联网音乐搜索", "mp3_group");
  query_ = AddQueryField(group, u"搜索关键词：", "1011");
  std::vector<QRadioButton*> formats = AddChoiceButtons(
      group, u"音乐格式：", "mp3_formats",
      {{u"全部音乐", "1047"}, {u"mp3文件", "1054"}, {u"rm文件", "1055"}, {u"wma文件", "1056"}});
  std::copy(formats.begin(), formats.end(), formats_.begin());
  search_ = AddDefaultButton(group, u"Jollix音乐搜索", "1039");
  FinishGroup(group);
  connect(search_, &QPushButton::clicked, this, [this] { Search(); });
}

int CMp3SearchDialog::FormatChoice() const {
  for (size_t i = 0; i < formats_.size(); ++i) {
    if (formats_[i]->isChecked()) return static_cast<int>(i) - 1;
  }
  return -1;  // not reached: one of the exclusive buttons is always checked
}

void CMp3SearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
  form->format = FormatChoice();
}

void CMp3SearchDialog::showEvent(QShowEvent* event) {
  ChannelPane::showEvent(event);
  query_->setFocus();
}

}  // namespace jollix
