// Port: a message box. Texts are GBK; a null caption means the application title.
#pragma once

namespace jollix {

enum class PromptButtons { kOk, kOkCancel, kYesNo };
enum class PromptAnswer { kOk, kCancel, kYes, kNo };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button chosen. May be called from any thread.
  virtual PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) = 0;
};

// Writes every message to standard error in UTF-8 and answers with the first button (OK or
// Yes), or with the answer given at construction for two-button questions.
class ConsolePrompter : public Prompter {
 public:
  explicit ConsolePrompter(bool agree = true) : agree_(agree) {}
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) override;

 private:
  bool agree_;
};

}  // namespace jollix
