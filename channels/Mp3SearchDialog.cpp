#include "channels/Mp3SearchDialog.h"

#include <QRadioButton>
#include <algorithm>

#include "channels/ChannelFormParts.h"

namespace jollix {

CMp3SearchDialog::CMp3SearchDialog(const ChannelContext& context, QWidget* parent)
    : QueryFormPane(music_, context,
                    {"132", u"互联网音乐搜索", "mp3_group", u"搜索关键词：", "1011"}, parent) {
  std::vector<QRadioButton*> formats = AddChoiceButtons(
      Group(), u"音乐格式：", "mp3_formats",
      {{u"全部音乐", "1047"}, {u"mp3文件", "1054"}, {u"rm文件", "1055"}, {u"wma文件", "1056"}});
  std::copy(formats.begin(), formats.end(), formats_.begin());
  AddSearchButton(Group(), u"Jollix音乐搜索", "1039");
}

int CMp3SearchDialog::FormatChoice() const {
  for (size_t i = 0; i < formats_.size(); ++i) {
    if (formats_[i]->isChecked()) return static_cast<int>(i) - 1;
  }
  return -1;  // not reached: one of the exclusive buttons is always checked
}

void CMp3SearchDialog::ReadFields(SearchForm* form) {
  QueryFormPane::ReadFields(form);
  form->format = FormatChoice();
}

}  // namespace jollix
