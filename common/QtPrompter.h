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
// the user-interface thread while the caller waits for the answer.
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) override;

 private:
  PromptAnswer AskHere(const char* text, const char* caption, PromptButtons buttons);

  QWidget* parent_;
};

}  // namespace jollix
