// The toolkit's floor for the footprint benchmark: a plain Qt Widgets window of the main window's
// size with one label. --clock adds a clock label set every 400 ms, --entry an entry field with the
// keyboard focus (its caret blinks), both made before the window is shown as the main window's are;
// --clock-and-entry adds both.
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
    const QStringList args = app.arguments();
    const bool both = args.contains(QStringLiteral("--clock-and-entry"));
    if (both || args.contains(QStringLiteral("--entry"))) {
        auto *entry = new QLineEdit(QStringLiteral("*"), &window);
        entry->setGeometry(232, 3, 25, 23);
        entry->setFocus();
    }
    if (both || args.contains(QStringLiteral("--clock"))) {
        auto *clock = new QLabel(QStringLiteral("12.00.00"), &window);
        clock->setGeometry(6, 4, 63, 23);
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
