// One file fetched into a folder: never run, never made executable, nothing left behind on failure,
// on cancellation or at the program's end.
#include "linux/FileDownload.h"

#include "linux/DownloadRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {

bool erroreHttp(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400;
}

} // namespace

FileDownload::FileDownload(const QUrl &url, const QString &folder, int timeoutMs, QObject *parent)
    : QObject(parent), nam(new QNetworkAccessManager(this)), folder(folder)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setTransferTimeout(timeoutMs);
    reply = nam->get(request);
    connect(reply, &QNetworkReply::readyRead, this, &FileDownload::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &FileDownload::onFinished);
    connect(reply, &QNetworkReply::downloadProgress, this, &FileDownload::progress);
    // The windows that own transfers are not destroyed at the program's end; the partial file
    // must go all the same.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &FileDownload::cancel);
}

FileDownload::~FileDownload()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
    }
    scarta();
}

bool FileDownload::isRunning() const
{
    return running;
}

QString FileDownload::filePath() const
{
    return riservato;
}

void FileDownload::cancel()
{
    if (!running)
        return;
    fallisci(tr("Scaricamento annullato"));
}

bool FileDownload::apri()
{
    if (file)
        return true;
    if (!QDir().mkpath(folder)) {
        fallisci(tr("Impossibile creare la cartella %1").arg(folder));
        return false;
    }
    const QString name = downloadFileName(reply->url(), reply->rawHeader("Content-Disposition"));
    QString errore;
    riservato = reserveFilePath(folder, name, errore);
    if (riservato.isEmpty()) {
        fallisci(errore);
        return false;
    }
    file = std::make_unique<QSaveFile>(riservato);
    if (!file->open(QIODevice::WriteOnly)) {
        fallisci(file->errorString());
        return false;
    }
    return true;
}

void FileDownload::onReadyRead()
{
    // An error page is not the file asked for; the failure is reported when the reply ends.
    if (erroreHttp(reply)) {
        reply->readAll();
        return;
    }
    if (!apri())
        return;
    const QByteArray chunk = reply->readAll();
    if (file->write(chunk) != chunk.size())
        fallisci(file->errorString());
}

void FileDownload::onFinished()
{
    if (!running)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        fallisci(reply->errorString());
        return;
    }
    if (!apri())
        return;
    const QByteArray rest = reply->readAll();
    if (file->write(rest) != rest.size() || !file->commit()) {
        fallisci(file->errorString());
        return;
    }
    running = false;
    reply->deleteLater();
    // Saved: the name is the file's now, nothing of it is to be removed.
    salvato = true;
    file.reset();
    emit finished(true, riservato);
}

void FileDownload::fallisci(const QString &message)
{
    running = false;
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    scarta();
    emit finished(false, message);
}

// Closing the unfinished save file removes its temporary file; the reserved name goes too.
void FileDownload::scarta()
{
    if (file) {
        file->cancelWriting();
        file.reset();
    }
    if (!riservato.isEmpty() && !salvato) {
        QFile::remove(riservato);
        riservato.clear();
    }
}
