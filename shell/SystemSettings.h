// The system settings dialog's data and actions, without widgets: the file-type list, the
// folder list with its check marks, the field texts, and what the buttons and list clicks do to
// them. The dialog (CSystemSetting) shows this state and hands user input to it.
//
// The files are read from and written to the current folder (the installation folder):
// index/FileType.txt, index/ScanFolder.txt and config.txt. Texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "common/ConfigFile.h"
#include "common/Prompter.h"
#include "common/Shell.h"

namespace jollix {

// The frequency texts in the order of the sorted frequency box.
std::vector<std::string> FrequencyTexts();
// The type-class texts of the type box, class 1 to 5.
std::vector<std::string> TypeClassTexts();

// The text shown for a frequency value; any unknown value shows the every-start text.
const char* FrequencyText(int update_frequency);
// The frequency value of a text, by its first two characters; 0 for any other text.
int FrequencyOfText(const std::string& text);
// The class number saved for a type text: 1 to 4 for their texts, 5 for any other text.
int TypeClassOfText(const std::string& text);

struct FileTypeRow {
  std::string Extension, TypeText, Description;
};

struct FolderRow {
  std::string Folder;
  bool Checked = false;  // the folder's index is updated at the next run ('_')
};

// The texts of the dialog's fields.
struct SettingFields {
  std::string Extension;      // 1030
  std::string TypeText;       // 1053
  std::string Description;    // 1040
  std::string Folder;         // 1035
  std::string FrequencyText;  // 1055
};

// How a press of OK ended.
enum class SaveResult {
  kSaved,             // all three files written: the dialog closes
  kIndexFilesFailed,  // a type or folder file could not be written: told, the dialog closes,
                      // both keep their old contents
  kConfigFailed,      // config.txt could not be written: told, the dialog stays open
};

class SystemSettings {
 public:
  // config is the program's copy of config.txt (Configuration()); the ports outlive this.
  SystemSettings(Prompter& prompter, Shell& shell, IndexConfig& config);

  // Opening the dialog: reads both lists and sets the field texts, with the messages for a
  // file that cannot be opened (each stops the loading there). Lines are read whole, however
  // long, so that a save writes back every line it read.
  void Load();

  const std::vector<FileTypeRow>& FileTypes() const { return file_types_; }
  // The folder list is kept sorted ascending by folder text (letter case ignored), as the list
  // inserts its rows; a modified row keeps its place.
  const std::vector<FolderRow>& Folders() const { return folders_; }
  SettingFields& Fields() { return fields_; }
  // The row index the last list click remembered (shared by both lists); -1 for none.
  int RememberedRow() const { return remembered_row_; }

  void SetFolderChecked(int row, bool checked);

  // List clicks: selected holds the selected rows in list order; each in turn becomes the
  // remembered row and fills the fields, so the last one wins.
  void ClickFileTypes(const std::vector<int>& selected);
  void ClickFolders(const std::vector<int>& selected);

  // The buttons. Each reads the field texts as they stand (the dialog puts the controls' texts
  // there first). The adds return the index of the new row, or -1 after the message.
  int AddFileType();
  void DeleteFileTypes(const std::vector<int>& selected);
  void ModifyFileType();
  int AddFolder();
  void DeleteFolders(const std::vector<int>& selected);
  void ModifyFolder();
  // "...": asks for a folder; a chosen one becomes the folder text without a trailing '/'
  // (the root stays "/"). Returns whether one was chosen.
  bool PickFolder();

  // OK: writes the type file and the folder file together (either both or neither), then sets
  // UpdateFrequency from the frequency text and writes config.txt with CR LF line ends, the
  // other three values unchanged.
  SaveResult Save();

 private:
  bool LoadFileTypes();
  bool LoadFolders();
  int InsertFolderSorted(FolderRow row);

  Prompter& prompter_;
  Shell& shell_;
  IndexConfig& config_;
  int remembered_row_ = -1;
  std::vector<FileTypeRow> file_types_;
  std::vector<FolderRow> folders_;
  SettingFields fields_;
};

}  // namespace jollix
