#include "common/ConfigFile.h"

#include <cstdio>
#include <string>

#include "common/FormattedInput.h"
#include "common/TextFile.h"

namespace jollix {

bool ReadConfig(const char* path, IndexConfig* config) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return false;
  ScanFormat(text, "索引更新频率\t%d\n上次索引时间\t%d\n第一服务器IP\t%s\n第二服务器IP\t%s\n",
             {&config->UpdateFrequency, &config->LastIndexTime, config->FirstServerAddress,
              config->SecondServerAddress});
  return true;
}

bool WriteConfig(const char* path, const IndexConfig& config, LineEnd line_end) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const char* end = line_end == LineEnd::kCrLf ? "\r\n" : "\n";
  std::fprintf(f, "索引更新频率\t%d%s", config.UpdateFrequency, end);
  std::fprintf(f, "上次索引时间\t%d%s", config.LastIndexTime, end);
  std::fprintf(f, "第一服务器IP\t%s%s", config.FirstServerAddress, end);
  std::fprintf(f, "第二服务器IP\t%s%s", config.SecondServerAddress, end);
  return CloseWritten(f);
}

}  // namespace jollix
