#include "desktop/DesktopSearch.h"

#include <cstdio>
#include <utility>

namespace jollix {

DesktopSearch::DesktopSearch(SearchServer& engine, Prompter& prompter, StatusLine& status,
                             SearchButtonText& button)
    : engine_(engine), prompter_(prompter), status_(status), button_(button) {
  engine_.Busy = false;
  engine_.Cancel = false;
}

DesktopSearch::~DesktopSearch() { StopWorkers(); }

void DesktopSearch::StopWorkers() {
  std::stop_source giving_up;
  {
    std::lock_guard<std::mutex> lock(mu_);
    ++generation_;  // no worker may touch the form any more
    engine_.Cancel = true;
    giving_up = give_up_;
  }
  giving_up.request_stop();
  WaitForWorker();
  std::lock_guard<std::mutex> lock(mu_);
  give_up_ = std::stop_source();  // the messages of a later search are shown again
}

void DesktopSearch::Stop() {
  const bool was_busy = engine_.Busy;
  StopWorkers();
  engine_.Busy = false;
  engine_.Cancel = false;
  if (was_busy) button_.Set(kSearchButtonIdle);
}

void DesktopSearch::WaitForWorker() {
  if (worker_.joinable()) worker_.join();
}

bool DesktopSearch::IsCurrent(uint64_t generation) {
  std::lock_guard<std::mutex> lock(mu_);
  return generation == generation_;
}

void DesktopSearch::ShowCount() {
  char text[64];
  std::snprintf(text, sizeof text, kFoundCountFormat, engine_.Count());
  status_.SetText(kSearchStatusPane, text);
}

DesktopSearch::ClickOutcome DesktopSearch::CancelRunningSearch() {
  ++generation_;
  engine_.Busy = false;
  engine_.Cancel = true;
  button_.Set(kSearchButtonIdle);
  ShowCount();
  return ClickOutcome::kCancelled;
}

DesktopSearch::ClickOutcome DesktopSearch::Click(const FileSearchFields& fields) {
  if (engine_.IndexUnavailable() || !page_) return ClickOutcome::kIgnored;
  status_.SetText(kSearchStatusPane, kSearchSlogan);
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (engine_.Busy) return CancelRunningSearch();
  }
  const QueryVerdict verdict = CheckQueryFields(fields);
  if (verdict == QueryVerdict::kEmptyQuery) {
    HandOverQuery(fields, engine_, prompter_);  // shows the refusal; the engine stays untouched
    return ClickOutcome::kRefused;
  }
  // From here the form shows "取消" and is busy, also while a message below refuses the fields.
  button_.Set(kSearchButtonBusy);
  engine_.Busy = true;
  if (verdict != QueryVerdict::kAccepted) {
    HandOverQuery(fields, engine_, prompter_);
    button_.Set(kSearchButtonIdle);
    engine_.Busy = false;
    return ClickOutcome::kRefused;
  }
  uint64_t generation;
  std::stop_token give_up;
  {
    std::lock_guard<std::mutex> lock(mu_);
    generation = ++generation_;
    give_up = give_up_.get_token();
  }
  ++running_workers_;
  worker_ = std::thread(&DesktopSearch::Run, this, generation, fields, page_, std::move(worker_),
                        std::move(give_up));
  return ClickOutcome::kStarted;
}

bool DesktopSearch::HandOver(uint64_t generation, const FileSearchFields& fields,
                             std::stop_token give_up) {
  // Refusals were shown by the click, so the fields pass here; the fallback below only keeps
  // the form consistent should the two checks ever disagree. No lock is held while the engine
  // is written, as a refusal shows a message.
  StoppablePrompter prompter(prompter_, std::move(give_up));
  const bool accepted = HandOverQuery(fields, engine_, prompter) == QueryVerdict::kAccepted;
  std::lock_guard<std::mutex> lock(mu_);
  if (generation != generation_) return false;  // cancelled while the fields were handed over
  if (accepted) {
    engine_.Cancel = false;
    return true;
  }
  ++generation_;
  button_.Set(kSearchButtonIdle);
  engine_.Busy = false;
  return false;
}

void DesktopSearch::EndSearch(uint64_t generation) {
  std::lock_guard<std::mutex> lock(mu_);
  // After a cancel click the form was reset at once, and a newer search may own it now.
  if (generation != generation_) return;
  button_.Set(kSearchButtonIdle);
  engine_.Busy = false;
  engine_.Cancel = false;
  ShowCount();
}

void DesktopSearch::Run(uint64_t generation, FileSearchFields fields, ResultPage* page,
                        std::thread previous, std::stop_token give_up) {
  // The worker before this one has ended or was cancelled and stops at its next candidate.
  if (previous.joinable()) previous.join();
  if (IsCurrent(generation) && HandOver(generation, fields, give_up)) {
    engine_.Search(*page, give_up);
    EndSearch(generation);
  }
  --running_workers_;
}

}  // namespace jollix
