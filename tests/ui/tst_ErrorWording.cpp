#include "install/Edition.h"
#include "ui/ErrorWording.h"

#include <doctest/doctest.h>

// The words for each reason that the engine's tables assert by its value.
TEST_CASE("Each reason is put into its own words")
{
    using enum ErrorReason;
    const std::string full = "such as C:\\WESTWOOD\\REDALERT\\.";
    const std::string package = "must stand in the folder the installer was started from, C:\\B.";
    const std::string notGivenBack = "so the game could not be given back.";
    const struct
    {
        ErrorCause cause;
        std::string words;
    } rows[] = {
        {{IsAFolder}, "This is a folder, not a file."},
        {{IsANamedPipe}, "This is a named pipe (FIFO), not a plain file."},
        {{IsADevice}, "This is a device, not a plain file."},
        {{IsASymbolicLink}, "This is a symbolic link, not a plain file."},
        {Cause::LetterCaseTwins{"EXPAND.MIX", "expand.mix"},
         "The folder holds both \"EXPAND.MIX\" and \"expand.mix\", which differ only in letter "
         "case; the installer cannot tell which one is meant. Rename or remove one of them."},
        {Cause::DriveNotMapped{"D", "/p"}, "Drive D: is not mapped in the Wine prefix /p."},
        {{GameFolderMissing}, "The game folder does not exist."},
        {{PathNotFull}, "The game folder must be given as a full path, " + full},
        {{ControlCharacterInFolderName},
         "The game folder's name holds a line break or another control character, which no "
         "folder of the game has. Type the folder again, " +
             full},
        {{NoExpand2InFolder},
         "There is no Expand2.mix in this folder, so Aftermath is not "
         "installed there. For a game without Aftermath, choose the "
         "Counterstrike option."},
        {Cause::PackageIncomplete{"Rules.ini", "C:\\B"},
         "The BEXOM package is incomplete: Rules.ini " + package},
        {Cause::StatusFileNotInPackage{"C:\\B"},
         "The status file of the BEXOM package " + package +
             " Start the installer from the folder that holds the BEXOM package."},
        {Cause::NameWindowsRewrites{"CON", {NameOfDevice}},
         "The game folder's path holds the name \"CON\", which Windows does not take as written: "
         "it is the name of a device (such as CON, NUL, AUX or COM1), which Windows opens instead "
         "of a file. Type the folder as it is named, " +
             full},
        {{BackupFolderIsALink},
         "This is a link (a symbolic link, or on Windows a junction) that leads to another folder. "
         "BEXOM's backup folder must be a folder of its own inside the game folder, so BEXOM does "
         "nothing through it. Remove the link, or put back the folder it replaced."},
        {Cause::EditionMismatch{Edition::Aftermath, Edition::Counterstrike},
         "The status file says BEXOM was installed for Aftermath, but the game folder holds the "
         "Counterstrike installation."},
        {Cause::KeptCopyMissing{"Expand.mix"},
         "BEXOM's backup copy of the game's own Expand.mix is missing, " + notGivenBack},
        {Cause::KeptCopyDamaged{"Expand.mix"},
         "BEXOM's backup copy of the game's own Expand.mix is damaged (it is not the file the "
         "installation kept), " +
             notGivenBack},
        {Cause::NoManifestServes{{ManifestDamaged},
                                 "G\\BEXOMv2",
                                 "G\\",
                                 "BEXOMv2.manifest",
                                 {"Expand.mix", "Expand2.mix"},
                                 {},
                                 {"Rules.ini", "Title.pcx"}},
         "BEXOM's list of the files it installed is damaged, so the removal cannot tell what to "
         "take out. To finish the removal by hand, delete BEXOM's files \"Rules.ini\" and "
         "\"Title.pcx\" in the game folder \"G\\\" (first copy elsewhere any you changed and "
         "want to keep); move the files in \"G\\BEXOMv2\", the game's own Expand.mix and "
         "Expand2.mix, back into the game folder \"G\\\"; then delete the folder \"G\\BEXOMv2\" "
         "and \"BEXOMv2.manifest\" in the package folder, and write \"Status=Uninstalled\" as the "
         "first line of Status.ini."},
        {{Cause::EarlierInstallationIncomplete{{"MPlayer.ini", "Title.pcx"}}},
         "BEXOM's backup folder holds no list of the files BEXOM installed, and the game folder "
         "lacks MPlayer.ini, Title.pcx, which an earlier version's installation leaves, so the "
         "removal cannot tell what to take out. If you deleted them yourself, copy them back from "
         "the BEXOM package and try again."},
        {{FileHeldOpen},
         "Another program has the file open; the game may be running. Close it and try again."},
        {{PlacedFileUnreadable},
         "BEXOM could not read its file to tell whether you changed it: another program may have "
         "it open (the game may be running), or it may not be readable. Close the game and try "
         "again."},
    };
    for (const auto &[cause, words] : rows) {
        CAPTURE(words);
        CHECK(ErrorWording::cause(
                  RuntimeError(RuntimeErrorCode::PathFileAccessError, "x", cause)) == words);
    }
}
