// The application object and its general error display.
#include "app/Application.h"

#include "support/Config.h"
#include "support/Errors.h"

TrilloraApplication::TrilloraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(Config::ApplicationTitle);
}

// Timer ticks, clicks and key presses all pass through here, so one catch serves every handler;
// the program goes on after the box.
bool TrilloraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ErrorDisplay::mostra(error);
    }
    return false;
}
