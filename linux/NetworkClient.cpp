// The seam's page loader: the network module, loaded the first time a window needs it, or a stand-in.
#include "linux/NetworkClient.h"

#include "platform/Platform.h"

#include <QPointer>
#include <QWidget>

namespace {

// The version window opens and asks as always, and its check ends without a build number.
class UnreachablePage : public Browser
{
public:
    UnreachablePage(QObject *parent, const QString &reason)
        : Browser(parent)
        , reason(reason)
    {
    }
    void navigate(const QString &address) override
    {
        QMetaObject::invokeMethod(
            this,
            [this, address] {
                completed = true;
                const QPointer<UnreachablePage> alive(this);
                emit documentComplete(address);
                if (alive)
                    emit unusable(reason);
            },
            Qt::QueuedConnection);
    }
    bool hasDocument() const override { return completed; }
    QByteArray bodyOuterHtml() const override { return {}; }

private:
    QString reason;
    bool completed = false;
};

} // namespace

NetworkClient::NetworkClient(const QString &folder, const QByteArray &identity)
    : folder(folder)
    , identity(identity)
{
}

Browser *NetworkClient::createBrowser(QWidget *parent)
{
    if (!create) {
        QString error;
        create = reinterpret_cast<CreateBrowser *>(
            Modules::entry(folder, Modules::Network, "trillora_network_browser", identity, error));
        if (!create)
            return new UnreachablePage(parent, error);
    }
    return create(parent);
}
