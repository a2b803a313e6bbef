#include "results/DetailLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "common/FormattedInput.h"
#include "common/Gbk.h"

namespace jollix {

std::vector<std::string> WrapDetailText(std::string_view text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t length = std::min(kWrapWidth, text.size() - at);
    size_t high = 0;
    for (size_t i = 0; i < length; ++i) high += static_cast<unsigned char>(text[at + i]) >= 0x80;
    if (high % 2 == 1 && at + length < text.size()) ++length;
    lines.emplace_back(text.substr(at, length));
    at += length;
  }
  return lines;
}

std::string DesktopRowPath(const ResultPage& page, int row) {
  return page.Cell(row, kFolderColumn) + page.Cell(row, kNameColumn);
}

uint32_t SizeFromCell(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && IsBlankByte(static_cast<unsigned char>(text[at]))) ++at;
  uint32_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10u + static_cast<uint32_t>(text[at] - '0');
  }
  return value;
}

bool OpensAsFile(const std::string& gbk_path) {
  std::string disk;
  if (!ExistingDiskPath(gbk_path, &disk)) return false;
  struct stat st;
  if (stat(disk.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Non-blocking, so that a named pipe standing where the file was cannot hang the list.
  const int fd = open(disk.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::vector<std::string> WebDetailLines(const ResultPage& page, int column_count,
                                        const std::vector<int>& selected, int detail_column) {
  std::vector<std::string> lines = {kWebDetailsHint, ""};
  if (selected.empty()) return lines;
  const int row = selected.front();
  if (detail_column == -1) {
    for (int column = 0; column < column_count; ++column) lines.push_back(page.Cell(row, column));
    return lines;
  }
  for (std::string& line : WrapDetailText(page.Cell(row, detail_column))) {
    lines.push_back(std::move(line));
  }
  return lines;
}

namespace {

std::vector<std::string> OneFileLines(const ResultPage& page, int row) {
  if (!OpensAsFile(DesktopRowPath(page, row))) return {kFileVanishedLine};
  std::vector<std::string> lines = {kFileDetailsHint, ""};
  lines.push_back("文件或目录名: " + page.Cell(row, kNameColumn));
  lines.push_back("所在文件夹  : " + page.Cell(row, kFolderColumn));
  char line[64];
  // Sizes are unsigned 32-bit numbers; %u keeps a file of 2 GiB or more from showing negative.
  std::snprintf(line, sizeof line, "文件大小    : %u 字节",
                SizeFromCell(page.Cell(row, kSizeColumn)));
  lines.push_back(line);
  lines.push_back("文件修改时间: " + page.Cell(row, kTimeColumn));
  return lines;
}

std::vector<std::string> SeveralFilesLines(const ResultPage& page,
                                           const std::vector<int>& selected) {
  uint32_t total = 0;
  for (int row : selected) total += SizeFromCell(page.Cell(row, kSizeColumn));
  std::vector<std::string> lines = {kFileDetailsHint, ""};
  char line[64];
  std::snprintf(line, sizeof line, "共选择文件:%10d  个", static_cast<int>(selected.size()));
  lines.push_back(line);
  std::snprintf(line, sizeof line, "文件总大小:%10u  字节", total);
  lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<std::string> FileDetailLines(const ResultPage& page, const std::vector<int>& selected) {
  if (selected.empty()) return {};
  if (selected.size() == 1) return OneFileLines(page, selected.front());
  return SeveralFilesLines(page, selected);
}

std::vector<std::string> DetailLines(const ResultPage& page, int column_count,
                                     const std::vector<int>& selected, int result_type,
                                     int detail_column) {
  if (result_type == 0) return FileDetailLines(page, selected);
  return WebDetailLines(page, column_count, selected, detail_column);
}

}  // namespace jollix
