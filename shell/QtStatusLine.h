// The status bar of the main window: the message pane (0, idle text "就绪") and the channel
// pane (1), which starts with the welcome text and shows the searches' progress. Screen readers
// hear each pane's text as its accessible name, the new text as soon as it is shown.
#pragma once

#include <QObject>

#include "common/StatusLine.h"

class QLabel;
class QStatusBar;

namespace jollix {

inline constexpr int kMessagePane = 0;

class QtStatusLine : public QObject, public StatusLine {
  Q_OBJECT

 public:
  // Adds the panes to bar.
  explicit QtStatusLine(QStatusBar* bar);

  // May be called from any thread: from another thread the text is shown by a queued call.
  void SetText(int pane, const char* text) override;

  QLabel* Pane(int pane) const;

  // Shows text (GBK) in the message pane's place (a label named "notice") until the next text
  // of any pane; the message pane keeps its own text meanwhile.
  void ShowNotice(const char* text);

 private:
  void Show(int pane, const QString& text);

  QLabel* message_;
  QLabel* notice_;
  QLabel* channel_;
};

}  // namespace jollix
