// What every result page needs from the main window: the ports, the details list, the icon list
// and the replaceable steps that tests script. An empty function means the default.
#pragma once

#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "common/Shell.h"
#include "results/DesktopFileActions.h"
#include "results/OpenResult.h"

class QListWidget;

namespace jollix {

class FileIconList;

struct ResultListContext {
  Prompter* prompter = nullptr;    // required
  Shell* shell = nullptr;          // required
  QListWidget* details = nullptr;  // the details list every page writes into; may be null
  FileIconList* icons = nullptr;   // the row icons; may be null
  // Finds a music row's song link; default: download the song page (ResolveSongLink).
  SongResolver resolve_song;
  // Moves a file to the trash; default: QFile::moveToTrash.
  TrashFunction trash;
  // Shows the desktop context menu at a screen point and returns the chosen id, 0 for none;
  // default: a QMenu whose actions carry the ids as objectName and data.
  std::function<int(const std::vector<MenuItem>& items, QPoint global)> choose_menu_item;
};

}  // namespace jollix
