// When a navigation is a file to save rather than a page to show, and where the file goes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// A program file by its address, a generic binary by its type, or anything the server marks as
// an attachment.
bool looksLikeDownload(const QUrl &url, const QByteArray &contentType, const QByteArray &contentDisposition);

// A bare file name for the download: the server's suggested name when it gives one, else the last
// piece of the address. Never a path, never hidden, never empty.
QString downloadFileName(const QUrl &url, const QByteArray &contentDisposition);

// Creates `name` in `folder`, or "name (1).ext", "name (2).ext"... when taken, exclusively: the
// empty file is the caller's alone, so no other download can pick that name, and an earlier file
// is never replaced. Returns its path, or an empty text with the reason in `error`.
QString reserveFilePath(const QString &folder, const QString &name, QString &error);
