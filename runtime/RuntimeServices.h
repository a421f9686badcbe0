#pragma once

#include "BusyIndicator.h"
#include "FileSystem.h"
#include "MessageBox.h"

// The services that the requests and the windows' routines call: the files, the message boxes and
// the busy sign. The front end in use provides them, tests their own.
struct RuntimeServices
{
    FileSystem &fileSystem;
    MessageBox &messageBox;
    BusyIndicator &busyIndicator;
};
