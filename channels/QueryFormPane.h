// The side-bar forms whose group opens with the query field and which put the focus into that
// field whenever they are shown: the web page, news, document and music forms.
#pragma once

#include "channels/ChannelPane.h"

namespace jollix {

// The form's objectName, its group, and the query field at the group's top.
struct QueryFormTexts {
  const char* form_id;
  const char16_t* title;
  const char* group_id;
  const char16_t* caption;
  const char* field_id;
};

class QueryFormPane : public ChannelPane {
  Q_OBJECT

 protected:
  // Builds the group with the query field at its top. The form adds its further controls to
  // Group() and ends it with AddSearchButton(Group(), ...). channel and the ports outlive the
  // form.
  QueryFormPane(Channel& channel, const ChannelContext& context, const QueryFormTexts& texts,
                QWidget* parent);

  QVBoxLayout* Group() const { return group_; }

  void showEvent(QShowEvent* event) override;

 private:
  QVBoxLayout* group_ = nullptr;
};

}  // namespace jollix
