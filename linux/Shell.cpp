// Message boxes and the desktop shell as the Linux seam offers them: Qt's boxes, xdg-open links.
#include "linux/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMessageBox>
#include <QWindow>

#include <memory>

QMessageBox *buildMessageBox(MessageKind kind, const QString &title, const QString &text)
{
    auto *box = new QMessageBox;
    box->setWindowTitle(title);
    box->setText(text);
    switch (kind) {
    case MessageKind::Info:
        box->setIcon(QMessageBox::Information);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Warning:
        box->setIcon(QMessageBox::Warning);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Error:
        box->setIcon(QMessageBox::Critical);
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Question:
        box->setIcon(QMessageBox::Question);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A QMessageBox is application-modal from birth; the program's other windows must stay usable.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    return box;
}

bool runMessageBox(QMessageBox *box)
{
    // Still no owner, but a modal window open meanwhile (the splash, a dialog) would otherwise
    // block the box itself: tie it to that window so it can be answered.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        box->winId();
        box->windowHandle()->setTransientParent(modal->windowHandle());
    }
    QEventLoop loop;
    QObject::connect(box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box->show();
    box->raise();
    box->activateWindow();
    loop.exec();
    return box->standardButton(box->clickedButton()) == QMessageBox::Yes;
}

QUrl urlForShell(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(target);
    // Tolerant parsing keeps "?", "&" and "#" where the caller put them and encodes blanks and accents.
    return QUrl(target, QUrl::TolerantMode);
}

QUrl mailtoUrl(const QString &address, const QString &subject, const QString &body)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    url.setQuery(QStringLiteral("subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject))
                     + QStringLiteral("&body=") + QString::fromLatin1(QUrl::toPercentEncoding(body)),
                 QUrl::StrictMode);
    return url;
}

namespace Shell {

bool messageBox(MessageKind kind, const QString &title, const QString &text)
{
    std::unique_ptr<QMessageBox> box(buildMessageBox(kind, title, text));
    return runMessageBox(box.get());
}

void open(const QString &target)
{
    QDesktopServices::openUrl(urlForShell(target));
}

void openMail(const QString &address, const QString &subject, const QString &body)
{
    QDesktopServices::openUrl(mailtoUrl(address, subject, body));
}

} // namespace Shell

