#include "channels/ChannelFormParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "common/QtPrompter.h"

namespace jollix {
namespace {

QLabel* AddCaption(QVBoxLayout* group, const QString& caption, QWidget* buddy) {
  auto* label = new QLabel(caption, group->parentWidget());
  label->setBuddy(buddy);
  group->addWidget(label);
  return label;
}

}  // namespace

QVBoxLayout* CreateChannelGroup(QWidget* form, const char16_t* title, const char* group_id) {
  auto* outer = new QVBoxLayout(form);
  outer->setContentsMargins(2, 2, 2, 2);
  auto* box = new QGroupBox(FormText(title), form);
  box->setObjectName(group_id);
  outer->addWidget(box);
  auto* group = new QVBoxLayout(box);
  group->setContentsMargins(6, 6, 6, 6);
  group->setSpacing(4);
  return group;
}

QLineEdit* AddQueryField(QVBoxLayout* group, const QString& caption, const char* field_id,
                         const char* label_id, QLabel** label) {
  auto* field = new QLineEdit(group->parentWidget());
  field->setObjectName(field_id);
  QLabel* caption_label = AddCaption(group, caption, field);
  if (label_id) caption_label->setObjectName(label_id);
  if (label) *label = caption_label;
  field->setAccessibleName(caption);
  group->addWidget(field);
  group->addSpacing(4);
  return field;
}

void SetCaption(QLabel* label, const QString& caption) {
  label->setText(caption);
  if (QWidget* field = label->buddy()) field->setAccessibleName(caption);
}

QTabBar* AddFormTabs(QVBoxLayout* group, const char* id, const QString& accessible_name,
                     const char* const* gbk_texts, int count) {
  auto* tabs = new QTabBar(group->parentWidget());
  tabs->setObjectName(id);
  tabs->setAccessibleName(accessible_name);
  tabs->setExpanding(false);
  tabs->setUsesScrollButtons(true);
  for (int i = 0; i < count; ++i) tabs->addTab(QStringFromGbk(gbk_texts[i]));
  tabs->setCurrentIndex(0);
  group->addWidget(tabs);
  group->addSpacing(4);
  return tabs;
}

bool SelectFormTab(QTabBar* tabs, int tab) {
  if (tab < 0 || tab >= tabs->count()) return false;
  tabs->setCurrentIndex(tab);  // signals currentChanged only when the selection changes
  return true;
}

std::vector<QRadioButton*> AddChoiceButtons(QVBoxLayout* group, const char16_t* caption,
                                            const char* box_id,
                                            const std::vector<ChoiceButton>& choices) {
  auto* box = new QWidget(group->parentWidget());
  box->setObjectName(box_id);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(12, 0, 0, 0);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(4);
  std::vector<QRadioButton*> buttons;
  for (const ChoiceButton& choice : choices) {
    auto* button = new QRadioButton(FormText(choice.text), box);
    button->setObjectName(choice.id);
    int index = static_cast<int>(buttons.size());
    grid->addWidget(button, index / 2, index % 2);
    buttons.push_back(button);
  }
  grid->setColumnStretch(2, 1);
  QLabel* label = AddCaption(group, FormText(caption), buttons.empty() ? nullptr : buttons.front());
  box->setAccessibleName(label->text());
  group->addWidget(box);
  group->addSpacing(4);
  if (!buttons.empty()) buttons.front()->setChecked(true);
  return buttons;
}

QPushButton* AddDefaultButton(QVBoxLayout* group, const char16_t* text, const char* button_id) {
  auto* button = new QPushButton(FormText(text), group->parentWidget());
  button->setObjectName(button_id);
  // Drawn as the default button. Outside a dialog neither this nor auto-default makes the button
  // take Enter from the fields: Enter reaches the form, which runs the search itself.
  button->setDefault(true);
  button->setAutoDefault(false);
  group->addSpacing(4);
  group->addWidget(button);
  return button;
}

void FinishGroup(QVBoxLayout* group) { group->addStretch(1); }

}  // namespace jollix
