#include "channels/SoftwareSearchDialog.h"

#include "channels/ChannelFormParts.h"

namespace jollix {

CSoftwareSearchDialog::CSoftwareSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(software_, context, parent) {
  setObjectName("145");
  QVBoxLayout* layout = CreateChannelGroup(this, u"软件搜索", "software_group");
  query_ = AddQueryField(layout, FormText(u"软件中包含的字符："), "1011", "software_label");
  AddSearchButton(layout, u"Jollix软件搜索", "1");
}

}  // namespace jollix
