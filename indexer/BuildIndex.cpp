#include "indexer/BuildIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "common/Fatal.h"
#include "common/FileRecord.h"
#include "common/FileTypeFile.h"
#include "common/IndexGeneration.h"
#include "common/IndexLayout.h"

namespace jollix {
namespace {

constexpr char kUnit[] = "BuildIndex";
constexpr char kMissingFileLine[] = "系统文件丢失,请与开发商联系!异常点为文件 %s 的第 %d 行\n";

// Longest record line taken, without its terminating NUL: a line reader with a 3000-byte
// buffer, as the readers of the record files use.
constexpr size_t kMaxLine = kRecordLineBuffer - 1;

// Splits index/AllFile.dat into lines with their byte offsets, reading the file in large
// chunks: the build is one sequential pass, and per-line reads would cost more than the build.
class RecordLines {
 public:
  explicit RecordLines(int fd) : fd_(fd), buffer_(kChunk + kMaxLine) {}

  // Sets *line (with its LF, if any) and *offset to the next line. A line longer than kMaxLine
  // is passed over whole: cut into pieces, its tail would look like records at offsets where no
  // record starts. Returns false at the end of the file.
  bool Next(std::string_view* line, int64_t* offset) {
    for (;;) {
      const char* start = buffer_.data() + pos_;
      const void* lf = std::memchr(start, '\n', end_ - pos_);
      if (lf) {
        size_t length = static_cast<const char*>(lf) - start + 1;
        *offset = base_ + static_cast<int64_t>(pos_);
        pos_ += length;
        if (skipping_) {
          skipping_ = false;
          continue;
        }
        if (length - 1 > kMaxLine) continue;
        *line = std::string_view(start, length);
        return true;
      }
      if (end_ - pos_ > kMaxLine) skipping_ = true;
      if (skipping_) Discard();
      if (!Fill()) break;
    }
    if (pos_ == end_ || skipping_) return false;  // the last line has no LF
    *offset = base_ + static_cast<int64_t>(pos_);
    *line = std::string_view(buffer_.data() + pos_, end_ - pos_);
    pos_ = end_;
    return true;
  }

 private:
  static constexpr size_t kChunk = 1 << 20;

  void Discard() {
    base_ += static_cast<int64_t>(end_);
    pos_ = end_ = 0;
  }

  // Moves the unfinished line to the front and reads the next chunk behind it.
  bool Fill() {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    base_ += static_cast<int64_t>(pos_);
    end_ -= pos_;
    pos_ = 0;
    ssize_t n;
    do {
      n = read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    end_ += static_cast<size_t>(n);
    return true;
  }

  int fd_;
  std::vector<char> buffer_;
  size_t pos_ = 0, end_ = 0;
  int64_t base_ = 0;  // file offset of buffer_[0]
  bool skipping_ = false;
};

// Writes postings as 32-bit little-endian integers with one write call.
bool WritePostings(FILE* f, const int32_t* postings, uint32_t count,
                   std::vector<uint32_t>* scratch) {
  if (count == 0) return true;
  const void* bytes = postings;
  if constexpr (std::endian::native != std::endian::little) {
    scratch->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      (*scratch)[i] = __builtin_bswap32(static_cast<uint32_t>(postings[i]));
    }
    bytes = scratch->data();
  }
  return std::fwrite(bytes, 4, count, f) == count;
}

void PutLittleEndian(uint32_t value, unsigned char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

void PostingList::Grow() {
  uint64_t wanted = static_cast<uint64_t>(capacity_) + capacity_ / 2;
  if (wanted < static_cast<uint64_t>(size_) + 1) wanted = static_cast<uint64_t>(size_) + 1;
  void* grown = wanted <= UINT32_MAX ? std::realloc(data_, wanted * sizeof(int32_t)) : nullptr;
  if (!grown) {
    std::fputs("JollixIndexer: out of memory while building the index\n", stderr);
    EndProcess(-1);
  }
  data_ = static_cast<int32_t*>(grown);
  capacity_ = static_cast<uint32_t>(wanted);
}

std::string_view NameExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return name.substr(dot + 1);
}

BuildIndex::BuildIndex(Prompter& prompter, const IndexConfig& config)
    : prompter_(prompter), config_(config), lists_(new PostingList[kListCount]) {
  int largest = 0;
  bool opened = ReadFileTypes(kFileTypeFile, FileTypeReader::kIndexBuilder,
                              [&](const FileTypeLine& line, int) {
                                types_.insert_or_assign(line.Extension, line.TypeNumber);
                                if (line.TypeNumber > largest) largest = line.TypeNumber;
                              });
  if (!opened) FatalLine(kMissingFileLine, kUnit, __LINE__, -5);
  next_type_ = largest + 1;
}

int BuildIndex::TypeNumberOf(std::string_view extension) const {
  auto it = types_.find(extension);
  return it == types_.end() ? -1 : it->second;
}

int BuildIndex::TypeListOf(std::string_view extension) {
  auto it = types_.find(extension);
  int type = it != types_.end()
                 ? it->second
                 : types_.emplace(std::string(extension), next_type_++).first->second;
  if (type > kMaxTypeNumber || type < 0) type = kMaxTypeNumber;
  return TypeListNumber(type);
}

void BuildIndex::AddRecord(char kind, std::string_view name, int32_t posting) {
  unsigned char lower[kRecordLineBuffer + 1];
  size_t n = name.size() < kRecordLineBuffer ? name.size() : kRecordLineBuffer;
  for (size_t i = 0; i < n; ++i) lower[i] = LowerByte(static_cast<unsigned char>(name[i]));
  lower[n] = 0;

  for (size_t i = 0; i < n;) {
    unsigned char b = lower[i];
    if (b >= 0x80) {
      lists_[DoubleByteListNumber(b, lower[i + 1])].AddOnce(posting);  // lower[n] is 0
      i += 2;
      continue;
    }
    lists_[b].AddOnce(posting);
    int pair = PairListNumber(b, lower[i + 1]);
    if (pair >= 0) lists_[pair].AddOnce(posting);
    ++i;
  }

  std::string_view extension;
  if (kind != kFolderRecord) {
    extension = NameExtension(std::string_view(reinterpret_cast<const char*>(lower), n));
  }
  lists_[TypeListOf(extension)].AddOnce(posting);
}

bool BuildIndex::AddLine(std::string_view line, int32_t posting) {
  FileRecord record;
  if (!ParseFileRecord(line, &record)) return false;
  AddRecord(record.Kind, record.Name, posting);
  return true;
}

void BuildIndex::ReadRecords(int fd) {
  RecordLines lines(fd);
  std::string_view line;
  int64_t offset;
  while (lines.Next(&line, &offset)) {
    // Postings are signed 32-bit: a record beyond that cannot be addressed and stays out.
    if (offset > INT32_MAX) break;
    if (AddLine(line, static_cast<int32_t>(offset))) ++record_count_;
  }
}

int BuildIndex::SaveLists(const char* meta_path, const char* data_path) const {
  FILE* meta = std::fopen(meta_path, "wb");
  if (!meta) return -2;
  FILE* data = std::fopen(data_path, "wb");
  if (!data) {
    std::fclose(meta);
    return -3;
  }
  // Written while every list is held: the buffer adds to the run's peak, so it is no larger
  // than a few hundred writes of the postings need.
  std::vector<char> data_buffer(1 << 18);
  std::setvbuf(data, data_buffer.data(), _IOFBF, data_buffer.size());

  std::vector<unsigned char> directory(static_cast<size_t>(kListCount) * 8);
  std::vector<uint32_t> scratch;
  uint32_t start = 0;
  bool data_ok = true;
  for (int i = 0; i < kListCount; ++i) {
    const PostingList& list = lists_[i];
    PutLittleEndian(start, &directory[static_cast<size_t>(i) * 8]);
    PutLittleEndian(list.size(), &directory[static_cast<size_t>(i) * 8 + 4]);
    if (data_ok) data_ok = WritePostings(data, list.data(), list.size(), &scratch);
    start += list.size() * 4;
  }
  bool meta_ok = std::fwrite(directory.data(), 1, directory.size(), meta) == directory.size();
  meta_ok = (std::fflush(meta) == 0) && meta_ok;
  meta_ok = (std::fclose(meta) == 0) && meta_ok;
  data_ok = (std::fflush(data) == 0) && data_ok;
  data_ok = (std::fclose(data) == 0) && data_ok;
  if (!meta_ok) return -2;
  if (!data_ok) return -3;
  return 0;
}

int BuildIndex::Build(const char* records) {
  int fd = open(records, O_RDONLY | O_CLOEXEC);
  if (fd < 0) FatalLine(kMissingFileLine, kUnit, __LINE__, -4);
  record_count_ = 0;
  ConsoleWrite("正在建立索引，请稍候......\n");
  ReadRecords(fd);
  close(fd);

  ConsoleWrite("正在保存索引，请稍候......\n");
  int saved = SaveLists(kMetaIndexTempFile, kIndexDataTempFile);
  if (saved == 0) saved = PublishGeneration(records, kMetaIndexTempFile, kIndexDataTempFile);
  if (saved != 0) {
    // The previous generation stays whole: nothing of this run is left behind.
    std::remove(kMetaIndexTempFile);
    std::remove(kIndexDataTempFile);
    if (std::strcmp(records, kAllFileFile) != 0) std::remove(records);
  }
  if (saved == -2) FatalLine(kMissingFileLine, kUnit, __LINE__, -2);
  if (saved == -3) FatalLine(kMissingFileLine, kUnit, __LINE__, -3);

  config_.LastIndexTime = static_cast<int32_t>(std::time(nullptr));
  if (!WriteConfig(kConfigFile, config_, LineEnd::kLf)) {
    prompter_.Ask("打开系统配置文件失败，请与软件开发商联系！", "打开文件失败", PromptButtons::kOk);
    EndProcess(-1);
  }
  return 0;
}

}  // namespace jollix
