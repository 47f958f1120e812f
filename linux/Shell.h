// Message boxes and the desktop shell as the Linux seam offers them.
#pragma once

#include "platform/Platform.h"

#include <QUrl>

class QMessageBox;

// The box as the seam shows it: icon, buttons and title for the kind, no owner.
QMessageBox *buildMessageBox(MessageKind kind, const QString &title, const QString &text);
// Shows the box without making it application-modal and waits for its answer.
bool runMessageBox(QMessageBox *box);
// The text a shell link becomes for xdg-open (percent-encoding happens here).
QUrl urlForShell(const QString &target);
// The mailto: link for xdg-open: subject and body each percent-encoded once, every character but
// the unreserved ones, so that none of them reads as a separator, fragment or blank.
QUrl mailtoUrl(const QString &address, const QString &subject, const QString &body);

namespace Shell {

// The seam's box: built, shown and answered as above.
bool messageBox(MessageKind kind, const QString &title, const QString &text);
// xdg-open is started as a program with one argument, never through a shell command line.
void open(const QString &target);
void openMail(const QString &address, const QString &subject, const QString &body);

} // namespace Shell
