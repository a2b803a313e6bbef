#include "channels/DocSearchDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

CDocSearchDialog::CDocSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(docs_, context, parent) {
  setObjectName("131");
  QVBoxLayout* group = CreateChannelGroup(this, u"互联网文档搜索", "doc_group");
  query_ = AddQueryField(group, u"搜索关键词：", "query");
  std::vector<QRadioButton*> types = AddChoiceButtons(group, u"文档格式：", "doc_types",
                                                      {{u"所有文档", "type0"},
                                                       {u"WORD文档", "type1"},
                                                       {u"PDF文档", "type2"},
                                                       {u"EXCEL文档", "type3"},
                                                       {u"PPT文档", "type4"},
                                                       {u"RTF文档", "type5"}});
  std::copy(types.begin(), types.end(), types_.begin());
  search_ = AddDefaultButton(group, u"Jollix文档搜索", "search");
  FinishGroup(group);
  connect(search_, &QPushButton::clicked, this, [this] { Search(); });
}

void CDocSearchDialog::SetEngineBoxes(bool google) {
  if (google) {
    types_[1]->setChecked(true);
    types_[0]->hide();
    return;
  }
  types_[0]->show();
  types_[0]->setChecked(true);  // the buttons are exclusive: "WORD文档" is unchecked with it
}

int CDocSearchDialog::FileTypeChoice() const {
  for (int choice = 0; choice < kFileTypeCount; ++choice) {
    if (types_[choice]->isChecked()) return choice;
  }
  return 0;  // not reached: one of the exclusive buttons is always checked
}

void CDocSearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
  form->file_type = FileTypeChoice();
}

void CDocSearchDialog::showEvent(QShowEvent* event) {
  ChannelPane::showEvent(event);
  query_->setFocus();
}

}  // namespace jollix
