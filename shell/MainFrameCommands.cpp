// The commands of the main window: dispatch by id, the channel commands applied over the
// window's widgets, paging, settings, help and About.
#include <QApplication>
#include <QListWidget>

#include "channels/ChannelPane.h"
#include "channels/DocSearchDialog.h"
#include "channels/EducationSearchDialog.h"
#include "channels/TripSearchDialog.h"
#include "common/InstallFolder.h"
#include "desktop/DeskSearchDialog.h"
#include "docking/DockPageBar.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/AboutDialog.h"
#include "shell/DetectNewVersionDialog.h"
#include "shell/MainFrame.h"
#include "shell/Paging.h"
#include "shell/SystemSettingDialog.h"

namespace jollix {

void CMainFrame::RunCommand(int id) {
  if (const ChannelCommand* command = FindChannelCommand(id)) {
    RunChannelCommand(*command, *this, flags_);
    UpdateCheckMarks();
    return;
  }
  switch (id) {
    case kExitCommand:
      end_(0);
      return;
    case kHelpCommand:
      shell_.Open(LocalPathTarget(HelpPagePath()));  // its absence is not reported
      return;
    case kAboutCommand:
      ShowAbout();
      return;
    case kSettingsCommand:
      RunSettingsCommand();
      return;
    case kUpdateIndexCommand:
      UpdateIndexNow();
      return;
    case kCheckVersionCommand:
      RunVersionDialog(VersionServerToAsk(), prompter_, shell_);
      return;
    case kPreviousPageCommand:
      RunPaging(false);
      return;
    case kNextPageCommand:
      RunPaging(true);
      return;
    case kNextPaneCommand:  // F6 and Shift+F6: the side bar's form, the result list, the details
      MoveFocusToPane(1);
      return;
    case kPreviousPaneCommand:
      MoveFocusToPane(-1);
      return;
    default:
      UpdateCheckMarks();  // a click on a checkable item toggled its mark: show the flags again
      return;
  }
}

void CMainFrame::UpdateIndexNow() { jollix::UpdateIndexNow(prompter_, shell_, end_); }

void CMainFrame::RunPaging(bool next) {
  RunPagingCommand(next, prompter_, [this](int form_page) {
    if (ChannelPane* form = WebForm(form_page)) form->Search();
  });
}

void CMainFrame::RunSettingsCommand() {
  SetFlagsForSettingsDialog(flags_);
  UpdateCheckMarks();
  CSystemSetting dialog(prompter_, shell_, Configuration());  // no explicit owner window
  dialog.exec();
  SetFlagsAfterSettingsDialog(flags_);
  UpdateCheckMarks();
}

void CMainFrame::ShowAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainFrame::MoveFocusToPane(int step) {
  QWidget* side = side_bar_ ? side_bar_->Page(side_bar_->ShownPage()) : nullptr;
  QWidget* list =
      result_view_ ? result_view_->PageAtPosition(result_view_->CurrentPosition()) : nullptr;
  std::vector<QWidget*> panes;
  for (QWidget* pane : {side, list, static_cast<QWidget*>(details_)}) {
    if (pane && pane->isVisible()) panes.push_back(pane);
  }
  if (panes.empty()) return;
  int at = 0;
  for (int i = 0; i < static_cast<int>(panes.size()); ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == panes[i] || panes[i]->isAncestorOf(focus))) at = i;
  }
  const int count = static_cast<int>(panes.size());
  QWidget* target = panes[((at + step) % count + count) % count];
  // A form takes no focus itself: its first control that does gets it.
  QWidget* focus = target;
  if (target->focusPolicy() == Qt::NoFocus) {
    for (QWidget* child = target->nextInFocusChain(); child && target->isAncestorOf(child);
         child = child->nextInFocusChain()) {
      if (child->focusPolicy() != Qt::NoFocus && child->isEnabled() && child->isVisible()) {
        focus = child;
        break;
      }
    }
  }
  focus->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::SelectFormTab(InnerTabForm form, int tab) {
  switch (form) {
    case InnerTabForm::kDesktop:
      desktop_pane_->SelectTab(tab);
      return;
    case InnerTabForm::kEducation:
      education_form_->SelectTab(tab);
      return;
    case InnerTabForm::kTravel:
      trip_form_->SelectTab(tab);
      return;
    case InnerTabForm::kNone:
      return;
  }
}

// A collapsed side bar shows the page by sliding it out of its strip.
void CMainFrame::ShowSidePage(int page) {
  if (IsCollapsed(side_bar_)) {
    ShowCollapsedPage(side_bar_, page);
  } else {
    side_bar_->ShowPage(page);
  }
}
void CMainFrame::RemoveAllTabs() { result_view_->RemoveAllTabs(); }
void CMainFrame::AddTabLabel(const char* label) { result_view_->AddTabLabel(label); }
void CMainFrame::PlacePages(const std::vector<int>& pages) { result_view_->PlacePages(pages); }
void CMainFrame::SelectPosition(int position) { result_view_->SelectPosition(position); }
void CMainFrame::HideSecondTravelField() { trip_form_->HideSecondField(); }
void CMainFrame::SetDocumentEngineBoxes(bool google) { doc_form_->SetEngineBoxes(google); }

}  // namespace jollix
