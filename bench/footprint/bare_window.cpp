// The toolkit's floor for the footprint benchmark: a plain Qt Widgets window of the main window's
// size with one label; with --clock-and-entry it also shows a clock set every 400 ms and an entry
// field that has the keyboard focus, both made before the window is shown, as the main window's are.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTime>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("TQZ_Trillora"));
    window.setFixedSize(371, 112);
    if (app.arguments().contains(QStringLiteral("--clock-and-entry"))) {
        auto *clock = new QLabel(QStringLiteral("12.00.00"), &window);
        clock->setGeometry(6, 4, 63, 23);
        auto *entry = new QLineEdit(QStringLiteral("*"), &window);
        entry->setGeometry(232, 3, 25, 23);
        entry->setFocus();
        auto *tick = new QTimer(&window);
        tick->setTimerType(Qt::PreciseTimer);
        QObject::connect(tick, &QTimer::timeout, clock, [clock] {
            const QString text = QTime::currentTime().toString(QStringLiteral("HH.mm.ss"));
            if (clock->text() != text)
                clock->setText(text);
        });
        tick->start(400);
    }
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
