// CDocSearchDialog: the document form of the side bar (dialog 131). A group "互联网文档搜索" with
// the query field under "搜索关键词：", the six file-type choices under "文档格式：" ("所有文档"
// 0, "WORD文档" 1, "PDF文档" 2, "EXCEL文档" 3, "PPT文档" 4, "RTF文档" 5; "所有文档" checked when
// the form opens) and the button "Jollix文档搜索".
//
// The button, and Enter anywhere in the form, run the document search with the engine of the
// selected result tab (0 Baidu, 1 Sogou, 2 Google) and the type word of the checked choice;
// Google refuses "所有文档" before any fetch. Escape is swallowed. Showing the form puts the
// focus into the query field.
//
// The file-type choice is always the checked button, whether the user or SetEngineBoxes checked
// it, so the search never asks for another type than the form shows.
#pragma once

#include <array>

#include "channels/DocSearch.h"
#include "channels/QueryFormPane.h"

class QRadioButton;

namespace jollix {

class CDocSearchDialog : public QueryFormPane {
  Q_OBJECT

 public:
  static constexpr int kFileTypeCount = 6;

  // context's ports must outlive the form.
  explicit CDocSearchDialog(const ChannelContext& context, QWidget* parent = nullptr);

  // The main window's document commands: Baidu and Sogou (google false) show "所有文档" and
  // check it, which unchecks "WORD文档"; Google (true) checks "WORD文档" and hides "所有文档",
  // a choice that engine refuses.
  void SetEngineBoxes(bool google);

  // The checked file-type choice, 0 to 5.
  int FileTypeChoice() const;

  QRadioButton* FileTypeButton(int choice) const { return types_.at(choice); }

 protected:
  void ReadFields(SearchForm* form) override;

 private:
  // Constructed after the base, which only keeps a reference to it until a search runs.
  DocChannel docs_;
  std::array<QRadioButton*, kFileTypeCount> types_{};
};

}  // namespace jollix
