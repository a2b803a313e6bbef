#include "live/LiveIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "common/ConfigFile.h"
#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/ScanFolderFile.h"
#include "common/TextFile.h"
#include "indexer/FolderWalk.h"
#include "indexer/IndexRun.h"
#include "indexer/ScanProgress.h"

namespace jollix {
namespace {

// How long Load waits for another program's renames to leave one whole generation in place.
constexpr int kLoadAttempts = 50;
constexpr auto kLoadPause = std::chrono::milliseconds(100);

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Whether path is among the sorted paths of except (none when except is null).
bool Excepted(const std::vector<uint64_t>* except, uint64_t path) {
  return except && std::binary_search(except->begin(), except->end(), path);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The path without its final separators (but "/" stays).
std::string_view WithoutFinalSlash(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

// A record line's name and folder field; false when it has not both.
bool SplitRecordLine(std::string_view line, std::string_view* name, std::string_view* folder) {
  const size_t tab1 = line.find('\t', 1);
  if (line.empty() || tab1 == std::string_view::npos) return false;
  const size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos) return false;
  *name = line.substr(1, tab1 - 1);
  *folder = line.substr(tab1 + 1, tab2 - tab1 - 1);
  return !folder->empty();
}

// The walk's record lines, cut at their LFs, each handed to take on the walking thread.
struct LineSink {
  std::string Partial;
  std::function<void(std::string_view)> Take;
};

ssize_t SinkWrite(void* cookie, const char* bytes, size_t size) {
  auto* sink = static_cast<LineSink*>(cookie);
  std::string_view rest(bytes, size);
  for (;;) {
    const size_t lf = rest.find('\n');
    if (lf == std::string_view::npos) break;
    if (sink->Partial.empty()) {
      sink->Take(rest.substr(0, lf + 1));
    } else {
      sink->Partial.append(rest.substr(0, lf + 1));
      sink->Take(sink->Partial);
      sink->Partial.clear();
    }
    rest.remove_prefix(lf + 1);
  }
  sink->Partial.append(rest);
  return static_cast<ssize_t>(size);
}

}  // namespace

std::unique_ptr<LiveIndex> LiveIndex::Open(Prompter& prompter, std::string* error) {
  std::unique_ptr<LiveIndex> live(new LiveIndex(prompter));
  if (!live->ReadRoots()) {
    *error = "cannot read index/ScanFolder.txt";
    return nullptr;
  }
  if (access(kAllFileFile, F_OK) != 0 || access(kMetaIndexFile, F_OK) != 0 ||
      access(kIndexDataFile, F_OK) != 0) {
    // No index yet: the whole run builds one, whether due or not.
    IndexConfig config;
    if (!ReadConfig(kConfigFile, &config)) {
      *error = "cannot read config.txt";
      return nullptr;
    }
    ScanProgress progress;
    ScanAndBuild(prompter, progress, config);
  }
  if (!live->Load(error)) return nullptr;
  return live;
}

LiveIndex::~LiveIndex() { CloseFiles(); }

void LiveIndex::CloseFiles() {
  if (records_fd_ >= 0) close(records_fd_);
  if (journal_fd_ >= 0) close(journal_fd_);
  records_fd_ = journal_fd_ = -1;
  records_.Clear();
  journal_.Clear();
  journal_children_.clear();
}

bool LiveIndex::ReadRoots() {
  std::vector<ScanFolderEntry> entries;
  if (stat(kScanFolderFile, &scan_folders_) != 0 || !ReadScanFolders(kScanFolderFile, &entries)) {
    return false;
  }
  roots_.clear();
  for (const ScanFolderEntry& e : entries) {
    if (e.Marker != kRescanMarker || e.Path.empty()) continue;
    roots_.push_back({e.Path, DiskPathFromGbk(e.Path)});
  }
  return true;
}

std::vector<std::string> LiveIndex::WatchedRoots() const {
  std::vector<std::string> disk;
  for (const Root& root : roots_) disk.emplace_back(WithoutFinalSlash(root.Disk));
  return disk;
}

bool LiveIndex::Load(std::string* error) {
  CloseFiles();
  const char* const names[3] = {kAllFileFile, kMetaIndexFile, kIndexDataFile};
  for (int attempt = 0;; ++attempt) {
    int fds[3];
    struct stat st[3];
    bool opened = true;
    for (int i = 0; i < 3; ++i) {
      fds[i] = open(names[i], (i == 0 ? O_RDWR : O_RDONLY) | O_CLOEXEC);
      opened = opened && fds[i] >= 0 && fstat(fds[i], &st[i]) == 0;
    }
    const bool whole = opened && IsWholeGeneration(st[0], st[1], st[2]);
    for (int i = 1; i < 3; ++i) {
      if (fds[i] >= 0) close(fds[i]);
    }
    if (whole) {
      records_fd_ = fds[0];
      for (int i = 0; i < 3; ++i) identity_[i] = IdentityOf(st[i]);
      stamp_ = StampOf(st[2]);
      break;
    }
    if (fds[0] >= 0) close(fds[0]);
    if (attempt + 1 == kLoadAttempts) {
      *error = opened ? "the index files in index/ are not of one index run"
                      : "cannot open the index files in index/";
      return false;
    }
    std::this_thread::sleep_for(kLoadPause);
  }
  if (!records_.Load(records_fd_)) {
    *error = "cannot read index/AllFile.dat";
    return false;
  }
  if (!OpenJournal()) {
    *error = "cannot write index/Journal.dat";
    return false;
  }
  return true;
}

bool LiveIndex::OpenJournal() {
  std::string text;
  GenerationStamp named;
  const bool ours = ReadWholeFile(kJournalFile, &text) &&
                    ParseJournalHeader(text.substr(0, text.find('\n') + 1), &named) &&
                    named == stamp_;
  if (!ours) {
    // None yet, or one of an older generation: what it held is on the disk, and CatchUp
    // brings it in again.
    if (!StartJournal(stamp_)) return false;
  } else if (text.back() != '\n') {
    // A line cut short by a kill: cut it off, so that the next line starts a line of its own.
    // The file is replaced whole, never cut in place, as readers map it.
    if (!WriteFileAtomically(kJournalFile, text.substr(0, text.rfind('\n') + 1))) return false;
  }
  journal_fd_ = open(kJournalFile, O_WRONLY | O_APPEND | O_CLOEXEC);
  if (journal_fd_ < 0) return false;
  journal_.Refresh(stamp_);
  for (const JournalView::Entry& e : journal_.Entries()) {
    if (!e.Latest) continue;
    journal_children_[journal_.ParentOf(e)].push_back(e.Path);
    // A kill between a journal line and the withdrawal of the record it replaces.
    if (IndexedEntries::Record* r = records_.Find(e.Path)) MarkWithdrawn(r);
  }
  return true;
}

bool LiveIndex::GenerationReplaced() const {
  const char* const names[3] = {kAllFileFile, kMetaIndexFile, kIndexDataFile};
  struct stat st[3];
  bool same = true;
  for (int i = 0; i < 3; ++i) {
    if (stat(names[i], &st[i]) != 0) return false;
    same = same && IdentityOf(st[i]) == identity_[i];
  }
  return !same && IsWholeGeneration(st[0], st[1], st[2]);
}

bool LiveIndex::ScanFoldersChanged() const {
  struct stat st;
  return stat(kScanFolderFile, &st) == 0 && !SameFile(st, scan_folders_);
}

bool LiveIndex::TakeUpChanges() {
  bool roots_changed = false, catch_up = false;
  if (ScanFoldersChanged()) {
    const std::vector<std::string> before = WatchedRoots();
    if (ReadRoots()) {
      roots_changed = WatchedRoots() != before;
      catch_up = true;
    }
  }
  if (GenerationReplaced()) {
    std::string error;
    if (!Load(&error)) {
      std::fprintf(stderr, "jollix watch: %s\n", error.c_str());
      return roots_changed;
    }
    catch_up = true;
  }
  if (catch_up) CatchUp();
  return roots_changed;
}

bool LiveIndex::Locate(std::string_view path, Place* place) const {
  path = WithoutFinalSlash(path);
  for (const Root& root : roots_) {
    const std::string_view disk = WithoutFinalSlash(root.Disk);
    if (path == disk) {
      *place = Place();
      place->Owner = &root;
      place->IsRoot = true;
      place->Disk = std::string(path);
      place->Path = PathHash(root.Gbk);
      return true;
    }
    const bool below = path.size() > disk.size() && path.compare(0, disk.size(), disk) == 0 &&
                       (path[disk.size()] == '/' || disk == "/");
    if (!below) continue;
    std::string_view rest = path.substr(disk.size());
    std::string folder = root.Gbk, name;
    bool first = true;
    while (!rest.empty()) {
      if (rest[0] == '/') {
        rest.remove_prefix(1);
        continue;
      }
      const size_t slash = rest.find('/');
      const std::string_view part = rest.substr(0, slash);
      if (!IsRecordedName(part)) return false;
      if (!first) folder.append(1, kPathSeparator).append(name);
      name = FileNameToGbk(part);
      first = false;
      rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash);
    }
    if (first || !FitsPathBuffers(folder.size(), name.size())) return false;
    *place = Place();
    place->Owner = &root;
    place->Folder = std::move(folder);
    place->Name = std::move(name);
    place->Disk = std::string(path);
    place->Path = PathHash(place->Folder + kPathSeparator, place->Name);
    return true;
  }
  return false;
}

LiveIndex::Current LiveIndex::CurrentOf(uint64_t path) {
  if (const JournalView::Entry* e = journal_.Find(path)) {
    if (e->Kind == kWithdrawnRecord) return {};
    const uint32_t line = LineHash(journal_.Line(*e));
    return {true, IsFolderLine(line), line};
  }
  if (IndexedEntries::Record* r = records_.Find(path))
    return {true, IsFolderLine(r->Line), r->Line};
  return {};
}

void LiveIndex::AppendJournal(std::string_view line) {
  std::string_view name, folder;
  if (!SplitRecordLine(line, &name, &folder)) return;
  const bool named = journal_.Names(PathHash(folder, name));
  if (!WriteAll(journal_fd_, line)) {
    std::fprintf(stderr, "jollix watch: cannot write %s: %s\n", kJournalFile, std::strerror(errno));
    return;
  }
  const size_t before = journal_.LineCount();
  journal_.Refresh(stamp_);
  for (size_t i = before; i < journal_.Entries().size(); ++i) {
    const JournalView::Entry& e = journal_.Entries()[i];
    if (e.Latest && !named) journal_children_[journal_.ParentOf(e)].push_back(e.Path);
  }
}

void LiveIndex::MarkWithdrawn(IndexedEntries::Record* record) {
  char line[kRecordLineBuffer];
  const ssize_t got = ReadAt(records_fd_, line, sizeof line - 1, record->Offset);
  std::string_view name, folder;
  if (got > 0 &&
      SplitRecordLine(std::string_view(line, static_cast<size_t>(got)), &name, &folder)) {
    if (WithdrawRecordLines(records_fd_, {{record->Offset, name, folder}}) < 0) {
      std::fprintf(stderr, "jollix watch: cannot write %s: %s\n", kAllFileFile,
                   std::strerror(errno));
      return;
    }
  }
  record->Offset |= IndexedEntries::kWithdrawn;
}

void LiveIndex::PutLine(uint64_t path, std::string_view line) {
  const Current now = CurrentOf(path);
  if (!now.Present || now.Line != LineHash(line)) AppendJournal(line);
  // The record the journal's line replaced (also one whose withdrawal a kill cut off).
  if (journal_.Names(path)) {
    if (IndexedEntries::Record* r = records_.Find(path)) MarkWithdrawn(r);
  }
}

void LiveIndex::Put(const Place& place, const struct stat& st) {
  std::string line;
  AppendEntryRecord(&line, place.Name, place.Folder, st);
  PutLine(place.Path, line);
}

void LiveIndex::Withdraw(uint64_t path) {
  if (const JournalView::Entry* e = journal_.Find(path); e && e->Kind != kWithdrawnRecord) {
    std::string_view name, folder;
    if (SplitRecordLine(journal_.Line(*e), &name, &folder)) {
      std::string gone(1, kWithdrawnRecord);
      gone.append(name).append(1, '\t').append(folder).append("\t0\t0\n");
      AppendJournal(gone);
    }
  }
  if (IndexedEntries::Record* r = records_.Find(path)) MarkWithdrawn(r);
}

void LiveIndex::CollectBelow(uint64_t folder, std::vector<uint64_t>* paths,
                             const std::vector<uint64_t>* seen) {
  // Each entry stands once: in the journal (which names it once per folder) or in the records
  // (unless the journal names it). Only folders are looked into.
  std::vector<uint64_t> folders{folder};
  while (!folders.empty()) {
    const uint64_t f = folders.back();
    folders.pop_back();
    records_.ForEachChild(f, [&](const IndexedEntries::Record& r) {
      if (journal_.Names(r.Path)) return;
      if (!seen || !records_.Seen(r)) paths->push_back(r.Path);
      if (IsFolderLine(r.Line)) folders.push_back(r.Path);
    });
    auto it = journal_children_.find(f);
    if (it == journal_children_.end()) continue;
    for (uint64_t path : it->second) {
      const JournalView::Entry* e = journal_.Find(path);
      if (!e || e->Kind == kWithdrawnRecord) continue;
      if (!Excepted(seen, path)) paths->push_back(path);
      if (e->Kind == kFolderRecord) folders.push_back(path);
    }
  }
}

void LiveIndex::WithdrawTree(uint64_t path) {
  std::vector<uint64_t> below;
  CollectBelow(path, &below);
  for (uint64_t p : below) Withdraw(p);
  Withdraw(path);
}

void LiveIndex::RefreshFolder(const Place& place) {
  if (!place.IsRoot) RefreshFolderOf(place.Disk);
}

void LiveIndex::ReconcileBelow(const std::string& gbk_folder, uint64_t folder) {
  // What the walk finds is marked on the records, or listed when the journal holds it (the
  // journal is bounded, the records are not).
  std::vector<uint64_t> seen_in_journal;
  LineSink sink;
  sink.Take = [&](std::string_view line) {
    std::string_view name, field;
    if (!SplitRecordLine(line, &name, &field)) return;
    const uint64_t path = PathHash(field, name);
    PutLine(path, line);
    records_.MarkSeen(path);
    if (journal_.Names(path)) seen_in_journal.push_back(path);
  };
  cookie_io_functions_t io = {nullptr, SinkWrite, nullptr, nullptr};
  FILE* out = fopencookie(&sink, "w", io);
  if (!out) return;
  ScanProgress progress;
  WalkFolder(gbk_folder, out, progress, WalkThreadCount());
  std::fclose(out);
  std::sort(seen_in_journal.begin(), seen_in_journal.end());
  std::vector<uint64_t> gone;
  CollectBelow(folder, &gone, &seen_in_journal);
  records_.EndSeen();
  for (uint64_t path : gone) Withdraw(path);
}

void LiveIndex::CatchUp() {
  for (const Root& root : roots_) ReconcileBelow(root.Gbk, PathHash(root.Gbk));
}

void LiveIndex::RefreshFolderOf(std::string_view path) {
  path = WithoutFinalSlash(path);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return;
  Place folder;
  struct stat st;
  if (!Locate(path.substr(0, slash), &folder) || folder.IsRoot) return;
  if (lstat(folder.Disk.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Put(folder, st);
}

void LiveIndex::EntryChanged(std::string_view path) {
  Place place;
  if (!Locate(path, &place)) {
    // An entry the scan leaves out (a dot name) still moves its folder's time on.
    RefreshFolderOf(path);
    return;
  }
  if (place.IsRoot) {
    SubtreeChanged(path);
    return;
  }
  struct stat st;
  if (lstat(place.Disk.c_str(), &st) != 0) {
    WithdrawTree(place.Path);
    RefreshFolder(place);
    return;
  }
  const Current before = CurrentOf(place.Path);
  Put(place, st);
  if (S_ISDIR(st.st_mode) && !before.Folder) {
    // A folder new to the index: its entries may have come before anyone watched it.
    ReconcileBelow(place.Folder + kPathSeparator + place.Name, place.Path);
  } else if (!S_ISDIR(st.st_mode) && before.Folder) {
    std::vector<uint64_t> below;
    CollectBelow(place.Path, &below);
    for (uint64_t p : below) Withdraw(p);
  }
  RefreshFolder(place);
}

void LiveIndex::SubtreeChanged(std::string_view path) {
  Place place;
  if (!Locate(path, &place)) {
    RefreshFolderOf(path);
    return;
  }
  if (place.IsRoot) {
    ReconcileBelow(place.Owner->Gbk, place.Path);
    return;
  }
  struct stat st;
  if (lstat(place.Disk.c_str(), &st) != 0) {
    WithdrawTree(place.Path);
    RefreshFolder(place);
    return;
  }
  Put(place, st);
  if (S_ISDIR(st.st_mode)) {
    ReconcileBelow(place.Folder + kPathSeparator + place.Name, place.Path);
  } else {
    std::vector<uint64_t> below;
    CollectBelow(place.Path, &below);
    for (uint64_t p : below) Withdraw(p);
  }
  RefreshFolder(place);
}

void LiveIndex::Flush() {
  if (journal_.LineCount() < std::max(fold_lines_, retry_fold_at_)) return;
  const int folded = Fold();
  if (folded == 0 || folded == -6) {
    retry_fold_at_ = 0;
    return;
  }
  // Tried again after another tenth of the bound, not at every notice.
  retry_fold_at_ = journal_.LineCount() + std::max<size_t>(fold_lines_ / 10, 1);
  std::fprintf(stderr, "jollix watch: the journal could not be folded into the index (%d)\n",
               folded);
}

}  // namespace jollix
