#include "results/OpenResult.h"

#include "channels/SongLink.h"
#include "results/DetailLines.h"

namespace jollix {
namespace {

ShellTarget ShellTargetOf(const std::string& target, int result_type) {
  return result_type == 0 ? LocalPathTarget(target) : WebAddressTarget(target);
}

}  // namespace

bool OpensNothing(int result_type) {
  return result_type < 0 || result_type == 13 || result_type == 15 || result_type == 16 ||
         result_type >= 20;
}

bool IsDownloadType(int result_type) {
  return (result_type >= 8 && result_type <= 12) || (result_type >= 17 && result_type <= 19);
}

std::string OpenTarget(const ResultPage& page, int row, int result_type, int url_column) {
  if (result_type == 0) return DesktopRowPath(page, row);
  return page.Cell(row, url_column);
}

OpenOutcome OpenSelectedResult(const ResultPage& page, const std::vector<int>& selected,
                               int result_type, int url_column, Shell& shell, Prompter& prompter,
                               const SongResolver& resolve) {
  if (selected.size() != 1 || OpensNothing(result_type)) return OpenOutcome::kNothing;
  std::string target = OpenTarget(page, selected.front(), result_type, url_column);
  if (result_type == 11 || result_type == 12) {
    std::string link;
    const bool found =
        resolve ? resolve(target.c_str(), &link) : ResolveSongLink(target.c_str(), prompter, &link);
    if (!found) return OpenOutcome::kNoSongLink;
    target = std::move(link);
  }
  if (shell.Open(ShellTargetOf(target, result_type))) return OpenOutcome::kOpened;
  if (IsDownloadType(result_type)) {
    prompter.Ask(kDownloadFailedMessage, kDownloadFailedCaption, PromptButtons::kOk);
  } else {
    prompter.Ask(kOpenFailedMessage, nullptr, PromptButtons::kOk);
  }
  return OpenOutcome::kFailed;
}

}  // namespace jollix
