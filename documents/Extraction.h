// What every extractor shares: the clock and cancel checks of DocumentLimits, and the text being
// built, capped at MaxText bytes.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

class Extraction {
 public:
  Extraction(const DocumentLimits& limits, std::string* text)
      : limits_(limits), text_(text), start_(std::chrono::steady_clock::now()) {
    text_->clear();
  }

  const DocumentLimits& Limits() const { return limits_; }

  // kCancelled when the cancel flag is set, kTooSlow past the time limit, else kNone.
  DocumentError Check() const {
    if (limits_.Cancel && limits_.Cancel->load(std::memory_order_relaxed)) {
      return DocumentError::kCancelled;
    }
    const auto spent = std::chrono::steady_clock::now() - start_;
    if (spent > std::chrono::milliseconds(limits_.MaxMilliseconds)) return DocumentError::kTooSlow;
    return DocumentError::kNone;
  }

  // Appends UTF-8 text; what goes beyond MaxText is dropped (Full() then holds).
  void Append(std::string_view utf8) {
    const size_t room = limits_.MaxText - std::min(limits_.MaxText, text_->size());
    if (utf8.size() > room) {
      full_ = true;
      utf8 = utf8.substr(0, room);
    }
    text_->append(utf8);
  }
  void Append(char c) { Append(std::string_view(&c, 1)); }
  // A line break, unless the text is empty or ends with one already.
  void EndLine() {
    if (!text_->empty() && text_->back() != '\n') Append('\n');
  }
  bool Full() const { return full_; }
  std::string& Text() { return *text_; }

  // Ends the extraction with error: the text is dropped; returns error.
  DocumentError Fail(DocumentError error) {
    text_->clear();
    return error;
  }

 private:
  const DocumentLimits& limits_;
  std::string* text_;
  std::chrono::steady_clock::time_point start_;
  bool full_ = false;
};

}  // namespace jollix
