// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;
class QWidget;

// Another program in full screen, an overview or the lock screen may leave the ringing window up
// but unseen. The window counts as seen once the window system has given it the focus since its
// showing, or, under X11, when the window manager's own record names it active; when it is not
// seen within a second, one desktop notification names the alarm, and its "Chiudi" closes the
// window. An alarm that cannot sound (the bell standing in, silent on many desktops) is notified
// at once, the desktop sounding it. The notification goes when the window hides.
class SeenWatch : public QObject
{
    Q_OBJECT

public:
    // `window`: the ringing window; `chiudi`: what the notification's "Chiudi" does while it shows.
    SeenWatch(QWidget *window, std::function<void()> chiudi);

    // The window was shown for the alarm of `orario` ("07.30"); `muta`: the program cannot sound it.
    void mostrata(const QString &orario, bool muta);
    // The window system gave the window the focus.
    void fuocoAvuto();
    // The window was hidden.
    void nascosta();

private:
    void controlla();
    void avvisa(bool conSuono);

    QWidget *finestra;
    std::function<void()> chiudi;
    // Since its last showing the window system has given the window the focus.
    bool fuocoRicevuto = false;
    // The alarm's minute, read from the clock when the window was shown.
    QString orario;
    // One second after the showing: without the focus by then, the desktop is told.
    QTimer *attesaFuoco;
    QElapsedTimer mostrataDa;
    bool rinviata = false;
    bool avvisoInviato = false;
};
