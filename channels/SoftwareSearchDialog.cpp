#include "channels/SoftwareSearchDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

CSoftwareSearchDialog::CSoftwareSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(software_, context, parent) {
  setObjectName("145");
  QVBoxLayout* layout = CreateChannelGroup(this, u"软件搜索", "software_group");
  query_ = AddQueryField(layout, QString::fromUtf16(u"软件中包含的字符："), "1011",
                         "software_label", nullptr);
  QPushButton* search = AddDefaultButton(layout, u"Jollix软件搜索", "1");
  FinishGroup(layout);
  connect(search, &QPushButton::clicked, this, [this] { Search(); });
}

void CSoftwareSearchDialog::ReadFields(SearchForm* form) {
  form->query = GbkFromQString(query_->text());
}

}  // namespace jollix
