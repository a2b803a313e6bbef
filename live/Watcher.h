// The watcher: tells a ChangeSink which entries of a set of folders may have changed, as the
// kernel reports them, so that the live index need only look at those.
//
// What is watched is what a scan records: every folder at and below the roots, except folders
// whose names begin with a dot and everything inside them; symbolic links are never followed
// (a root itself may be reached through one). Notices about names beginning with a dot are not
// passed on.
//
// Two ways of watching, the first that works:
//   fanotify, reporting each change as the handle of its folder and the entry's name, with one
//     mark per file system when the process may place one (then nothing of the kernel's grows
//     with the number of folders), else one mark per folder;
//   inotify, one watch per folder (also when WatchOptions::ForceInotify is set).
//
// What the sink hears:
//   EntryChanged(path)   an entry was created, deleted, written to or had its attributes
//                        changed; a file renamed gives both its old and its new path;
//   SubtreeChanged(path) a folder appeared (it is watched at once, but what was made in it before
//                        its watch carries no notice), was deleted, was renamed (old and new path)
//                        or moved in or out of the watched folders, or a root went away; after
//                        the kernel dropped notices (its queue overflowed) every root.
//   Flush()              at the end of every Dispatch.
// A notice may come twice; none that the kernel delivers is left out. Start the watcher before
// comparing the disk with the index, so that no change falls between the two.
//
// Limits: when the kernel's limit of watches or marks (or WatchOptions::MaxWatches) is reached,
// the folders found beyond it stay unwatched; the watcher says on standard error how many, which
// limit to raise and how, and goes on. Memory of its own: about 100 bytes per folder (names,
// not paths; see FolderTree) and the notices of one Dispatch.
//
// Not thread-safe: one thread calls Dispatch when Fd() is readable.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "live/ChangeSink.h"

namespace jollix {

struct WatchOptions {
  size_t MaxWatches = 0;  // 0: the system's limit; tests set a tiny one
  bool ForceInotify = false;
  // fanotify: one mark per folder even where a whole-disk mark would do (tests).
  bool NoFilesystemMark = false;
  // Folders left out like dot folders, with everything in them, known by their identity (not
  // their spelling). The live index's own index folder belongs here when it lies inside a
  // watched folder: each notice of its own writes would otherwise bring another write.
  std::vector<std::string> Skip;
};

class WatchBackend;

class Watcher {
 public:
  // Watches the roots (absolute paths as the file system spells them, without a final '/') and
  // passes what changes to sink, which must outlive the watcher. A root that does not exist is
  // left unwatched. nullptr with *error set when neither way of watching can be set up.
  static std::unique_ptr<Watcher> Start(const std::vector<std::string>& roots, ChangeSink* sink,
                                        const WatchOptions& options, std::string* error);
  ~Watcher();

  // Readable (poll) when notices wait.
  int Fd() const;
  // Reads what waits (a bounded amount, so that a flood still reaches the sink in steps),
  // passes it on and ends with sink->Flush(). Called again within 50 ms of the last call, it
  // first waits for the rest of them, so that notices gather and a busy disk does not wake the
  // watcher for each write.
  void Dispatch();
  // Folders found below the roots that are not watched (limits, or the kernel refused).
  size_t UnwatchedFolders() const;
  // "fanotify" or "inotify".
  const char* Method() const;

 private:
  explicit Watcher(std::unique_ptr<WatchBackend> backend);
  std::unique_ptr<WatchBackend> backend_;
};

}  // namespace jollix
