// The application object: it routes any failure that escapes a handler to the general error display.
#pragma once

#include <QApplication>

class TrilloraApplication : public QApplication
{
public:
    TrilloraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
