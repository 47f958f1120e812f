// The seam's page loader: the network module, loaded the first time a window needs it, or a stand-in.
#include "linux/NetworkClient.h"

#include "platform/Platform.h"

#include <QPointer>
#include <QWidget>

namespace {

// The version window opens and asks as always, and its check ends without a build number.
class PaginaIrraggiungibile : public Browser
{
public:
    PaginaIrraggiungibile(QObject *parent, const QString &motivo)
        : Browser(parent)
        , motivo(motivo)
    {
    }
    void navigate(const QString &address) override
    {
        QMetaObject::invokeMethod(
            this,
            [this, address] {
                documento = true;
                const QPointer<PaginaIrraggiungibile> resta(this);
                emit documentComplete(address);
                if (resta)
                    emit unusable(motivo);
            },
            Qt::QueuedConnection);
    }
    bool hasDocument() const override { return documento; }
    QByteArray bodyOuterHtml() const override { return {}; }

private:
    QString motivo;
    bool documento = false;
};

} // namespace

NetworkClient::NetworkClient(const QString &folder, const QByteArray &identita)
    : folder(folder)
    , identita(identita)
{
}

Browser *NetworkClient::createBrowser(QWidget *parent)
{
    if (!crea) {
        QString errore;
        crea = reinterpret_cast<CreaBrowser *>(
            Moduli::entrata(folder, Moduli::Rete, "trillora_network_browser", identita, errore));
        if (!crea)
            return new PaginaIrraggiungibile(parent, errore);
    }
    return crea(parent);
}
