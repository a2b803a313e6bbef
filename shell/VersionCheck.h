// What the version dialog (CDetectNewVersion) shows and what its check button, its download
// button and the check at start do, without widgets.
#pragma once

#include <string>

#include "common/Prompter.h"
#include "common/Shell.h"
#include "shell/VersionClient.h"

namespace jollix {

// The vendor's download page, opened when the server named none (a deployment value).
inline constexpr char kVendorDownloadPage[] = "http://jollixsearch.example/download.html";

// The dialog's three text members (GBK).
struct VersionDialogTexts {
  std::string VersionText = "服务器最新版本：";
  std::string Description;
  std::string DownloadAddress;
};

// The label of the running build: "当前运行程序版本：20070408".
std::string RunningVersionText(int build_number);

// The servers of config.txt (Configuration()) on the version port.
VersionServer ConfiguredVersionServer();

// The check button: connects, asks and fills the texts with the answer or the failure text.
// Returns the request's result (-5 when no connection was made). May end the process (-4).
int CheckForNewVersion(const VersionServer& server, int build_number, Prompter& prompter,
                       VersionDialogTexts* texts);

// The check at start: true, with the texts filled, only when the server knows a newer build;
// every failure is silent (but for the socket message of the client).
bool CheckAtStart(const VersionServer& server, int build_number, Prompter& prompter,
                  VersionDialogTexts* texts);

// The download button: opens the download address (the vendor's page when none is set, which
// then becomes the address) in the browser. The address comes from the server, so it opens only
// as an http or https address (one without a scheme as http); anything else opens nothing.
void OpenDownloadPage(Shell& shell, VersionDialogTexts* texts);

}  // namespace jollix
