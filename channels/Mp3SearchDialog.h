// CMp3SearchDialog: the music form of the side bar (dialog 132). A group "互联网音乐搜索" with the
// query field 1011 under "搜索关键词：", the format choices under "音乐格式：" (1047 "全部音乐"
// -1, checked when the form opens; 1054 "mp3文件" 0; 1055 "rm文件" 1; 1056 "wma文件" 2) and the
// button 1039 "Jollix音乐搜索".
//
// The button, and Enter anywhere in the form, run the music search with the engine of the
// selected result tab (0 Baidu MP3, 1 Yahoo music) and the checked format; Escape is swallowed.
// Showing the form puts the focus into the query field.
#pragma once

#include <array>

#include "channels/MusicSearch.h"
#include "channels/QueryFormPane.h"

class QRadioButton;

namespace jollix {

class CMp3SearchDialog : public QueryFormPane {
  Q_OBJECT

 public:
  // context's ports must outlive the form.
  explicit CMp3SearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

  // The checked format choice: -1 all music, 0 mp3, 1 rm, 2 wma.
  int FormatChoice() const;

 protected:
  void ReadFields(SearchForm* form) override;

 private:
  // Constructed after the base, which only keeps a reference to it until a search runs.
  MusicChannel music_;
  std::array<QRadioButton*, 4> formats_{};  // the choices -1, 0, 1, 2
};

}  // namespace jollix
