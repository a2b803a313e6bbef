#include "channels/TripSearchDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <string>

#include "channels/ChannelFormParts.h"
#include "channels/FormTabs.h"
#include "common/QtPrompter.h"

namespace jollix {

namespace {
constexpr int kPhoneTab = 3;
}

CTripSearchDialog::CTripSearchDialog(const ChannelContext& context, QWidget* parent)
    : ChannelPane(travel_, context, parent) {
  setObjectName("146");
  QVBoxLayout* layout = CreateChannelGroup(this, u"出行搜索", "travel_group");
  tabs_ = AddFormTabs(layout, "1003", u"出行查询的种类", kTripTabs);
  CreateFields(layout);
  AddSearchButton(layout, u"Jollix出行搜索", "1");
  connect(tabs_, &QTabBar::currentChanged, this, &CTripSearchDialog::OnTabChanged);
}

void CTripSearchDialog::CreateFields(QVBoxLayout* layout) {
  const QString initial = QStringFromGbk(kTripInitialCaption);
  query_ = AddQueryField(layout, initial, "1050", "1048", &first_caption_);
  second_ = AddQueryField(layout, initial, "1012", "1049", &second_caption_);
}

bool CTripSearchDialog::SelectTab(int tab) { return SelectFormTab(tabs_, tab); }

int CTripSearchDialog::SelectedTab() const { return tabs_->currentIndex(); }

void CTripSearchDialog::HideSecondField() {
  second_caption_->hide();
  second_->hide();
}

void CTripSearchDialog::OnTabChanged(int tab) {
  if (tab < 0 || tab >= kTripTabCount) return;
  const TripTab& kind = kTripTabs[tab];
  RunCommand(kind.command);
  SetCaption(first_caption_, QStringFromGbk(kind.first_caption));
  if (!kind.second_field) {
    HideSecondField();
    return;
  }
  SetCaption(second_caption_, QStringFromGbk(kTripArrivalCaption));
  second_caption_->show();
  second_->show();
}

void CTripSearchDialog::ReadFields(SearchForm* form) {
  form->tab = SelectedTab();
  if (form->tab == kPhoneTab) {
    std::string number = GbkFromQString(query_->text());
    CheckPhoneNumber(&number);  // only trims here; the search itself refuses a wrong number
    const QString trimmed = QStringFromGbk(number);
    if (trimmed != query_->text()) query_->setText(trimmed);
  }
  ChannelPane::ReadFields(form);
  form->second_query = GbkFromQString(second_->text());
}

}  // namespace jollix
