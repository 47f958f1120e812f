// One file fetched into a folder: never run, never made executable, nothing left behind on failure,
// on cancellation or when the program ends during the transfer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

class FileDownload : public QObject
{
    Q_OBJECT
public:
    // Starts at once; `timeoutMs` is how long the transfer may go without progress. The program's
    // end cancels the transfer.
    FileDownload(const QUrl &url, const QString &folder, int timeoutMs, QObject *parent = nullptr);
    ~FileDownload() override;

    // Stops the transfer and drops what was received; `finished` reports the cancellation.
    void cancel();
    bool isRunning() const;
    // Where the file is being saved, once the server has answered; empty after a failure.
    QString filePath() const;

signals:
    void progress(qint64 received, qint64 total);
    void finished(bool saved, const QString &message);

private:
    void onReadyRead();
    void onFinished();
    bool openFile();
    void fail(const QString &message);
    void discard();

    enum class Stage {
        Running,
        // Committed: the name is the file's now, nothing of it is to be removed.
        Saved,
        // Failed or cancelled: nothing of it is left behind.
        Failed,
    };
    // The transfer ends once: only a running one takes the outcome.
    void settle(Stage outcome);

    QNetworkAccessManager *nam;
    QPointer<QNetworkReply> reply;
    QString folder;
    // The name taken in the folder, an empty file until the received data replaces it at the end.
    QString reserved;
    // The data as it arrives, in a temporary file beside the reserved name.
    std::unique_ptr<QSaveFile> file;
    Stage stage = Stage::Running;
};
