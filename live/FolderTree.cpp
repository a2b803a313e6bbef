#include "live/FolderTree.h"

#include <algorithm>

namespace jollix {

uint32_t FolderTree::NewFolder() {
  if (free_.empty()) {
    folders_.emplace_back();
    return static_cast<uint32_t>(folders_.size() - 1);
  }
  uint32_t id = free_.back();
  free_.pop_back();
  folders_[id] = Folder();
  return id;
}

uint32_t FolderTree::AddRoot(std::string_view path) {
  uint32_t id = NewFolder();
  folders_[id].Name.assign(path);
  roots_.push_back(id);
  return id;
}

uint32_t FolderTree::Add(uint32_t parent, std::string_view name) {
  uint32_t id = NewFolder();
  folders_[id].Name.assign(name);
  Link(id, parent);
  return id;
}

void FolderTree::Link(uint32_t id, uint32_t parent) {
  folders_[id].Parent = parent;
  folders_[id].NextSibling = folders_[parent].FirstChild;
  folders_[parent].FirstChild = id;
}

void FolderTree::Unlink(uint32_t id) {
  uint32_t parent = folders_[id].Parent;
  if (parent == kNone) {
    roots_.erase(std::remove(roots_.begin(), roots_.end(), id), roots_.end());
    return;
  }
  uint32_t* link = &folders_[parent].FirstChild;
  while (*link != kNone && *link != id) link = &folders_[*link].NextSibling;
  if (*link == id) *link = folders_[id].NextSibling;
  folders_[id].Parent = kNone;
  folders_[id].NextSibling = kNone;
}

uint32_t FolderTree::Child(uint32_t parent, std::string_view name) const {
  for (uint32_t c = folders_[parent].FirstChild; c != kNone; c = folders_[c].NextSibling) {
    if (folders_[c].Name == name) return c;
  }
  return kNone;
}

void FolderTree::Move(uint32_t id, uint32_t parent, std::string_view name) {
  Unlink(id);
  folders_[id].Name.assign(name);
  Link(id, parent);
}

void FolderTree::ForEachBelow(uint32_t id, const std::function<void(uint32_t)>& each) const {
  std::vector<uint32_t> pending{id};
  while (!pending.empty()) {
    uint32_t f = pending.back();
    pending.pop_back();
    each(f);
    for (uint32_t c = folders_[f].FirstChild; c != kNone; c = folders_[c].NextSibling) {
      pending.push_back(c);
    }
  }
}

void FolderTree::Remove(uint32_t id, const std::function<void(uint32_t)>& gone) {
  std::vector<uint32_t> below;
  ForEachBelow(id, [&](uint32_t f) { below.push_back(f); });
  Unlink(id);
  for (uint32_t f : below) {
    gone(f);
    folders_[f] = Folder();
    free_.push_back(f);
  }
}

void FolderTree::Clear() {
  folders_.clear();
  free_.clear();
  roots_.clear();
}

std::string FolderTree::Path(uint32_t id) const {
  std::vector<uint32_t> chain;
  for (uint32_t f = id; f != kNone; f = folders_[f].Parent) chain.push_back(f);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it != chain.rbegin() && path.back() != '/') path += '/';
    path += folders_[*it].Name;
  }
  return path;
}

}  // namespace jollix
