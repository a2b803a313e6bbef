// The folders a watcher knows, as a tree of names: each folder holds its own name and the number
// of the folder above it, so a folder's path is built by walking up, and a renamed or moved
// folder with everything below it costs one change, not one per path below it.
//
// Why not a map of paths: at 100 000 folders the paths would cost several times the names, and
// a rename near a root would rewrite every path below it. A folder's children are a singly
// linked list, searched by name only when the kernel names a folder by its parent and its name
// (creations, removals and renames of folders, which are rare next to file notices).
//
// Numbers of removed folders are reused. Not thread-safe: one watcher owns one tree.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

class FolderTree {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  struct Folder {
    uint32_t Parent = kNone;  // kNone for a root
    uint32_t FirstChild = kNone;
    uint32_t NextSibling = kNone;
    int Watch = -1;       // the watcher's number for the kernel's watch, -1 while not watched
    bool Missed = false;  // the watcher could not watch it (a limit or an error)
    std::string Name;     // a root's whole path; any other folder's own name
    std::string Handle;   // the kernel's handle of the folder, where the watcher uses one
  };

  // A folder with no parent, named by its whole path (without a final '/').
  uint32_t AddRoot(std::string_view path);
  // A new folder name below parent; the caller has made sure parent holds none of that name.
  uint32_t Add(uint32_t parent, std::string_view name);
  // The folder name directly below parent, or kNone.
  uint32_t Child(uint32_t parent, std::string_view name) const;
  // Gives folder id (not a root) a new parent and name; parent must not lie below id.
  void Move(uint32_t id, uint32_t parent, std::string_view name);
  // Removes id and every folder below it, calling gone(folder) for each before it goes.
  void Remove(uint32_t id, const std::function<void(uint32_t)>& gone);
  // Removes everything.
  void Clear();

  std::string Path(uint32_t id) const;
  Folder& operator[](uint32_t id) { return folders_[id]; }
  const Folder& operator[](uint32_t id) const { return folders_[id]; }
  const std::vector<uint32_t>& Roots() const { return roots_; }
  // Calls each(folder) for id and every folder below it, parents before children.
  void ForEachBelow(uint32_t id, const std::function<void(uint32_t)>& each) const;
  // Folders held.
  size_t Size() const { return folders_.size() - free_.size(); }

 private:
  uint32_t NewFolder();
  void Unlink(uint32_t id);
  void Link(uint32_t id, uint32_t parent);

  std::vector<Folder> folders_;
  std::vector<uint32_t> free_;
  std::vector<uint32_t> roots_;
};

}  // namespace jollix
