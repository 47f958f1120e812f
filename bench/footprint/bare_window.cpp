// The toolkit's floor for the footprint benchmark: a plain Qt Widgets window of the main window's size with one label.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("TQZ_Trillora"));
    window.setFixedSize(371, 112);
    window.show();
    return QApplication::exec();
}
