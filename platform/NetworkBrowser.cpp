// The off-screen page loader (placeholder until the network loader lands).
#include "platform/NetworkBrowser.h"

NetworkBrowser::NetworkBrowser(QObject *parent)
    : Browser(parent)
{
}

void NetworkBrowser::navigate(const QString &) {}

bool NetworkBrowser::hasDocument() const
{
    return false;
}

QByteArray NetworkBrowser::bodyOuterHtml() const
{
    return {};
}
