#include "channels/DocSearchDialog.h"

#include <QRadioButton>
#include <algorithm>

#include "channels/ChannelFormParts.h"

namespace jollix {

CDocSearchDialog::CDocSearchDialog(const ChannelContext& context, QWidget* parent)
    : QueryFormPane(docs_, context,
                    {"131", u"互联网文档搜索", "doc_group", u"搜索关键词：", "query"}, parent) {
  std::vector<QRadioButton*> types = AddChoiceButtons(Group(), u"文档格式：", "doc_types",
                                                      {{u"所有文档", "type0"},
                                                       {u"WORD文档", "type1"},
                                                       {u"PDF文档", "type2"},
                                                       {u"EXCEL文档", "type3"},
                                                       {u"PPT文档", "type4"},
                                                       {u"RTF文档", "type5"}});
  std::copy(types.begin(), types.end(), types_.begin());
  AddSearchButton(Group(), u"Jollix文档搜索", "search");
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
  QueryFormPane::ReadFields(form);
  form->file_type = FileTypeChoice();
}

}  // namespace jollix
