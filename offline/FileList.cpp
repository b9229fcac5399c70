#include "offline/FileList.h"

#include "offline/BytePath.h"

#include <cerrno>
#include <cstring>

namespace {
bool ReadAll(std::FILE* file, QByteArray& bytes)
{
    char chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.append(chunk, static_cast<qsizetype>(got));
        if (got < sizeof chunk)
            return !std::ferror(file);
    }
}
}

bool CFileList::Read(const QString& listPath, bool nulSeparated, QStringList& paths, QString& error,
                     std::FILE* standardInput)
{
    const bool fromStdin = listPath == QLatin1String("-");
    std::FILE* file = fromStdin ? standardInput : std::fopen(CBytePath::Encode(listPath).constData(), "rb");
    if (!file) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QByteArray bytes;
    errno = 0;
    const bool read = ReadAll(file, bytes);
    const int readErrno = errno;
    if (!fromStdin)
        std::fclose(file);
    if (!read) {
        error = QString::fromLocal8Bit(std::strerror(readErrno ? readErrno : EIO));
        return false;
    }
    paths << Split(bytes, nulSeparated);
    return true;
}

QStringList CFileList::Split(const QByteArray& bytes, bool nulSeparated)
{
    QStringList paths;
    for (QByteArray entry : bytes.split(nulSeparated ? '\0' : '\n')) {
        if (!nulSeparated && entry.endsWith('\r'))
            entry.chop(1);
        if (!entry.isEmpty())
            paths << CBytePath::Decode(entry);
    }
    return paths;
}
