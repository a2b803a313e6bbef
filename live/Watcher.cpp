#include "live/Watcher.h"

#include "live/FanotifyBackend.h"
#include "live/InotifyBackend.h"
#include "live/WatchBackend.h"

namespace jollix {

std::unique_ptr<Watcher> Watcher::Start(const std::vector<std::string>& roots, ChangeSink* sink,
                                        const WatchOptions& options, std::string* error) {
  std::string why_not_fanotify;
  if (!options.ForceInotify) {
    std::unique_ptr<WatchBackend> backend =
        FanotifyBackend::Create(sink, options, &why_not_fanotify);
    if (backend && backend->WatchRoots(roots, &why_not_fanotify)) {
      return std::unique_ptr<Watcher>(new Watcher(std::move(backend)));
    }
  }
  std::unique_ptr<WatchBackend> backend = InotifyBackend::Create(sink, options, error);
  if (!backend) {
    if (!why_not_fanotify.empty()) *error = why_not_fanotify + "; " + *error;
    return nullptr;
  }
  if (!backend->WatchRoots(roots, error)) return nullptr;
  return std::unique_ptr<Watcher>(new Watcher(std::move(backend)));
}

Watcher::Watcher(std::unique_ptr<WatchBackend> backend) : backend_(std::move(backend)) {}
Watcher::~Watcher() = default;

int Watcher::Fd() const { return backend_->Fd(); }
void Watcher::Dispatch() { backend_->Dispatch(); }
size_t Watcher::UnwatchedFolders() const { return backend_->UnwatchedFolders(); }
const char* Watcher::Method() const { return backend_->Method(); }

}  // namespace jollix
