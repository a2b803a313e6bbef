// The message-box port on Qt, and the conversions between the system's GBK text and QString.
#pragma once

#include <QString>
#include <string>

#include "common/Prompter.h"

class QWidget;

namespace jollix {

QString QStringFromGbk(const std::string& gbk);
std::string GbkFromQString(const QString& text);

// Shows a QMessageBox. May be called from any thread: from another thread the box is shown on
// the user-interface thread, by a queued call, while the caller waits for the answer. A stop of
// AskUnlessStopped wakes the caller at once; the queued box is then never shown, or closed when
// it is up, so the user-interface thread may join the caller.
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) override;
  PromptAnswer AskUnlessStopped(const char* text, const char* caption, PromptButtons buttons,
                                std::stop_token stop) override;

 private:
  struct Pending;
  // Shows the box on this thread; pending (may be null) learns of the box while it is up.
  PromptAnswer AskHere(const char* text, const char* caption, PromptButtons buttons,
                       Pending* pending = nullptr);
  PromptAnswer AskFromOtherThread(const char* text, const char* caption, PromptButtons buttons,
                                  std::stop_token stop);

  QWidget* parent_;
};

}  // namespace jollix
