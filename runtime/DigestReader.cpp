#include "DigestReader.h"

namespace {

// Large reads keep the system calls few; the hash, not the reading, sets the pace. A whole number
// of blocks, so that the pieces of two files are hashed side by side up to the shorter one's end.
constexpr std::size_t PieceSize = 1024 * 1024;

} // namespace

ErrorOr<FileDigest> DigestReader::read()
{
    while (!m_done)
        readPiece();
    return result();
}

void DigestReader::readPiece()
{
    m_hash.update(nextPiece());
}

void DigestReader::readPieces(DigestReader &first, DigestReader &second)
{
    const std::string_view firstPiece = first.nextPiece();
    const std::string_view secondPiece = second.nextPiece();
    Sha256::updateTogether(first.m_hash, firstPiece, second.m_hash, secondPiece);
}

ErrorOr<FileDigest> DigestReader::result()
{
    if (m_error)
        return *m_error;
    return FileDigest{m_size, Sha256::bytesOf(m_hash.finish())};
}

// An exception must not leave a digest thread, where it would end the program: it is the
// digest's error, for the procedure to undo on.
std::string_view DigestReader::nextPiece()
{
    if (m_done)
        return {};
    try {
        if (!m_buffer)
            m_buffer.reset(new char[PieceSize]);
        ErrorOr<std::size_t> read = readSome(m_buffer.get(), PieceSize);
        if (read.isError()) {
            m_error = read.releaseError();
            m_done = true;
            return {};
        }
        m_size += static_cast<std::int64_t>(read.value());
        m_done = read.value() == 0;
        return {m_buffer.get(), read.value()};
    } catch (...) {
        m_error = RuntimeError::fromCurrentException();
        m_done = true;
        return {};
    }
}
