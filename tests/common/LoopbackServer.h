// A tiny HTTP server on 127.0.0.1 with canned answers per path, for the loader and window tests.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

#include <sys/socket.h>

// How a server breaks down once it has read the request.
enum class Guasto {
    Nessuno,
    Reset,    // headers and part of the body, then a TCP reset
    Infinito, // a body that never ends, sent as fast as it is read
    Goccia,   // a body that never ends, one byte every 50 ms
};

struct Risposta
{
    int status = 200;
    QByteArray body;
    QByteArray headers = "Content-Type: text/html\r\n";
    bool hang = false; // accept and never answer
    int missing = 0;   // bytes announced beyond the body and never sent: the transfer stays open
    Guasto guasto = Guasto::Nessuno;
    QByteArrayList poi {}; // more of the body, each piece after a pause of pausaMs
    int pausaMs = 200;
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
        if (r.guasto != Guasto::Nessuno) {
            guasta(s, r.guasto);
            return;
        }
        s->write("HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n" + r.headers + "Content-Length: "
                 + QByteArray::number(r.body.size() + r.poi.join().size() + r.missing) + "\r\nConnection: close\r\n\r\n"
                 + r.body);
        if (!r.poi.isEmpty())
            aRate(s, r.poi, r.pausaMs, r.missing == 0);
        else if (r.missing == 0)
            s->disconnectFromHost();
    }

    static void aRate(QTcpSocket *s, QByteArrayList pezzi, int pausaMs, bool chiudi)
    {
        QTimer::singleShot(pausaMs, s, [s, pezzi, pausaMs, chiudi]() mutable {
            s->write(pezzi.takeFirst());
            if (!pezzi.isEmpty())
                aRate(s, pezzi, pausaMs, chiudi);
            else if (chiudi)
                s->disconnectFromHost();
        });
    }

    // Endless bodies stop by themselves too: after 64 MiB, or five minutes of drops.
    static void guasta(QTcpSocket *s, Guasto guasto)
    {
        const QByteArray head = "HTTP/1.1 200 X\r\nContent-Type: text/html\r\n";
        switch (guasto) {
        case Guasto::Nessuno:
            break;
        case Guasto::Reset: {
            s->write(head + "Content-Length: 100000\r\n\r\n<body><p>Versione - 19</p>");
            s->flush();
            // No lingering on close: the peer gets a reset, not an orderly end.
            const linger subito {1, 0};
            ::setsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &subito, sizeof subito);
            s->abort();
            break;
        }
        case Guasto::Infinito: {
            s->write(head + "Connection: close\r\n\r\n<body>");
            auto sent = std::make_shared<qint64>(0);
            const auto more = [s, sent] {
                while (s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() < (1 << 20)
                       && *sent < (64 << 20)) {
                    s->write(QByteArray("<p>nulla</p>").repeated(5000));
                    *sent += 60000;
                }
            };
            connect(s, &QTcpSocket::bytesWritten, s, more);
            more();
            break;
        }
        case Guasto::Goccia: {
            s->write(head + "Connection: close\r\n\r\n<body>");
            auto *drops = new QTimer(s);
            auto left = std::make_shared<int>(6000);
            connect(drops, &QTimer::timeout, s, [s, drops, left] {
                if (s->state() != QAbstractSocket::ConnectedState || --*left < 0)
                    drops->stop();
                else
                    s->write("x");
            });
            drops->start(50);
            break;
        }
        }
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> buffers;
    QHash<QString, Risposta> routes;
};
