// Port: the process-wide list of small file icons.
#pragma once

namespace jollix {

class IconList {
 public:
  virtual ~IconList() = default;
  // Appends the icon that the shell shows for path (GBK) and returns its index.
  virtual int AddIconOf(const char* path) = 0;
};

}  // namespace jollix
