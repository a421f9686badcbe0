#include "StatusFile.h"

#include <QStringDecoder>

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray LineEnd = QByteArrayLiteral("\r\n");

// Older packages were saved in the Windows code page; whatever is not valid UTF-8 is taken as
// Latin-1, which maps every byte to a character and so never fails.
QString toText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

// Takes the next line off the front of rest, without its LF or CR LF end. A directory may hold
// commas and quotes, so the line is the item whole.
QString takeLine(QStringView &rest)
{
    const qsizetype end = rest.indexOf(u'\n');
    QStringView line = end < 0 ? rest : rest.first(end);
    rest = end < 0 ? QStringView() : rest.sliced(end + 1);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line.toString();
}

} // namespace

QString StatusRecord::gameDirectory() const
{
    return pathItem.mid(StatusFile::PathPrefix.size());
}

ErrorOr<StatusRecord> StatusFile::read() const
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return RuntimeError(RuntimeErrorCode::FileNotFound, FileName,
                            QStringLiteral("The status file of the BEXOM package must stand in "
                                           "the installer's folder."));
    return parse(TRY(m_fileSystem.readFile(FileName)));
}

ErrorOr<StatusRecord> StatusFile::parse(QByteArray bytes)
{
    // Windows editors put a byte-order mark before UTF-8 text.
    if (bytes.startsWith(ByteOrderMark))
        bytes.remove(0, ByteOrderMark.size());
    if (bytes.isEmpty())
        return RuntimeError(RuntimeErrorCode::InputPastEndOfFile, FileName,
                            QStringLiteral("The status file is empty."));
    const QString text = toText(bytes);
    QStringView rest(text);
    StatusRecord record;
    record.statusItem = takeLine(rest);
    record.pathItem = takeLine(rest);
    return record;
}

QByteArray StatusFile::encode(const QString &statusItem, const QString &gameDirectory)
{
    return encode(StatusRecord{statusItem, PathPrefix + gameDirectory});
}

QByteArray StatusFile::encode(const StatusRecord &record)
{
    return record.statusItem.toUtf8() + LineEnd + record.pathItem.toUtf8() + LineEnd;
}
