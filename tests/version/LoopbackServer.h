// A tiny HTTP server on 127.0.0.1 with canned answers per path, for the loader and window tests.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

struct Risposta
{
    int status = 200;
    QByteArray body;
    QByteArray headers = "Content-Type: text/html\r\n";
    bool hang = false; // accept and never answer
    int missing = 0;   // bytes announced beyond the body and never sent: the transfer stays open
};

class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    LoopbackServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            }
        });
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
    QString url(const QString &target) const { return QStringLiteral("http://") + host() + target; }
    // Answers by path; the query takes no part. Unknown paths get a 404.
    void set(const QString &path, const Risposta &r) { routes[path] = r; }
    void page(const QString &path, const QByteArray &body) { set(path, Risposta {200, body}); }

    QStringList requests; // request targets, path and query, in order

signals:
    void requested(const QString &target);

private:
    void serve(QTcpSocket *s)
    {
        buffers[s] += s->readAll();
        if (!buffers[s].contains("\r\n\r\n"))
            return;
        const QString target = QString::fromLatin1(buffers.take(s).split(' ').value(1));
        requests.append(target);
        emit requested(target);
        const Risposta r = routes.value(QUrl(target).path(), Risposta {404, "<body>no</body>"});
        if (r.hang)
            return;
        s->write("HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n" + r.headers + "Content-Length: "
                 + QByteArray::number(r.body.size() + r.missing) + "\r\nConnection: close\r\n\r\n" + r.body);
        if (r.missing == 0)
            s->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> buffers;
    QHash<QString, Risposta> routes;
};
