// The application object: title, language of the standard buttons, the layouts' font substitutes and the caret's rest.
#pragma once

#include <QApplication>

// Failures inside handlers are caught where each handler is called (ErrorDisplay::guarded and
// attach in widgets/ErrorDisplay.h), never here: an exception must not cross Qt's event dispatch.
class TrilloraApplication : public QApplication
{
public:
    TrilloraApplication(int &argc, char **argv);
};
