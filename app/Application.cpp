// The application object: title, Italian standard buttons, font substitutes, the caret's rest.
#include "app/Application.h"

#include "widgets/CaretRest.h"
#include "core/Config.h"
#include "widgets/Glyphs.h"

#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Every size given here is decoded and sent along with each window when it is shown, so only the
// sizes a window is drawn at; the desktop's menus take the installed theme icon.
QIcon programIcon()
{
    QIcon icon;
    for (const int side : {16, 32, 48, 64})
        icon.addPixmap(builtInPng(QStringLiteral(":/icons/%1/trillora.png").arg(side)));
    return icon;
}

} // namespace

TrilloraApplication::TrilloraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(Config::ApplicationTitle);
    // Ties the windows to the installed trillora.desktop, whose icon the desktop then shows for them.
    setDesktopFileName(QStringLiteral("trillora"));
    setWindowIcon(programIcon());
    // The program ends only by "Esci", the main window's close box or a click on the ringing
    // window; the splash or ringing window closing while the main window is hidden must not end it.
    setQuitOnLastWindowClosed(false);
    new CaretRest(this);
    // fontconfig maps these to DejaVu Sans, which is too wide for the fixed layouts; Liberation
    // Sans keeps the narrow widths the captions were sized for. Verdana keeps DejaVu Sans, its match.
    // The interface is Italian, the standard buttons of the message boxes too ("Sì", "No").
    auto *italian = new QTranslator(this);
    if (italian->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(italian);
    for (const char *family : {"MS Sans Serif", "Tahoma"})
        QFont::insertSubstitution(QLatin1String(family), QStringLiteral("Liberation Sans"));
}
