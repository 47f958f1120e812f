// Whether the ringing window is seen, and when to tell the desktop that it may not be.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;
class QWidget;
class QWindow;

// Another program in full screen, an overview or the lock screen may leave the ringing window up
// but unseen. The window counts as seen once the platform has named it as the window the user works
// in since its showing (Platform::userWindow); when it is not seen within a second, one desktop
// notification names the alarm, and its "Chiudi" closes the window. An alarm that cannot sound (the
// bell standing in, silent on many desktops) is notified at once, the desktop sounding it. The
// notification goes when the window hides.
class SeenWatch : public QObject
{
    Q_OBJECT

public:
    // `window`: the ringing window; `chiudi`: what the notification's "Chiudi" does while it shows.
    SeenWatch(QWidget *window, std::function<void()> chiudi);

    // The window was shown for the alarm of `orario` ("07.30"); `muta`: the program cannot sound it.
    void mostrata(const QString &orario, bool muta);
    // The focus moved to `utente`, the window the user works in (Platform::userWindow).
    void fuocoCambiato(const QWindow *utente);
    // The window was hidden.
    void nascosta();

private:
    enum class Stato {
        Nascosta,
        // Shown, not seen yet: the verdict comes a second after the showing.
        InAttesa,
        // The verdict came late (the event loop was held): once more, after a moment of free running.
        Rinviata,
        Vista,
        Avvisata,
    };

    bool vista() const;
    void controlla();
    void avvisa(bool conSuono);

    QWidget *finestra;
    std::function<void()> chiudi;
    Stato stato = Stato::Nascosta;
    // The alarm's minute, read from the clock when the window was shown.
    QString orario;
    QTimer *attesaFuoco;
    QElapsedTimer mostrataDa;
};
