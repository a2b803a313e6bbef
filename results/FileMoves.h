// Moving and copying the files (or folders) of the desktop page to another folder. Paths are
// disk spellings, never GBK text.
//
// Unlike POSIX rename, a move never replaces what stands at the destination: it fails, so that
// the caller can ask whether to overwrite. An entry is never moved or copied onto itself or
// into a folder inside itself (an overwrite would delete the source; a copy would never end).
#pragma once

#include <string>

namespace jollix {

// Whether to is the entry from itself, or lies inside the folder from.
bool SameOrInside(const std::string& from, const std::string& to);

// Moves from to to; false when to exists, when to is from or lies inside it, or when the move
// fails. Across file systems the entry is copied and the source removed; when the source cannot
// be removed after a copy, the move counts as failed (the entry still stands where it was).
bool MoveEntry(const std::string& from, const std::string& to);

// Copies from to to (a folder with all it holds; symbolic links as links). Without overwrite it
// fails when to exists; with overwrite an existing file is replaced. False on any failure.
bool CopyEntry(const std::string& from, const std::string& to, bool overwrite);

// Removes the entry at path when it is a file, a link or an empty folder (never a folder's
// contents); true when nothing stands there afterwards.
bool RemoveEntry(const std::string& path);

}  // namespace jollix
