// The main window's commands as data: the channel and engine commands (one row each), the
// check flags they set, the menus, the toolbar and the accelerators. The window only applies
// them; what a command does is told here and tested without widgets.
//
// A channel command runs in this order: (1) the inner tab of a form that has its own strip
// (desktop, education, travel) is selected as a user's click would select it, and the tab
// handling that runs then (which may run other commands) completes first; the desktop
// commands first show side page 0; (2) the result view loses all its tabs and gets the
// command's labels; (3) the command's pages are placed at the first positions; (4) a position
// is selected; (5) the side pages are shown, in order; (6) the check flags are set; (7)
// ResultType, UrlColumn and DetailColumn are set, where the row gives a value.
#pragma once

#include <optional>
#include <vector>

namespace jollix {

// The forms whose own tab strip a command moves first.
enum class InnerTabForm { kNone, kDesktop, kEducation, kTravel };

// The check flags of the menu items and toolbar buttons, each 0 or 1.
enum CheckFlag {
  kDesktopFlag,
  kWebPageFlag,
  kNewsFlag,
  kDocumentFlag,
  kMusicFlag,
  kSoftwareFlag,
  kEducationFlag,
  kTravelFlag,
  kSettingsFlag,
  kTextFlag,
  kPictureFlag,
  kMediaFlag,
  kExecutableFlag,
  kCheckFlagCount
};

struct CheckFlags {
  int Value[kCheckFlagCount] = {1};  // desktop 1, all others 0

  // Whether the menu item or toolbar button with this id shows a check mark.
  bool Checked(int id) const;
};

struct ChannelCommand {
  int Id;
  const char* Item;  // the menu item's text (GBK)
  InnerTabForm Form;
  int InnerTab;
  std::vector<const char*> Labels;  // GBK
  std::vector<int> Pages;           // result pages placed at positions 0, 1, ...
  int Selected;
  std::vector<int> SidePages;  // shown in this order
  int ResultTypeValue;
  std::optional<int> UrlColumnValue;  // none: left as it was
  int DetailColumnValue;
  CheckFlag Flag;
  std::optional<CheckFlag> SubFlag;     // desktop commands: the sub-choice set to 1 (the others 0)
  bool HidesSecondTravelField = false;  // the weather command
  std::optional<bool> DocumentGoogle;   // document commands: the engine's check boxes
};

// Every channel and engine command, in menu order.
const std::vector<ChannelCommand>& ChannelCommandTable();
// The row of a command id, or null.
const ChannelCommand* FindChannelCommand(int id);

// What a channel command acts on: the window implements it over its widgets, tests over data.
class ChannelWindow {
 public:
  virtual ~ChannelWindow() = default;
  // Moves a form's own strip to tab; runs its tab handling only when the selection changes.
  virtual void SelectFormTab(InnerTabForm form, int tab) = 0;
  virtual void ShowSidePage(int page) = 0;
  virtual void RemoveAllTabs() = 0;
  virtual void AddTabLabel(const char* label) = 0;
  virtual void PlacePages(const std::vector<int>& pages) = 0;
  virtual void SelectPosition(int position) = 0;
  virtual void HideSecondTravelField() = 0;
  virtual void SetDocumentEngineBoxes(bool google) = 0;
};

// Runs a channel command over window, then sets flags, ResultType, UrlColumn and DetailColumn.
void RunChannelCommand(const ChannelCommand& command, ChannelWindow& window, CheckFlags& flags);

// The settings command's flags: before the dialog only the settings flag is set (of the
// channel flags and itself); afterwards the desktop flag, whatever channel was active.
void SetFlagsForSettingsDialog(CheckFlags& flags);
void SetFlagsAfterSettingsDialog(CheckFlags& flags);

// The menus of the main window. An item with id 0 is a separator.
struct MenuEntry {
  const char* Text;  // GBK; a TAB separates the accelerator's text
  int Id;
  bool Disabled = false;
};
struct Menu {
  const char* Title;  // GBK
  std::vector<MenuEntry> Items;
};
const std::vector<Menu>& MainMenus();

// The toolbar's buttons in order; id 0 is a separator.
struct ToolButton {
  int Id;
  const char* Label;  // GBK
};
const std::vector<ToolButton>& ToolButtons();

// The accelerators the window installs: a key sequence in Qt's portable text form and the
// command it runs. Only keys that do something are here: Ctrl+N, Ctrl+O and Ctrl+S would reach
// the new, open and save commands of a document that holds no data, and the editing keys
// (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V and their older forms) commands without a handler; left out,
// they stay with the focused text field or list, which has its own.
struct Accelerator {
  const char* Keys;
  int Id;
};
const std::vector<Accelerator>& Accelerators();

// Command ids other than the channel commands.
inline constexpr int kExitCommand = 57665;
inline constexpr int kHelpCommand = 32885;
inline constexpr int kAboutCommand = 32886;
inline constexpr int kSettingsCommand = 32887;
inline constexpr int kCheckVersionCommand = 32888;
inline constexpr int kUpdateIndexCommand = 32889;
inline constexpr int kPreviousPageCommand = 32892;
inline constexpr int kNextPageCommand = 32893;
inline constexpr int kYahooNewsCommand = 32835;
inline constexpr int kMailCommand = 32798;
inline constexpr int kNextPaneCommand = 57680;      // F6: the focus to the next pane
inline constexpr int kPreviousPaneCommand = 57681;  // Shift+F6: to the previous pane

}  // namespace jollix
