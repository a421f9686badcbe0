#pragma once

#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"

// At start-up, puts right an installation or removal that a crash or a power cut interrupted, and
// tells the player in one message what became of it. A recovery that fails is reported too, and
// the program goes on: the journal stays for the next start to try again.
class InterruptedWorkNotice final
{
public:
    static void recoverAndTell(FileSystem &fileSystem, MessageBox &messageBox);
};
