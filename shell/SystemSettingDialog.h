// The system settings dialog "Jollix超级搜索系统设置" (dialog 150): the file types, the folders
// to index and the update frequency. A thin widget over SystemSettings: it reads its controls
// into the settings' fields before every action, calls the action and shows the result.
#pragma once

#include <QDialog>
#include <vector>

#include "common/ConfigFile.h"
#include "common/Prompter.h"
#include "common/Shell.h"
#include "shell/SystemSettings.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace jollix {

class CSystemSetting : public QDialog {
  Q_OBJECT

 public:
  // Loads the files of the current folder (the installation folder) at once, with their
  // messages; config is the program's copy of config.txt (Configuration()). Run it with exec().
  CSystemSetting(Prompter& prompter, Shell& shell, IndexConfig& config, QWidget* parent = nullptr);

  const SystemSettings& Settings() const { return settings_; }

  // OK: saves; closes unless config.txt could not be written.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  QWidget* CreateFileTypeGroup();
  QWidget* CreateFolderGroup();
  void ReadFields();
  void ShowFields();
  void ShowFileTypes();
  void ShowFolders();
  void FitColumns();
  static std::vector<int> SelectedRows(QTreeWidget* list);

  void OnFileTypeClicked();
  void OnFolderClicked();
  void OnAddFileType();
  void OnDeleteFileTypes();
  void OnModifyFileType();
  void OnAddFolder();
  void OnDeleteFolders();
  void OnModifyFolder();
  void OnPickFolder();

  SystemSettings settings_;
  QTreeWidget* file_types_ = nullptr;  // 1007
  QLineEdit* extension_ = nullptr;     // 1030
  QComboBox* type_ = nullptr;          // 1053
  QLineEdit* description_ = nullptr;   // 1040
  QTreeWidget* folders_ = nullptr;     // 1008
  QLineEdit* folder_ = nullptr;        // 1035
  QComboBox* frequency_ = nullptr;     // 1055
  bool showing_ = false;               // set while the lists are filled from the settings
};

}  // namespace jollix
