#pragma once

#include <QByteArray>
#include <QtGlobal>

// What a file holds, in brief: its size and the SHA-256 of its bytes.
struct FileDigest
{
    qint64 size = 0;
    // The 32 bytes of the hash.
    QByteArray sha256;

    bool operator==(const FileDigest &) const = default;
};
