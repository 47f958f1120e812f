// The off-screen page loader on QNetworkAccessManager, with libxml2 giving the body's HTML.
#include "linux/NetworkBrowser.h"

#include "core/Cp1252.h"
#include "core/Errors.h"
#include "linux/DownloadRules.h"
#include "linux/DownloadWindow.h"
#include "linux/HtmlBody.h"

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

QByteArray paginaDiErrore(const QString &motivo)
{
    return inCp1252(QStringLiteral("<body><p>Pagina non caricata: %1</p></body>").arg(motivo.toHtmlEscaped()));
}

QString cartellaScaricamenti()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace

NetworkBrowser::NetworkBrowser(QObject *parent, int timeoutMs)
    : Browser(parent), nam(new QNetworkAccessManager(this)), timeoutMs(timeoutMs), scadenza(new QTimer(this))
{
    scadenza->setSingleShot(true);
    connect(scadenza, &QTimer::timeout, this, &NetworkBrowser::onDeadline);
}

NetworkBrowser::~NetworkBrowser()
{
    // Nothing may call back into a loader that is going away.
    lascia();
}

void NetworkBrowser::navigate(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw TrilloraError(tr("Indirizzo non valido: %1").arg(address));

    if (looksLikeDownload(url, {}, {})) {
        scarica(url);
        return;
    }

    // A new page replaces the one still loading, as in any browser.
    lascia();
    indirizzo = url;
    ricevuto.clear();
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
    scadenza->start(deadlineMs);
}

bool NetworkBrowser::hasDocument() const
{
    return documento;
}

QByteArray NetworkBrowser::bodyOuterHtml() const
{
    return corpo;
}

void NetworkBrowser::onReadyRead()
{
    if (passaAScaricamento())
        return;
    ricevuto.append(reply->read(pageLimit - ricevuto.size()));
    // The page is cut at the limit and read as it stands.
    if (ricevuto.size() >= pageLimit)
        chiudiPagina();
}

void NetworkBrowser::onFinished()
{
    if (reply->error() != QNetworkReply::NoError) {
        QString motivo = reply->errorString();
        if (reply->error() == QNetworkReply::OperationCanceledError)
            motivo = tr("tempo scaduto dopo %1 ms senza risposta").arg(timeoutMs);
        indirizzo = reply->url();
        lascia();
        completa(paginaDiErrore(motivo));
        return;
    }
    if (passaAScaricamento())
        return;
    ricevuto.append(reply->read(pageLimit - ricevuto.size()));
    chiudiPagina();
}

void NetworkBrowser::onDeadline()
{
    if (!reply)
        return;
    indirizzo = reply->url();
    lascia();
    completa(paginaDiErrore(tr("pagina non completa dopo %1 ms").arg(deadlineMs)));
}

void NetworkBrowser::chiudiPagina()
{
    indirizzo = reply->url();
    const QByteArray charset = charsetOf(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    lascia();
    completa(::bodyOuterHtml(ricevuto, charset).value_or(QByteArray()));
}

// A page address that turned out to serve a file: the file goes to its own window, and the page
// completes all the same, so that whoever waits for it is not left waiting.
bool NetworkBrowser::passaAScaricamento()
{
    const QByteArray type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QByteArray disposition = reply->rawHeader("Content-Disposition");
    if (!looksLikeDownload(reply->url(), type, disposition))
        return false;
    const QUrl url = reply->url();
    indirizzo = url;
    lascia();
    scarica(url);
    completa(paginaDiErrore(tr("è un file, salvato a parte")));
    return true;
}

void NetworkBrowser::completa(const QByteArray &body)
{
    ricevuto.clear();
    documento = true;
    corpo = body;
    emit documentComplete(indirizzo.toString());
}

void NetworkBrowser::lascia()
{
    scadenza->stop();
    if (!reply)
        return;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    reply = nullptr;
}

void NetworkBrowser::scarica(const QUrl &url)
{
    auto *window = new DownloadWindow(url, cartellaScaricamenti(), timeoutMs);
    window->show();
}
