// The small window that shows a download's progress and lets the user stop it.
#pragma once

#include <QDialog>

class FileDownload;
class QLabel;
class QProgressBar;
class QPushButton;
class QUrl;

// Top-level and modeless, so it outlives the window that asked for the file and blocks nothing;
// it deletes itself when closed, and closing it stops a transfer still running.
class DownloadWindow : public QDialog
{
    Q_OBJECT
public:
    DownloadWindow(const QUrl &url, const QString &folder, int timeoutMs);

    FileDownload *download() const { return transfer; }
    QLabel *messageLabel;
    QProgressBar *progressBar;
    QPushButton *button;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onProgress(qint64 received, qint64 total);
    void onFinished(bool saved, const QString &message);

    FileDownload *transfer;
};
