// The alarm file "sveglia.imptqz": twelve CR LF lines in the window's 8-bit code page.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace FileSveglie {

inline const QString NomeFile = QStringLiteral("sveglia.imptqz");

// Every line followed by CR LF, the last one included.
QByteArray contenuto(const QStringList &lines);
// Lines end at CR LF, at a lone CR and at a lone LF; a final line break adds no empty line.
QStringList righe(const QByteArray &bytes);

// Written to a temporary file beside the old one and renamed over it, so a failed save
// (full disk, read-only folder, a crash half-way) never loses the file already there.
bool scrivi(const QString &path, const QStringList &lines);
// Nothing when the file cannot be opened or read, or is not a regular file (a folder, a pipe, a device).
std::optional<QStringList> leggi(const QString &path);
// Makes `folder` and every missing folder above it open to the user alone (0700), as the XDG rules
// ask of folders a program makes in the user's configuration folder. False when it cannot be made.
bool creaCartella(const QString &folder);

} // namespace FileSveglie
