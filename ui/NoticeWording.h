#pragma once

#include "runtime/RuntimeError.h"

#include <string>

// The words of the notices and questions that the windows' routines show themselves, beside the
// engine's errors: the main window's fixed texts, a protected game folder, a second installer,
// the offers that follow a refusal.
namespace NoticeWording {

inline const std::string Credits = "The Credits can be found in the file: BEXOM-Credits.doc";
inline const std::string LeaveTitle = "BEXOM Installation Program";
inline const std::string LeaveQuestion = "Are you sure you wish to leave?";
inline const std::string NothingChanged = "Nothing was changed.";
inline const std::string AlreadyRunning =
    "The BEXOM installer is already running from this folder. Use the window that is open "
    "already, or close it before starting the installer again.";
// Why the Windows program could not show its windows; Windows' own reason follows.
inline const std::string PicturesNotLoaded = "The program's pictures could not be loaded.";
inline const std::string MainWindowNotOpened = "The main window could not be opened.";
inline const std::string InstallDialogNotOpened = "The install dialog could not be opened.";

// Whom the player must be, or ask, to change a game folder that refused the installer's writes.
std::string protectedFolder(const ProtectedFolder &folder);
// The offer to start again as administrator, after what became of the game folder.
std::string administratorOffer(const std::string &folder, const std::string &outcome);
// Windows' refusal to start the installer again, with the code of its error.
std::string administratorRestartFailed(unsigned long errorCode);
// The refusal's message, ended by the question whether to use the game found in the folder.
std::string foundGameOffer(const std::string &refusal, const std::string &folder);

} // namespace NoticeWording
