// The off-screen page loader on QNetworkAccessManager, with libxml2 giving the body's HTML.
#include "network/NetworkBrowser.h"

#include "core/Cp1252.h"
#include "core/Errors.h"
#include "network/DownloadRules.h"
#include "network/DownloadWindow.h"
#include "network/HtmlBody.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>

namespace {

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.toLower().startsWith("charset="))
            return p.mid(8).trimmed().replace('"', QByteArray());
    }
    return {};
}

QByteArray errorPage(const QString &reason)
{
    return inCp1252(QStringLiteral("<body><p>Pagina non caricata: %1</p></body>").arg(reason.toHtmlEscaped()));
}

QString downloadFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace

NetworkBrowser::NetworkBrowser(QObject *parent, int timeoutMs)
    : Browser(parent), nam(new QNetworkAccessManager(this)), timeoutMs(timeoutMs), deadline(new QTimer(this))
{
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, &NetworkBrowser::onDeadline);
}

NetworkBrowser::~NetworkBrowser()
{
    // Nothing may call back into a loader that is going away.
    dropReply();
}

void NetworkBrowser::navigate(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw TrilloraError(tr("Indirizzo non valido: %1").arg(address));

    if (looksLikeDownload(url, {}, {})) {
        download(url);
        return;
    }

    // A new page replaces the one still loading, as in any browser.
    dropReply();
    pageUrl = url;
    received.clear();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setTransferTimeout(timeoutMs);
    reply = nam->get(request);
    // Past the limit the server may keep sending; Qt must not buffer it for us.
    reply->setReadBufferSize(pageLimit);
    connect(reply, &QNetworkReply::readyRead, this, &NetworkBrowser::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &NetworkBrowser::onFinished);
    // The transfer time-out restarts with every byte; a server trickling a page is stopped here.
    deadline->start(deadlineMs);
}

bool NetworkBrowser::hasDocument() const
{
    return documentReady;
}

QByteArray NetworkBrowser::bodyOuterHtml() const
{
    return body;
}

void NetworkBrowser::onReadyRead()
{
    if (handOverDownload())
        return;
    received.append(reply->read(pageLimit - received.size()));
    // The page is cut at the limit and read as it stands.
    if (received.size() >= pageLimit)
        finishPage();
}

void NetworkBrowser::onFinished()
{
    if (reply->error() != QNetworkReply::NoError) {
        QString reason = reply->errorString();
        if (reply->error() == QNetworkReply::OperationCanceledError)
            reason = tr("tempo scaduto dopo %1 ms senza risposta").arg(timeoutMs);
        pageUrl = reply->url();
        dropReply();
        complete(errorPage(reason));
        return;
    }
    if (handOverDownload())
        return;
    received.append(reply->read(pageLimit - received.size()));
    finishPage();
}

void NetworkBrowser::onDeadline()
{
    if (!reply)
        return;
    pageUrl = reply->url();
    dropReply();
    complete(errorPage(tr("pagina non completa dopo %1 ms").arg(deadlineMs)));
}

void NetworkBrowser::finishPage()
{
    pageUrl = reply->url();
    const QByteArray charset = charsetOf(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    dropReply();
    complete(::bodyOuterHtml(received, charset).value_or(QByteArray()));
}

// A page address that turned out to serve a file: the file goes to its own window, and the page
// completes all the same, so that whoever waits for it is not left waiting.
bool NetworkBrowser::handOverDownload()
{
    const QByteArray type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QByteArray disposition = reply->rawHeader("Content-Disposition");
    if (!looksLikeDownload(reply->url(), type, disposition))
        return false;
    const QUrl url = reply->url();
    pageUrl = url;
    dropReply();
    download(url);
    complete(errorPage(tr("è un file, salvato a parte")));
    return true;
}

void NetworkBrowser::complete(const QByteArray &page)
{
    received.clear();
    documentReady = true;
    body = page;
    emit documentComplete(pageUrl.toString());
}

void NetworkBrowser::dropReply()
{
    deadline->stop();
    if (!reply)
        return;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    reply = nullptr;
}

void NetworkBrowser::download(const QUrl &url)
{
    auto *window = new DownloadWindow(url, downloadFolder(), timeoutMs);
    window->show();
}
