// What a screen reader hears: every control of every window has a name, and captions are heard as shown.
#include "ProgramFolder.h"
#include "TestMain.h"
#include "app/Main.h"
#include "network/DownloadWindow.h"
#include "ringing/Sveglia.h"
#include "support/About.h"
#include "support/Bug.h"
#include "support/Start.h"
#include "version/ControllaVersione.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>

using Fabbrica = std::function<QWidget *(const QString &folder)>;
Q_DECLARE_METATYPE(Fabbrica)

namespace {

QString nome(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// The window and what the user can see in it: bare frames only hold other controls, and a label
// whose text is still empty has nothing to be read yet (its text becomes its name when it comes).
QList<QWidget *> controlliVisibili(QWidget *window)
{
    QList<QWidget *> all {window};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QByteArray kind = w->metaObject()->className();
        if (kind == "QFrame" || kind == "QWidget")
            continue;
        if (const auto *label = qobject_cast<QLabel *>(w); label && label->text().isEmpty() && label->pixmap().isNull())
            continue;
        all << w;
    }
    return all;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    // The splash, bug and version windows read the product's identity from the about window.
    void initTestCase() { FrmAbout = new TFrmAbout; }
    void cleanupTestCase() { delete std::exchange(FrmAbout, nullptr); }

    void everyControlHasAName_data()
    {
        QTest::addColumn<Fabbrica>("fabbrica");
        QTest::addColumn<int>("almeno");
        QTest::newRow("main window: fields, slots and glyph-only buttons")
            << Fabbrica([](const QString &) { return new TFrmMain; }) << 31;
        QTest::newRow("ringing window") << Fabbrica([](const QString &) { return new TFrmSveglia; }) << 5;
        QTest::newRow("version check window: its glyph-only close button")
            << Fabbrica([](const QString &) { return new TFrmControllaVersione; }) << 7;
        QTest::newRow("splash window: the logo picture")
            << Fabbrica([](const QString &) { return new TfrmStart; }) << 5;
        QTest::newRow("bug report window") << Fabbrica([](const QString &) { return new TfrmBug; }) << 8;
        // Its logo is decoded when it is first shown.
        QTest::newRow("about window, shown: the logo picture") << Fabbrica([](const QString &) {
            auto *about = new TFrmAbout;
            about->show();
            return about;
        }) << 11;
        QTest::newRow("download window: the progress bar") << Fabbrica([](const QString &folder) {
            return new DownloadWindow(QUrl(QStringLiteral("http://127.0.0.1:9/trilor.exe")), folder, 1000);
        }) << 4;
    }

    void everyControlHasAName()
    {
        QFETCH(Fabbrica, fabbrica);
        QFETCH(int, almeno);
        ProgramFolder folder;
        std::unique_ptr<QWidget> window(fabbrica(folder.dir.path()));

        const QList<QWidget *> controls = controlliVisibili(window.get());
        // Guards the filter above: a window whose controls were all skipped would pass unheard.
        QVERIFY2(controls.size() >= almeno, qPrintable(QString::number(controls.size())));
        QStringList unnamed;
        for (QWidget *w : controls) {
            if (nome(w).trimmed().isEmpty())
                unnamed << w->objectName() + " (" + w->metaObject()->className() + ")";
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Screen readers announce windows, not fillers.
    void everyWindowIsPresentedAsAWindow()
    {
        ProgramFolder folder;
        TFrmMain main;
        TFrmSveglia ringing;
        TfrmBug bug;
        for (QWidget *w : std::initializer_list<QWidget *> {&main, &ringing}) {
            QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Window);
            // Only windows: the controls inside keep their own kinds.
            QCOMPARE(QAccessible::queryAccessibleInterface(w->findChild<QToolButton *>())->role(),
                     QAccessible::Button);
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(&bug)->role(), QAccessible::Dialog);
    }

    // A name copied from a caption would go stale when the caption changes.
    void captionsAreHeardAsShown()
    {
        ProgramFolder folder;
        folder.settings(QStringLiteral("English"));
        folder.languages();

        TFrmMain main;
        main.sbSuono->click();
        QCOMPARE(nome(main.sbSuono), QStringLiteral("Speaker"));
        QCOMPARE(nome(main.sbControllaVersione), QStringLiteral("Controlla versione"));

        TfrmBug bug;
        QCOMPARE(nome(bug.ButEsci), QStringLiteral("Exit"));
        QCOMPARE(nome(&bug), QStringLiteral("Bug report"));
    }
};

TRILLORA_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
