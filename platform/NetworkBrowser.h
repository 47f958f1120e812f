// The off-screen page loader on QNetworkAccessManager, with libxml2 giving the body's HTML.
#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Every navigation to a page ends in exactly one documentComplete, even when the load fails: the
// document is then a small body saying what went wrong. A page without a body element completes
// with an empty body. Only the first MiB of a page is read.
// A download (a program file, a binary type or an attachment) completes no document: it is
// handed to its own progress window, which saves it in the user's download folder and outlives
// this loader; a page load in progress goes on meanwhile.
class NetworkBrowser : public Browser
{
    Q_OBJECT
public:
    static constexpr qint64 pageLimit = 1024 * 1024;
    static constexpr int defaultTimeoutMs = 30000;

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

private:
    void onReadyRead();
    void onFinished();
    void chiudiPagina();
    bool passaAScaricamento();
    void completa(const QByteArray &body);
    void lascia();
    void scarica(const QUrl &url);

    QNetworkAccessManager *nam;
    QPointer<QNetworkReply> reply;
    QUrl indirizzo;
    QByteArray ricevuto;
    bool documento = false;
    QByteArray corpo;
    int timeoutMs;
};
