// Texts that a desktop search's worker shows, carried to the user-interface thread: the search
// button's text and the status panes. A text is shown at once when it is set on that thread and
// by a queued call otherwise; a queued text is dropped when a newer one for the same place was
// set after it, so a search's end that is still under way can never overwrite what a click
// showed after it (the button of a new search keeps "取消").
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "common/StatusLine.h"
#include "desktop/DesktopSearch.h"

class QPushButton;

namespace jollix {

// Made on the user-interface thread; texts still queued when it is destroyed are dropped.
class UiTextRelay {
 public:
  // Runs show on the user-interface thread, unless a newer text for place was sent before it
  // runs there.
  void Send(int place, std::function<void()> show);

 private:
  QObject context_;  // lives on the thread that made the relay; queued calls die with it
  std::mutex mu_;
  uint64_t sent_ = 0;
  std::map<int, uint64_t> latest_;  // per place, the number of the newest text
};

// The search button's text, from any thread.
class QtSearchButtonText : public SearchButtonText {
 public:
  explicit QtSearchButtonText(QPushButton* button);
  void Set(const char* gbk) override;

 private:
  QPointer<QPushButton> button_;
  UiTextRelay relay_;
};

// Hands every status text to target on the user-interface thread, so target is never called
// from a worker.
class RelayedStatusLine : public StatusLine {
 public:
  explicit RelayedStatusLine(StatusLine& target) : target_(target) {}
  void SetText(int pane, const char* text) override;

 private:
  StatusLine& target_;
  UiTextRelay relay_;
};

}  // namespace jollix
