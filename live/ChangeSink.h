// What the watcher tells the live index, and nothing more: which entries or subtrees of the
// watched folders may have changed. The live index learns what the change was by looking at the
// disk, so a lost or doubled notice costs a look, never a wrong record.
//
// Paths are absolute paths as the file system spells them (bytes, not converted), without a
// final separator.
#pragma once

#include <string_view>

namespace jollix {

class ChangeSink {
 public:
  virtual ~ChangeSink() = default;

  // The entry at path may have appeared, gone, or changed its size, last-write time or kind.
  virtual void EntryChanged(std::string_view path) = 0;

  // Anything at or below path may have changed without a notice for each entry: a folder moved
  // into or out of the watched folders, a new folder whose first entries came before its watch,
  // or notices the kernel dropped.
  virtual void SubtreeChanged(std::string_view path) = 0;

  // The watcher has passed on everything the kernel had queued: what came since the last call
  // becomes visible to searches now.
  virtual void Flush() = 0;
};

}  // namespace jollix
