// The seam's page loader: the network module, loaded the first time a window needs it, or a stand-in.
#pragma once

#include "linux/Modules.h"

#include <QByteArray>
#include <QString>

// The page loader comes from trillora-network.so in `folder`, loaded on first use so that start-up
// maps neither Qt Network nor libxml2.
class NetworkClient
{
public:
    NetworkClient(const QString &folder, const QByteArray &identity);

    // A loader owned by `parent`. Without a usable module, one whose every navigation ends as a
    // failed load does, in an empty document, and which then reports why (Browser::unusable).
    Browser *createBrowser(QWidget *parent);

private:
    QString folder;
    QByteArray identity;
    // Kept once had: later windows use the loaded module even after an install replaced its file.
    CreateBrowser *create = nullptr;
};
