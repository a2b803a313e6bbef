#include "channels/ChannelPane.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "channels/ChannelFormParts.h"
#include "common/QtPrompter.h"

namespace jollix {

ChannelPane::ChannelPane(Channel& channel, const ChannelContext& context, QWidget* parent)
    : QWidget(parent), channel_(channel), context_(context) {}

SearchOutcome ChannelPane::Search() {
  ReadFields(&form_);
  return RunSearch(channel_, form_, context_.ports);
}

void ChannelPane::ReadFields(SearchForm* form) { form->query = GbkFromQString(query_->text()); }

void ChannelPane::AddSearchButton(QVBoxLayout* group, const char16_t* text, const char* button_id) {
  search_ = AddDefaultButton(group, text, button_id);
  FinishGroup(group);
  connect(search_, &QPushButton::clicked, this, [this] { Search(); });
}

void ChannelPane::RunCommand(int command) const {
  if (context_.run_command) context_.run_command(command);
}

void ChannelPane::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Search();
      event->accept();
      return;
    case Qt::Key_Escape:
      event->accept();  // a side-bar form never closes
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace jollix
