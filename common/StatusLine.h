// Port: the panes of the status bar. Texts are GBK.
#pragma once

namespace jollix {

class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual void SetText(int pane, const char* text) = 0;
};

}  // namespace jollix
