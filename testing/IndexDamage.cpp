#include "testing/IndexDamage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "common/IndexLayout.h"
#include "common/TextFile.h"

namespace jollix::testing {
namespace {

std::string Read(const std::string& path) {
  std::string content;
  if (!ReadWholeFile(path.c_str(), &content)) throw std::runtime_error("cannot read " + path);
  return content;
}

void Write(const std::string& path, const std::string& content) {
  if (!WriteFileAtomically(path.c_str(), content)) {
    throw std::runtime_error("cannot write " + path);
  }
}

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return v;
}

void Put32(std::string* bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes->at(at + i) = static_cast<char>(v >> (8 * i));
}

void SetTime(const std::string& path, struct timespec t) {
  const struct timespec times[2] = {t, t};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set the time of " + path);
  }
}

// The first non-empty list among numbers [first, last).
int FirstFilledList(const std::string& meta, int first, int last) {
  for (int n = first; n < last; ++n) {
    if (Get32(meta, size_t{8} * n + 4) != 0) return n;
  }
  throw std::runtime_error("no list filled");
}

}  // namespace

const char* IndexDamageName(IndexDamage damage) {
  switch (damage) {
    case IndexDamage::kPostingsTruncated:
      return "PostingsTruncated";
    case IndexDamage::kListPastEnd:
      return "ListPastEnd";
    case IndexDamage::kLengthsOff:
      return "LengthsOff";
    case IndexDamage::kRecordsTruncated:
      return "RecordsTruncated";
    case IndexDamage::kPostingPastRecords:
      return "PostingPastRecords";
    case IndexDamage::kRecordsOlder:
      return "RecordsOlder";
    case IndexDamage::kPostingsNewer:
      return "PostingsNewer";
  }
  return "?";
}

bool SeenAtLoad(IndexDamage damage) { return damage != IndexDamage::kPostingPastRecords; }

void DamageIndex(const std::string& install, IndexDamage damage) {
  const std::string records = install + "/" + kAllFileFile;
  const std::string meta_path = install + "/" + kMetaIndexFile;
  const std::string data_path = install + "/" + kIndexDataFile;
  std::string meta = Read(meta_path), data = Read(data_path);
  switch (damage) {
    case IndexDamage::kPostingsTruncated:
      Write(data_path, data.substr(0, data.size() - 4));
      break;
    case IndexDamage::kListPastEnd:
      Put32(&meta, size_t{8} * FirstFilledList(meta, kTypeListBase, kListCount) + 4, 0x10000000);
      Write(meta_path, meta);
      break;
    case IndexDamage::kLengthsOff: {
      const size_t at = size_t{8} * FirstFilledList(meta, 0, kCharListCount) + 4;
      Put32(&meta, at, Get32(meta, at) + 1);
      Write(meta_path, meta);
      break;
    }
    case IndexDamage::kRecordsTruncated: {
      const std::string all = Read(records);
      Write(records, all.substr(0, all.find('\n') + 1));
      break;
    }
    case IndexDamage::kPostingPastRecords: {
      const size_t entry = size_t{8} * '.';
      const uint32_t count = Get32(meta, entry + 4);
      if (count == 0) throw std::runtime_error("no name holds a dot");
      Put32(&data, Get32(meta, entry) + size_t{4} * (count - 1), 0x7FFFFFF0);
      Write(data_path, data);
      break;
    }
    case IndexDamage::kRecordsOlder:
    case IndexDamage::kPostingsNewer:
      break;
  }
  struct stat st;
  if (stat(meta_path.c_str(), &st) != 0) throw std::runtime_error("no directory");
  const struct timespec stamp = st.st_mtim, later = {stamp.tv_sec + 10, stamp.tv_nsec},
                        earlier = {stamp.tv_sec - 10, stamp.tv_nsec};
  SetTime(records, damage == IndexDamage::kRecordsOlder ? earlier : stamp);
  SetTime(meta_path, stamp);
  SetTime(data_path, damage == IndexDamage::kPostingsNewer ? later : stamp);
}

}  // namespace jollix::testing
