// The alarm file "sveglia.imptqz".
#include "core/AlarmFile.h"

#include "core/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSveglie {

QByteArray contenuto(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += inCp1252(line) + "\r\n";
    return bytes;
}

QStringList righe(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(daCp1252(bytes.mid(start, i - start)));
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(daCp1252(bytes.mid(start)));
    return lines;
}

bool scrivi(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = contenuto(lines);
    // A buffered write reports success before the bytes reach the disk, and commit() does not
    // look at a failed flush: flush here so a full disk cannot replace the old file.
    // fsync too: otherwise a power cut soon after the rename can leave an empty file behind.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QStringList> leggi(const QString &path)
{
    // Opened without waiting and read only when it is a regular file: a named pipe in its place
    // would otherwise hang the program until some writer came, and a device could read forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return righe(bytes);
}

bool creaCartella(const QString &folder)
{
    const QString path = QDir::cleanPath(folder);
    if (QFileInfo(path).isDir())
        return true;
    const QString above = QFileInfo(path).path();
    if (above == path || !creaCartella(above))
        return false;
    return QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace FileSveglie
