// When a navigation is a file to save rather than a page to show, and where the file goes.
#include "network/DownloadRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QByteArray mediaType(const QByteArray &contentType)
{
    return contentType.split(';').value(0).trimmed().toLower();
}

QString suggestedName(const QByteArray &contentDisposition)
{
    static const QRegularExpression quoted(QStringLiteral(R"re((?:^|;)\s*filename\s*=\s*"([^"]*)")re"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bare(QStringLiteral(R"re((?:^|;)\s*filename\s*=\s*([^;"\s]+))re"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString header = QString::fromLatin1(contentDisposition);
    for (const QRegularExpression *re : {&quoted, &bare}) {
        const QRegularExpressionMatch match = re->match(header);
        if (match.hasMatch())
            return match.captured(1);
    }
    return {};
}

// The server chooses the name, so it must not reach outside the folder or hide itself.
QString cleanName(QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    name.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    // Blanks between the dots (". .x") would otherwise leave a name that still starts with one.
    while (!name.isEmpty() && (name.front() == QLatin1Char('.') || name.front().isSpace()))
        name.remove(0, 1);
    return name.trimmed();
}

} // namespace

bool looksLikeDownload(const QUrl &url, const QByteArray &contentType, const QByteArray &contentDisposition)
{
    if (url.path().endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        return true;
    if (mediaType(contentType) == "application/octet-stream")
        return true;
    return contentDisposition.trimmed().toLower().startsWith("attachment");
}

QString downloadFileName(const QUrl &url, const QByteArray &contentDisposition)
{
    QString name = cleanName(suggestedName(contentDisposition));
    if (name.isEmpty())
        name = cleanName(url.fileName());
    if (name.isEmpty())
        name = QStringLiteral("download");
    return name;
}

QString reserveFilePath(const QString &folder, const QString &name, QString &error)
{
    const QDir dir(folder);
    const QFileInfo info(name);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    // Beyond this many namesakes something else is wrong with the folder.
    constexpr int MaxAttempts = 10000;
    for (int n = 0; n < MaxAttempts; ++n) {
        const QString path = n == 0 ? dir.filePath(name)
                                    : dir.filePath(QStringLiteral("%1 (%2)%3").arg(base, QString::number(n), suffix));
        // O_EXCL: fails on any existing name, a dangling link included, whoever created it meanwhile.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
            error = file.errorString();
            return {};
        }
    }
    error = QObject::tr("Troppi file di nome %1").arg(name);
    return {};
}
