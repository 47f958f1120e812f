// The small window that shows a download's progress and lets the user stop it.
#include "network/DownloadWindow.h"

#include "network/FileDownload.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

DownloadWindow::DownloadWindow(const QUrl &url, const QString &folder, int timeoutMs)
    : QDialog(nullptr)
{
    setObjectName(QStringLiteral("DownloadWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(tr("Scaricamento"));

    messageLabel = new QLabel(tr("Scaricamento di %1 in corso...").arg(url.fileName()), this);
    messageLabel->setObjectName(QStringLiteral("messaggio"));
    messageLabel->setWordWrap(true);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("avanzamento"));
    progressBar->setRange(0, 0);
    button = new QPushButton(tr("Annulla"), this);
    button->setObjectName(QStringLiteral("pulsante"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(messageLabel);
    layout->addWidget(progressBar);
    layout->addWidget(button, 0, Qt::AlignRight);
    setMinimumWidth(320);
    // The bar has no caption of its own for a screen reader to read.
    progressBar->setAccessibleName(tr("Avanzamento dello scaricamento"));

    // Asked for from a modal window, it must not be blocked by it; a transient parent keeps it usable
    // and, being only a weak link, lets it outlive that window.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        winId();
        windowHandle()->setTransientParent(modal->windowHandle());
    }

    transfer = new FileDownload(url, folder, timeoutMs, this);
    // Nothing in these handlers throws: they only set captions and the bar.
    connect(transfer, &FileDownload::progress, this, &DownloadWindow::onProgress);
    connect(transfer, &FileDownload::finished, this, &DownloadWindow::onFinished);
    connect(button, &QPushButton::clicked, this, &DownloadWindow::close);
}

void DownloadWindow::closeEvent(QCloseEvent *event)
{
    transfer->cancel();
    QDialog::closeEvent(event);
}

void DownloadWindow::onProgress(qint64 received, qint64 total)
{
    if (total <= 0)
        return;
    // Scaled to per mille: the bar's range is an int, files may pass 2 GiB.
    progressBar->setRange(0, 1000);
    progressBar->setValue(static_cast<int>(received * 1000 / total));
}

void DownloadWindow::onFinished(bool saved, const QString &message)
{
    progressBar->setRange(0, 1000);
    progressBar->setValue(saved ? 1000 : 0);
    messageLabel->setText(saved ? tr("Salvato in %1").arg(QDir::toNativeSeparators(message))
                                : tr("Scaricamento non riuscito: %1").arg(message));
    button->setText(tr("Chiudi"));
}
