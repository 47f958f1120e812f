// The off-screen page loader on QNetworkAccessManager, with libxml2 giving the body's HTML.
#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Every navigation to a page ends in exactly one documentComplete, even when the load fails: the
// document is then a small body saying what went wrong. A page without a body element completes
// with an empty body. Only the first MiB of a page is read, and a page must be whole within the
// deadline, however slowly a server keeps sending.
// A download (a program file, a binary type or an attachment) is handed to its own progress
// window, which saves it in the user's download folder and outlives this loader. An address that
// names a program file completes no document, and a page load in progress goes on meanwhile; a
// page address whose answer turns out to be a file completes with a body saying so.
class NetworkBrowser : public Browser
{
    Q_OBJECT
public:
    static constexpr qint64 pageLimit = 1024 * 1024;
    static constexpr int defaultTimeoutMs = 30000;
    static constexpr int defaultDeadlineMs = 60000;

    explicit NetworkBrowser(QObject *parent = nullptr, int timeoutMs = defaultTimeoutMs);
    ~NetworkBrowser() override;

    // Throws TrilloraError for an address that is not an http(s) URL: such a request is refused
    // outright rather than completed.
    void navigate(const QString &address) override;
    bool hasDocument() const override;
    QByteArray bodyOuterHtml() const override;

    // How long a transfer may go without any progress before it fails.
    void setTimeout(int msecs) { timeoutMs = msecs; }
    int timeout() const { return timeoutMs; }
    // How long a page load may take in all.
    void setDeadline(int msecs) { deadlineMs = msecs; }

private:
    void onReadyRead();
    void onFinished();
    void onDeadline();
    void finishPage();
    bool handOverDownload();
    void complete(const QByteArray &page);
    void dropReply();
    void download(const QUrl &url);

    QNetworkAccessManager *nam;
    QPointer<QNetworkReply> reply;
    QUrl pageUrl;
    QByteArray received;
    bool documentReady = false;
    QByteArray body;
    int timeoutMs;
    int deadlineMs = defaultDeadlineMs;
    QTimer *deadline;
};
