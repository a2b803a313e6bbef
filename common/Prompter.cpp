#include "common/Prompter.h"

#include <cstdio>

#include "common/Gbk.h"

namespace jollix {

PromptAnswer Prompter::AskUnlessStopped(const char* text, const char* caption,
                                        PromptButtons buttons, std::stop_token stop) {
  if (stop.stop_requested()) return PromptAnswer::kCancel;
  return Ask(text, caption, buttons);
}

PromptAnswer ConsolePrompter::Ask(const char* text, const char* caption, PromptButtons buttons) {
  std::string line = caption ? GbkToUtf8Lossy(caption) + ": " : std::string();
  line += GbkToUtf8Lossy(text ? text : "");
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  switch (buttons) {
    case PromptButtons::kOk:
      return PromptAnswer::kOk;
    case PromptButtons::kOkCancel:
      return agree_ ? PromptAnswer::kOk : PromptAnswer::kCancel;
    case PromptButtons::kYesNo:
      return agree_ ? PromptAnswer::kYes : PromptAnswer::kNo;
  }
  return PromptAnswer::kOk;
}

}  // namespace jollix
