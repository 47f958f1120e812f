// One file fetched into a folder: never run, never made executable, nothing left behind on failure,
// on cancellation or at the program's end.
#include "network/FileDownload.h"

#include "network/DownloadRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {

bool isHttpError(const QNetworkReply *reply)
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
    discard();
}

bool FileDownload::isRunning() const
{
    return stage == Stage::Running;
}

QString FileDownload::filePath() const
{
    return reserved;
}

void FileDownload::cancel()
{
    if (stage != Stage::Running)
        return;
    fail(tr("Scaricamento annullato"));
}

bool FileDownload::openFile()
{
    if (file)
        return true;
    if (!QDir().mkpath(folder)) {
        fail(tr("Impossibile creare la cartella %1").arg(folder));
        return false;
    }
    const QString name = downloadFileName(reply->url(), reply->rawHeader("Content-Disposition"));
    QString error;
    reserved = reserveFilePath(folder, name, error);
    if (reserved.isEmpty()) {
        fail(error);
        return false;
    }
    file = std::make_unique<QSaveFile>(reserved);
    if (!file->open(QIODevice::WriteOnly)) {
        fail(file->errorString());
        return false;
    }
    return true;
}

void FileDownload::onReadyRead()
{
    // An error page is not the file asked for; the failure is reported when the reply ends.
    if (isHttpError(reply)) {
        reply->readAll();
        return;
    }
    if (!openFile())
        return;
    const QByteArray chunk = reply->readAll();
    if (file->write(chunk) != chunk.size())
        fail(file->errorString());
}

void FileDownload::onFinished()
{
    if (stage != Stage::Running)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        fail(reply->errorString());
        return;
    }
    if (!openFile())
        return;
    const QByteArray rest = reply->readAll();
    if (file->write(rest) != rest.size() || !file->commit()) {
        fail(file->errorString());
        return;
    }
    settle(Stage::Saved);
    reply->deleteLater();
    file.reset();
    emit finished(true, reserved);
}

void FileDownload::fail(const QString &message)
{
    settle(Stage::Failed);
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    discard();
    emit finished(false, message);
}

// A download ends once, saved or failed; saved, the name is the file's, and nothing of it is removed.
void FileDownload::settle(Stage outcome)
{
    if (stage == Stage::Running)
        stage = outcome;
}

// Closing the unfinished save file removes its temporary file; the reserved name goes too.
void FileDownload::discard()
{
    if (file) {
        file->cancelWriting();
        file.reset();
    }
    if (!reserved.isEmpty() && stage != Stage::Saved) {
        QFile::remove(reserved);
        reserved.clear();
    }
}
