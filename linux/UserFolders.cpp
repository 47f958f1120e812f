// Where the program may keep the user's files: its own folder, or the user's configuration folder.
#include "linux/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace UserFolders {

namespace {

// The folder as it really lies, so that a link from elsewhere into /usr is judged by its target.
QString realFolder(const QString &folder)
{
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(folder) : real;
}

bool underUsr(const QString &folder)
{
    const QString usr = QStringLiteral("/usr");
    return folder == usr || folder.startsWith(usr + QLatin1Char('/'));
}

} // namespace

bool folderWritable(const QString &folder)
{
    const QString real = realFolder(folder);
    return !underUsr(real) && ::access(QFile::encodeName(real).constData(), W_OK) == 0;
}

QString configFolder()
{
    const QString set = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace UserFolders
