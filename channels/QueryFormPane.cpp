#include "channels/QueryFormPane.h"

#include <QLineEdit>

#include "channels/ChannelFormParts.h"

namespace jollix {

QueryFormPane::QueryFormPane(Channel& channel, const ChannelContext& context,
                             const QueryFormTexts& texts, QWidget* parent)
    : ChannelPane(channel, context, parent) {
  setObjectName(texts.form_id);
  group_ = CreateChannelGroup(this, texts.title, texts.group_id);
  query_ = AddQueryField(group_, texts.caption, texts.field_id);
}

void QueryFormPane::showEvent(QShowEvent* event) {
  ChannelPane::showEvent(event);
  query_->setFocus();
}

}  // namespace jollix
