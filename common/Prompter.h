// Port: a message box. Texts are GBK; a null caption means the application title.
#pragma once

#include <stop_token>
#include <utility>

namespace jollix {

enum class PromptButtons { kOk, kOkCancel, kYesNo };
enum class PromptAnswer { kOk, kCancel, kYes, kNo };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button chosen. May be called from any thread.
  virtual PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) = 0;
  // Ask for a worker thread that another thread may stop while the worker waits for the
  // answer. Once stop is requested the message is given up: it is not shown (a box already up
  // is closed) and the answer is kCancel at once. So the thread that would show the box may
  // stop the worker and join it without a deadlock. The default asks unless the stop was
  // requested before, which is right for prompters that answer on the calling thread.
  virtual PromptAnswer AskUnlessStopped(const char* text, const char* caption,
                                        PromptButtons buttons, std::stop_token stop);
};

// A Prompter whose every Ask is target's AskUnlessStopped with one stop token, for code that
// takes a Prompter and runs on a worker that another thread may stop. target outlives it.
class StoppablePrompter : public Prompter {
 public:
  StoppablePrompter(Prompter& target, std::stop_token stop)
      : target_(target), stop_(std::move(stop)) {}
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) override {
    return target_.AskUnlessStopped(text, caption, buttons, stop_);
  }

 private:
  Prompter& target_;
  std::stop_token stop_;
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
