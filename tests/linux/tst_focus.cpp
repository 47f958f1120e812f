// Which window the user works in, and the activations asked for a window: off X11, and as under Wayland.
#include "TestMain.h"
#include "WindowSystem.h"
#include "linux/Activation.h"
#include "linux/WindowManager.h"

#include <QSignalSpy>
#include <QWidget>

class TestFocus : public QObject
{
    Q_OBJECT

private slots:
    // Where no window manager keeps a record (here, off X11), Qt's focus answers, and each of its
    // changes is told.
    void withoutARecordQtsFocusAnswers()
    {
        QWidget window;
        window.show();
        WindowManager witness;
        QSignalSpy told(&witness, &FocusWitness::userWindowChanged);
        QCOMPARE(witness.userWindow(), QGuiApplication::focusWindow());
        WindowSystem::focusTo(window.windowHandle());
        QCOMPARE(witness.userWindow(), window.windowHandle());
        WindowSystem::focusTo(nullptr);
        QCOMPARE(witness.userWindow(), nullptr);
        QCOMPARE(told.count(), 2);
    }

    void activation_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("byInput"); // the user's click in the other window asks for it
        QTest::addColumn<bool>("asked");

        QTest::newRow("X11: asked, whoever asks") << false << false << true;
        QTest::newRow("Wayland, nothing the user did: nothing asked") << true << false << false;
        QTest::newRow("Wayland, the user's click but no token from the compositor: nothing asked") << true << true << false;
    }

    void activation()
    {
        QFETCH(bool, wayland);
        QFETCH(bool, byInput);
        QFETCH(bool, asked);
        QWidget window, clicked;
        window.show();
        clicked.show();
        QVERIFY(QTest::qWaitForWindowExposed(&clicked));
        WindowSystem::focusTo(clicked.windowHandle());
        WindowSystem::Activations requests(nullptr);
        Activation(wayland).activate(&window, byInput ? clicked.windowHandle() : nullptr);
        // The platform's report of a request is queued for the event loop.
        QCoreApplication::processEvents();
        QCOMPARE(requests.asked.contains(window.windowHandle()), asked);
    }
};

TRILLORA_TEST_MAIN(TestFocus)
#include "tst_focus.moc"
