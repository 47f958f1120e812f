// Fuzz target: the main window loads arbitrary bytes as its alarm file, saves, and loads again: the
// fields must be the same both times, and the saved file their exact twelve lines.
#include "FakePlatform.h"
#include "app/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

QString folder;

QString alarmFile()
{
    return folder + QStringLiteral("/sveglia.imptqz");
}

QStringList fields()
{
    return {FrmMain->ed1sv1->text(), FrmMain->Ed1sv2->text(), FrmMain->Ed2sv1->text(), FrmMain->ED2sv2->text(),
            FrmMain->Ed3sv1->text(), FrmMain->ed3sv2->text(), FrmMain->ed4sv1->text(), FrmMain->ed4sv2->text(),
            FrmMain->ed5sv1->text(), FrmMain->ed5sv2->text(), FrmMain->sbSuono->text(), FrmMain->sbDurata->text()};
}

// The file's lines as bytes: breaks at CR LF, lone CR and lone LF; a final break adds no line.
std::vector<QByteArray> lines(const QByteArray &bytes)
{
    std::vector<QByteArray> out;
    QByteArray line;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        out.push_back(line);
        line.clear();
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (!line.isEmpty())
        out.push_back(line);
    return out;
}

QByteArray readFile()
{
    QFile f(alarmFile());
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

void load()
{
    fake().boxes.clear();
    FrmMain->sbLoadClick();
    if (!fake().boxes.isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    installPlatform(new FakePlatform);
    // On tmpfs where there is one, since every save is synced to disk; removed at exit.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir temporary(base + QStringLiteral("/trillora-fuzz-XXXXXX"));
    folder = temporary.path();
    fake().reset(folder);
    FrmMain = new TFrmMain;
    FrmMain->Timer1->stop();
    FrmMain->TimerElimina->stop();
    // Qt's font database and other lazy caches start here, not inside the first input.
    LLVMFuzzerTestOneInput(nullptr, 0);
    // libFuzzer and the replay both end through exit(): the window and the application go first, as
    // after a return from main. Registered last, it runs before the static data Qt has made so far
    // goes (on Qt 6.8 some of it goes with the application).
    std::atexit([] {
        delete FrmMain;
        FrmMain = nullptr;
        delete qApp;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile f(alarmFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
            std::abort();
    }
    load();
    const QStringList first = fields();

    fake().boxes.clear();
    FrmMain->SpeedButton1Click();
    if (fake().boxes.size() != 1 || fake().boxes[0].text != QStringLiteral("Orari e tipologia di suono memorizzati!"))
        std::abort();
    // The saved file holds the first twelve lines of the input exactly, the missing ones empty.
    const std::vector<QByteArray> read = lines(input);
    QByteArray expected;
    for (std::size_t k = 0; k < 12; ++k)
        expected += (k < read.size() ? read[k] : QByteArray()) + "\r\n";
    if (readFile() != expected)
        std::abort();

    load();
    if (fields() != first)
        std::abort();
    return 0;
}
