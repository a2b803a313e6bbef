// The controls that the side-bar forms of the web channels share, built the same way on every
// form so that they look alike: a group box that fills the form, a caption above its field (the
// field's name for a screen reader), choice buttons under a caption, the form's own tab strip,
// and the search button.
//
// The parts only build and place controls; what a form reads from them is the form's own.
#pragma once

#include <QString>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QVBoxLayout;
class QWidget;

namespace jollix {

// A UTF-16 literal of a widget text as a QString.
inline QString FormText(const char16_t* text) { return QString::fromUtf16(text); }

// Fills form with a group box titled title (objectName group_id) and returns the group's layout,
// to which the other parts are added from the top; the caller ends it with FinishGroup.
QVBoxLayout* CreateChannelGroup(QWidget* form, const char16_t* title, const char* group_id);

// A caption and below it the query field (objectName field_id); the field's accessible name is
// the caption, which is its buddy. With label_id the caption gets that objectName; with label
// the caption label is handed back (for SetCaption).
QLineEdit* AddQueryField(QVBoxLayout* group, const QString& caption, const char* field_id,
                         const char* label_id = nullptr, QLabel** label = nullptr);
inline QLineEdit* AddQueryField(QVBoxLayout* group, const char16_t* caption, const char* field_id) {
  return AddQueryField(group, FormText(caption), field_id);
}

// Changes a caption and with it the accessible name of the field it names.
void SetCaption(QLabel* label, const QString& caption);

// The form's own tab strip (objectName id) with tabs of the GBK texts, the first selected; its
// accessible name says what the tabs choose.
QTabBar* AddFormTabs(QVBoxLayout* group, const char* id, const QString& accessible_name,
                     const char* const* gbk_texts, int count);
// The same with the tab texts taken from a table of tabs, each with a GBK `text`.
template <class Tab, int kCount>
QTabBar* AddFormTabs(QVBoxLayout* group, const char* id, const char16_t* accessible_name,
                     const Tab (&tabs)[kCount]) {
  const char* texts[kCount];
  for (int i = 0; i < kCount; ++i) texts[i] = tabs[i].text;
  return AddFormTabs(group, id, FormText(accessible_name), texts, kCount);
}

// Selects a tab of a form's strip as a click on it does. False (nothing changes) for an index
// outside the strip.
bool SelectFormTab(QTabBar* tabs, int tab);

// One choice button of a group of exclusive choices.
struct ChoiceButton {
  const char16_t* text;
  const char* id;  // objectName
};

// A caption and below it the choice buttons in two columns, in reading order, inside a box whose
// accessible name is the caption (the caption's buddy is the first button). The first button is
// checked. Returns the buttons in the order given.
std::vector<QRadioButton*> AddChoiceButtons(QVBoxLayout* group, const char16_t* caption,
                                            const char* box_id,
                                            const std::vector<ChoiceButton>& choices);

// The form's search button (objectName button_id), drawn as the default button, across the
// group under the fields.
QPushButton* AddDefaultButton(QVBoxLayout* group, const char16_t* text, const char* button_id);

// Ends the group: the remaining height stays empty below the controls.
void FinishGroup(QVBoxLayout* group);

}  // namespace jollix
