// The off-screen page loader on QNetworkAccessManager.
#pragma once

#include "platform/Platform.h"

class NetworkBrowser : public Browser
{
    Q_OBJECT
public:
    explicit NetworkBrowser(QObject *parent = nullptr);

    void navigate(const QString &address) override;
    bool hasDocument() const override;
    QByteArray bodyOuterHtml() const override;
};
