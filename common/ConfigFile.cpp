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

std::string FormatConfig(const IndexConfig& config, LineEnd line_end) {
  const std::string end = line_end == LineEnd::kCrLf ? "\r\n" : "\n";
  std::string text;
  text += "索引更新频率\t" + std::to_string(config.UpdateFrequency) + end;
  text += "上次索引时间\t" + std::to_string(config.LastIndexTime) + end;
  text += std::string("第一服务器IP\t") + config.FirstServerAddress + end;
  text += std::string("第二服务器IP\t") + config.SecondServerAddress + end;
  return text;
}

bool WriteConfig(const char* path, const IndexConfig& config, LineEnd line_end) {
  return WriteFileAtomically(path, FormatConfig(config, line_end));
}

}  // namespace jollix
