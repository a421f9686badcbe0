#pragma once

#include "ErrorOr.h"
#include "FileDigest.h"

// A file opened for its digest. Opening is quick and belongs to the order of a procedure's
// steps; reading is what takes the time, and may run on another thread while the steps go on.
class DigestReader
{
public:
    virtual ~DigestReader() = default;

    // Reads the file to its end; to be called once.
    virtual ErrorOr<FileDigest> read() = 0;
};
