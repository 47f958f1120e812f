// The caret's rest: after ten seconds without input the entry fields' caret stops blinking.
#pragma once

#include <QObject>

class QCoreApplication;
class QTimer;

// A blinking caret wakes the program twice a second for as long as it shows, so it rests as the
// desktop's own fields do: shown and still after ten seconds without a key or mouse event, blinking
// again with the next one. A field taking the focus starts the ten seconds afresh, so a window
// that comes up shows where to type. Qt has no such time-out; the blinking is stopped through the
// flash time that every field follows.
class CaretRest : public QObject
{
    Q_OBJECT

public:
    static constexpr int IdleMs = 10000;

    // Watches every event of the application, which owns it.
    explicit CaretRest(QCoreApplication *app);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rest();

    QTimer *idleTimer;
    // The desktop's flash time while the caret rests, to be put back; -1 while it blinks.
    int flashTime = -1;
};
