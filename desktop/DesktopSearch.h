// The desktop search button and the worker thread that runs the engine: what a click does in
// each state of the form, over the ports, so that the window form holds no logic of its own.
//
// States: idle (busy clear, the button reads "Jollix桌面搜索") → searching (busy set, the button
// reads "取消") → idle, when the worker ends or at once when the user clicks "取消". A refused
// request leaves the form idle.
//
// One worker runs the engine at a time. A cancel click resets the form at once and leaves the
// cancelled worker to stop at its next candidate; such a worker no longer touches the form, so
// it can never clear the busy flag or the button of a search started after it. The engine's
// query and class selection must not change under a running search, so a new worker first waits
// for the one before it to end and only then hands the fields to the engine. The wait is on the
// worker, never on the user-interface thread, so the window keeps painting and answering (and a
// worker that waits for a message box on that thread cannot deadlock it). The fields are checked
// on the user-interface thread before the worker starts, so every refusal is shown there at once.
//
// The end of the window: Stop (and the destructor) cancel the search, give up a message box
// that the worker waits for and join the worker, so that nothing the worker writes to (the
// result page, the form's texts) is destroyed while it runs, and a worker whose message box
// would be shown by the joining thread cannot keep that thread waiting for ever.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>

#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/StatusLine.h"
#include "desktop/QueryRules.h"
#include "desktop/SearchServer.h"

namespace jollix {

// The texts of the search button and the status pane that the form shows.
inline constexpr char kSearchButtonIdle[] = "Jollix桌面搜索";
inline constexpr char kSearchButtonBusy[] = "取消";
inline constexpr char kSearchSlogan[] = "Jollix超级搜索---生活需要Jollix，Jollix更懂搜索！";
inline constexpr char kFoundCountFormat[] = "Jollix一下，找到文件  %d 个";
inline constexpr int kSearchStatusPane = 1;

// Port: the text of the search button. Set is called from the user-interface thread and, when a
// search ends, from the worker thread; an implementation shows the texts in the order of the
// calls.
class SearchButtonText {
 public:
  virtual ~SearchButtonText() = default;
  virtual void Set(const char* gbk) = 0;
};

class DesktopSearch {
 public:
  enum class ClickOutcome {
    kIgnored,    // the index is unavailable or no desktop page was handed over
    kCancelled,  // the running search was told to stop
    kRefused,    // a message refused the fields; the form stays idle
    kStarted,    // a worker runs the search
  };

  // All references must outlive the object. status and button receive calls from the worker.
  DesktopSearch(SearchServer& engine, Prompter& prompter, StatusLine& status,
                SearchButtonText& button);
  // Stops a running search as Stop does, without touching the form.
  ~DesktopSearch();
  DesktopSearch(const DesktopSearch&) = delete;
  DesktopSearch& operator=(const DesktopSearch&) = delete;

  // The desktop page of the result view that the rows are written to; it must be safe to fill
  // from the worker thread and outlive the object. Takes effect at the next search.
  void SetPage(ResultPage* page) { page_ = page; }

  // The search button: with no search running, checks the fields, hands them to the engine and
  // starts the worker; with one running, cancels it. User-interface thread only.
  ClickOutcome Click(const FileSearchFields& fields);

  bool Busy() const { return engine_.Busy; }
  // True while a worker (also a cancelled one) has not ended yet.
  bool WorkerRunning() const { return running_workers_ > 0; }

  // Waits until no worker runs (for tests). Must not be called while a worker may wait for the
  // calling thread; Stop may.
  void WaitForWorker();

  // For the end of the window, before anything the worker writes to goes: cancels a running
  // search, gives up a message box its worker waits for (answered with kCancel; a box not yet
  // shown never is) and waits until no worker runs. The form is left idle. User-interface thread,
  // which may be the thread that the worker's message boxes wait for.
  void Stop();

 private:
  ClickOutcome CancelRunningSearch();  // with mu_ held
  // Cancels, gives up the workers' message boxes and joins the workers.
  void StopWorkers();
  bool IsCurrent(uint64_t generation);
  // Writes the fields into the engine; false when the search is not to run.
  bool HandOver(uint64_t generation, const FileSearchFields& fields, std::stop_token give_up);
  // Resets the form after a search that ran to its end, unless it was cancelled.
  void EndSearch(uint64_t generation);
  void ShowCount();
  // The worker of the search numbered generation.
  void Run(uint64_t generation, FileSearchFields fields, ResultPage* page, std::thread previous,
           std::stop_token give_up);

  SearchServer& engine_;
  Prompter& prompter_;
  StatusLine& status_;
  SearchButtonText& button_;
  ResultPage* page_ = nullptr;
  // Orders the clicks against the workers' starts and ends, so that exactly one of them resets
  // the form and a worker acts only while its search is the current one.
  std::mutex mu_;
  uint64_t generation_ = 0;   // counts starts and cancels; guarded by mu_
  std::stop_source give_up_;  // gives up the workers' message boxes; guarded by mu_
  std::atomic<int> running_workers_{0};
  std::thread worker_;  // the newest worker; each worker joins the one before it
};

}  // namespace jollix
