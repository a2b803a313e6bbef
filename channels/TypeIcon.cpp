#include "channels/TypeIcon.h"

#include <unistd.h>

#include <cstring>

#include "common/Gbk.h"
#include "common/IndexLayout.h"

namespace jollix {

namespace {
constexpr char kPlaceholder[] = "index/virtualfile.";
constexpr char kUnknownType[] = "unknowextend";
}  // namespace

void LowerCaseInPlace(char* text) {
  for (; *text; ++text) *text = static_cast<char>(LowerByte(static_cast<unsigned char>(*text)));
}

std::string TypePlaceholderPath(const char* type) {
  if (type && *type && !std::strchr(type, '/')) {
    std::string path = std::string(kPlaceholder) + type;
    if (access(DiskPathFromGbk(path).c_str(), F_OK) == 0) return path;
  }
  return std::string(kPlaceholder) + kUnknownType;
}

int AddTypeIcon(IconList& icons, const char* type) {
  return icons.AddIconOf(TypePlaceholderPath(type).c_str());
}

}  // namespace jollix
