// Entering, refusing and deleting alarms; the delete buttons, the focus, Enter and the sound options.
#include "MainWindowFixture.h"
#include "TestMain.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

QStringList slotTexts()
{
    return {FrmMain->ed1sv1->text(), FrmMain->Ed1sv2->text(), FrmMain->Ed2sv1->text(), FrmMain->ED2sv2->text(),
            FrmMain->Ed3sv1->text(), FrmMain->ed3sv2->text(), FrmMain->ed4sv1->text(), FrmMain->ed4sv2->text(),
            FrmMain->ed5sv1->text(), FrmMain->ed5sv2->text()};
}

void typeInto(QWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

void enter(const QString &hour, const QString &minute)
{
    FrmMain->Edsveglia1->setText(hour);
    FrmMain->EDSveglia2->setText(minute);
    FrmMain->sbConferma->click();
}

QStringList emptySlots()
{
    return QStringList(10, QStringLiteral("*"));
}

QMessageBox *openBox()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            return box;
    return nullptr;
}

// Runs `act` on each real message box as it comes up, until stopped.
class BoxPilot : public QObject
{
public:
    std::function<void(QMessageBox *)> act;
    int seen = 0;
    BoxPilot()
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            QMessageBox *box = openBox();
            if (!box || box == last)
                return;
            last = box;
            ++seen;
            act(box);
        });
        timer.start();
    }

private:
    QTimer timer;
    QMessageBox *last = nullptr;
};

} // namespace

class TestSlots : public QObject
{
    Q_OBJECT

private slots:
    void insertion_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("slotHour");
        QTest::addColumn<QString>("slotMinute");
        QTest::addColumn<QString>("warning");

        const QString invalid = QString::fromUtf8("L'orario immesso non è valido");
        QTest::newRow("one digit each is padded") << "7" << "5" << "07" << "05" << "";
        QTest::newRow("midnight accepted") << "00" << "00" << "00" << "00" << "";
        QTest::newRow("last minute of the day accepted") << "23" << "59" << "23" << "59" << "";
        QTest::newRow("hour 24 refused") << "24" << "00" << "*" << "*" << invalid;
        QTest::newRow("minute 60 refused") << "12" << "60" << "*" << "*" << invalid;
        QTest::newRow("asterisk becomes 0* and is refused") << "*" << "30" << "*" << "*" << invalid;
        QTest::newRow("letters refused") << "ab" << "10" << "*" << "*" << invalid;
        QTest::newRow("empty hour padded to 0 is refused") << "" << "10" << "*" << "*" << invalid;
        QTest::newRow("signed digit refused") << "+7" << "10" << "*" << "*" << invalid;
        QTest::newRow("blank before a digit refused") << " 7" << "10" << "*" << "*" << invalid;
        QTest::newRow("hexadecimal refused") << "$1" << "10" << "*" << "*" << invalid;
        QTest::newRow("negative refused") << "-1" << "10" << "*" << "*" << invalid;
    }

    void insertion()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, slotHour);
        QFETCH(QString, slotMinute);
        QFETCH(QString, warning);
        MainWindowFixture f;
        enter(hour, minute);
        QCOMPARE(FrmMain->ed1sv1->text(), slotHour);
        QCOMPARE(FrmMain->Ed1sv2->text(), slotMinute);
        if (warning.isEmpty()) {
            QVERIFY(fake().boxes.isEmpty());
        } else {
            QCOMPARE(fake().boxes.size(), 1);
            QCOMPARE(fake().boxes[0].title, QStringLiteral("Attenzione."));
            QCOMPARE(fake().boxes[0].text, warning);
        }
    }

    void paddedTextsStayInTheEntryFields()
    {
        MainWindowFixture f;
        enter(QStringLiteral("7"), QStringLiteral("5"));
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("07"));
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("05"));
        enter(QStringLiteral("*"), QStringLiteral("*"));
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("0*"));
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("0*"));
    }

    void duplicatesAndAFullTable()
    {
        MainWindowFixture f;
        const QStringList times {"07", "30", "08", "00", "09", "15", "22", "05", "23", "59"};
        for (int i = 0; i < 10; i += 2)
            enter(times[i], times[i + 1]);
        QCOMPARE(slotTexts(), times);
        QVERIFY(fake().boxes.isEmpty());

        enter(QStringLiteral("12"), QStringLiteral("00"));
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Messaggio."));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Esaurita la memoria per le sveglie!!"));

        // A duplicate is reported as such even when no slot is free.
        enter(QStringLiteral("7"), QStringLiteral("30"));
        QCOMPARE(fake().boxes.size(), 2);
        QCOMPARE(fake().boxes[1].title, QStringLiteral("Attenzione."));
        QCOMPARE(fake().boxes[1].text, QString::fromUtf8("La sveglia per le ore '07 e 30' esiste già!"));
        QCOMPARE(slotTexts(), times);
    }

    // Every slot takes part in the duplicate check: with a free slot to go to, a check that stopped
    // short of the repeated slot would insert the time a second time.
    void duplicateOfEverySlotIsRefused_data()
    {
        QTest::addColumn<int>("repeated");
        QTest::addColumn<int>("emptied");
        QTest::newRow("slot 1, slot 5 free") << 1 << 5;
        QTest::newRow("slot 2, slot 1 free") << 2 << 1;
        QTest::newRow("slot 3, slot 1 free") << 3 << 1;
        QTest::newRow("slot 4, slot 2 free") << 4 << 2;
        QTest::newRow("slot 5, slot 1 free") << 5 << 1;
        QTest::newRow("slot 5, slot 4 free") << 5 << 4;
    }

    void duplicateOfEverySlotIsRefused()
    {
        QFETCH(int, repeated);
        QFETCH(int, emptied);
        MainWindowFixture f;
        const QStringList hours {"01", "02", "03", "04", "05"};
        for (const QString &hour : hours)
            enter(hour, QStringLiteral("45"));
        QToolButton *cancels[] = {FrmMain->sbCanc1, FrmMain->sbCanc2, FrmMain->sbCanc3, FrmMain->SbCanc4,
                                  FrmMain->SbCanc5};
        cancels[emptied - 1]->setEnabled(true);
        cancels[emptied - 1]->click();
        const QStringList before = slotTexts();

        enter(hours[repeated - 1], QStringLiteral("45"));
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Attenzione."));
        QCOMPARE(fake().boxes[0].text,
                 QString::fromUtf8("La sveglia per le ore '%1 e 45' esiste già!").arg(hours[repeated - 1]));
        QCOMPARE(slotTexts(), before);
    }

    void deletedSlotIsTheNextToFill()
    {
        MainWindowFixture f;
        for (const char *hour : {"01", "02", "03", "04", "05"})
            enter(QLatin1String(hour), QStringLiteral("00"));
        FrmMain->sbCanc2->setEnabled(true);
        FrmMain->sbCanc2->click();
        QCOMPARE(FrmMain->Ed2sv1->text(), QStringLiteral("*"));
        QCOMPARE(FrmMain->ED2sv2->text(), QStringLiteral("*"));
        enter(QStringLiteral("12"), QStringLiteral("34"));
        QCOMPARE(FrmMain->Ed2sv1->text(), QStringLiteral("12"));
        QCOMPARE(FrmMain->ED2sv2->text(), QStringLiteral("34"));
    }

    void slotWithStarHourIsFreeWhateverItsMinute()
    {
        MainWindowFixture f;
        FrmMain->Ed1sv2->setText(QStringLiteral("45"));
        FrmMain->TimerEliminaTimer();
        QVERIFY(FrmMain->sbCanc1->isEnabled());
        enter(QStringLiteral("06"), QStringLiteral("10"));
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("06"));
        QCOMPARE(FrmMain->Ed1sv2->text(), QStringLiteral("10"));
    }

    void deleteButtonsFollowAtTheRefresh()
    {
        MainWindowFixture f;
        enter(QStringLiteral("07"), QStringLiteral("30"));
        QVERIFY(!FrmMain->sbCanc1->isEnabled());
        QMetaObject::invokeMethod(FrmMain->TimerElimina, "timeout");
        QVERIFY(FrmMain->sbCanc1->isEnabled());
        QVERIFY(!FrmMain->sbCanc2->isEnabled());

        FrmMain->sbCanc1->click();
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
        QVERIFY(FrmMain->sbCanc1->isEnabled());
        FrmMain->sbCanc1->click();
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
        QMetaObject::invokeMethod(FrmMain->TimerElimina, "timeout");
        QVERIFY(!FrmMain->sbCanc1->isEnabled());
        QVERIFY(fake().boxes.isEmpty());
    }

    // The refresh looks at all five slots, in both directions: a skipped slot would leave its
    // alarm impossible to delete, or a dead button enabled.
    void everyDeleteButtonFollowsItsSlot_data()
    {
        QTest::addColumn<int>("slot");
        for (int i = 1; i <= 5; ++i)
            QTest::newRow(qPrintable(QStringLiteral("slot %1").arg(i))) << i;
    }

    void everyDeleteButtonFollowsItsSlot()
    {
        QFETCH(int, slot);
        MainWindowFixture f;
        QLineEdit *hours[] = {FrmMain->ed1sv1, FrmMain->Ed2sv1, FrmMain->Ed3sv1, FrmMain->ed4sv1, FrmMain->ed5sv1};
        QToolButton *cancels[] = {FrmMain->sbCanc1, FrmMain->sbCanc2, FrmMain->sbCanc3, FrmMain->SbCanc4,
                                  FrmMain->SbCanc5};
        const auto enabled = [&cancels] {
            QList<bool> states;
            for (QToolButton *b : cancels)
                states << b->isEnabled();
            return states;
        };
        QList<bool> expected(5, false);

        // Empty to filled: only this slot's button comes on.
        hours[slot - 1]->setText(QStringLiteral("06"));
        FrmMain->TimerEliminaTimer();
        expected[slot - 1] = true;
        QCOMPARE(enabled(), expected);

        // All filled, then this one emptied: only its button goes off.
        for (QLineEdit *hour : hours)
            hour->setText(QStringLiteral("07"));
        FrmMain->TimerEliminaTimer();
        QCOMPARE(enabled(), QList<bool>(5, true));
        cancels[slot - 1]->click();
        FrmMain->TimerEliminaTimer();
        expected.fill(true);
        expected[slot - 1] = false;
        QCOMPARE(enabled(), expected);
    }

    void focusMoves()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        // The "*" is selected when the window comes up, so typing replaces it.
        typeInto(FrmMain->windowHandle(), QStringLiteral("0"));
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("0"));
        QCOMPARE(QApplication::focusWidget(), FrmMain->Edsveglia1);
        typeInto(FrmMain->windowHandle(), QStringLiteral("7"));
        QCOMPARE(QApplication::focusWidget(), FrmMain->EDSveglia2);
        // At most two characters are typed, and the minute's "*" is replaced as well.
        typeInto(FrmMain->windowHandle(), QStringLiteral("301"));
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("30"));

        // The padding of a one-character hour moves the focus too, and every attempt ends in the hour field.
        FrmMain->Edsveglia1->setText(QStringLiteral("8"));
        FrmMain->Edsveglia1->setFocus();
        FrmMain->sbConferma->click();
        QCOMPARE(QApplication::focusWidget(), FrmMain->Edsveglia1);
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("08"));
    }

    void frameOfSlotOneCopiesIt()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        enter(QStringLiteral("06"), QStringLiteral("45"));
        FrmMain->Edsveglia1->setText(QStringLiteral("*"));
        FrmMain->EDSveglia2->setText(QStringLiteral("*"));
        const QPoint inFrame = FrmMain->Panel1->mapTo(FrmMain, QPoint(2, 2));
        QTest::mouseClick(FrmMain->windowHandle(), Qt::LeftButton, {}, inFrame);
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("06"));
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("45"));
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].title, QStringLiteral("Messaggio."));
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Panel1"));
        QCOMPARE(QApplication::focusWidget(), FrmMain->EDSveglia2);
    }

    void doubleClickOnTheFrameIsOneClick()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QTest::mouseDClick(FrmMain->windowHandle(), Qt::LeftButton, {}, FrmMain->Panel1->mapTo(FrmMain, QPoint(2, 2)));
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].text, QStringLiteral("Panel1"));
    }

    // A press on the frame that is dragged off it before the release is no click.
    void dragOffTheFrameIsNoClick()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QTest::mousePress(FrmMain->windowHandle(), Qt::LeftButton, {}, FrmMain->Panel1->mapTo(FrmMain, QPoint(2, 2)));
        QTest::mouseRelease(FrmMain->windowHandle(), Qt::LeftButton, {}, FrmMain->Panel3->mapTo(FrmMain, QPoint(2, 2)));
        QCOMPARE(fake().boxes.size(), 0);
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("*"));
    }

    // Pasting into an entry field keeps what fits, as a field of two typed characters does.
    void pasteKeepsWhatFits_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength"); // 0: only the cursor, at selectionStart
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");

        QTest::newRow("three into an empty field keep two") << "" << 0 << 0 << "123" << "12";
        QTest::newRow("after one character one more fits") << "1" << 1 << 0 << "234" << "12";
        QTest::newRow("before one character one more fits") << "1" << 0 << 0 << "234" << "21";
        QTest::newRow("the selected star frees its room") << "*" << 0 << 1 << "0730" << "07";
        QTest::newRow("a selected character frees its room") << "45" << 1 << 1 << "678" << "46";
        QTest::newRow("full field takes nothing") << "45" << 2 << 0 << "6" << "45";
        QTest::newRow("what fits is pasted whole") << "" << 0 << 0 << "9" << "9";
        QTest::newRow("paste like the text around it") << "1" << 1 << 0 << "11" << "11";
    }

    void pasteKeepsWhatFits()
    {
        QFETCH(QString, before);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        QLineEdit *field = FrmMain->EDSveglia2;
        field->setFocus();
        field->setText(before);
        if (selectionLength > 0)
            field->setSelection(selectionStart, selectionLength);
        else
            field->setCursorPosition(selectionStart);
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keySequence(FrmMain->windowHandle(), QKeySequence::Paste);
        QCOMPARE(field->text(), after);
    }

    // A text the program sets (here the copy of slot 1, as a loaded file can leave it) is never
    // cut; typing into it adds nothing while it is longer than two, and deleting still works.
    void programTextsAreNotCut()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        FrmMain->ed1sv1->setText(QStringLiteral("12345"));
        FrmMain->Ed1sv2->setText(QStringLiteral("678"));
        FrmMain->Panel1Click();
        QCOMPARE(FrmMain->Edsveglia1->text(), QStringLiteral("12345"));
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("678"));
        FrmMain->EDSveglia2->setFocus();
        FrmMain->EDSveglia2->setCursorPosition(3);
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_9);
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("678"));
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_Backspace);
        QCOMPARE(FrmMain->EDSveglia2->text(), QStringLiteral("67"));
    }

    void enterReleasedInEitherFieldInserts_data()
    {
        QTest::addColumn<bool>("inMinuteField");
        QTest::addColumn<int>("key");
        QTest::newRow("hour field, Return") << false << int(Qt::Key_Return);
        QTest::newRow("minute field, Return") << true << int(Qt::Key_Return);
        QTest::newRow("minute field, keypad Enter") << true << int(Qt::Key_Enter);
    }

    void enterReleasedInEitherFieldInserts()
    {
        QFETCH(bool, inMinuteField);
        QFETCH(int, key);
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        FrmMain->Edsveglia1->setText(QStringLiteral("21"));
        FrmMain->EDSveglia2->setText(QStringLiteral("15"));
        (inMinuteField ? FrmMain->EDSveglia2 : FrmMain->Edsveglia1)->setFocus();
        QTest::keyPress(FrmMain->windowHandle(), Qt::Key(key));
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
        QTest::keyRelease(FrmMain->windowHandle(), Qt::Key(key));
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("21"));
        QCOMPARE(FrmMain->Ed1sv2->text(), QStringLiteral("15"));
    }

    void otherKeysDoNothing()
    {
        MainWindowFixture f;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        FrmMain->Edsveglia1->setText(QStringLiteral("21"));
        FrmMain->EDSveglia2->setText(QStringLiteral("15"));
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_Tab);
        QTest::keyClick(FrmMain->windowHandle(), Qt::Key_Space);
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("*"));
    }

    // The box that refuses an entry is dismissed with Enter; the release of that Enter lands in
    // the hour field once the box has gone, and must not insert (and refuse) again.
    void enterThatDismissesABoxDoesNotInsertAgain()
    {
        MainWindowFixture f;
        fake().realBoxes = true;
        FrmMain->show();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        FrmMain->Edsveglia1->setText(QStringLiteral("24"));
        FrmMain->EDSveglia2->setText(QStringLiteral("00"));
        FrmMain->Edsveglia1->setFocus();

        BoxPilot pilot;
        pilot.act = [&pilot](QMessageBox *box) {
            // Should the fault come back, the mouse ends the loop of boxes so the test fails cleanly.
            if (pilot.seen > 2) {
                box->button(QMessageBox::Ok)->click();
                return;
            }
            QVERIFY(QTest::qWaitForWindowActive(box));
            QTest::keyPress(box->windowHandle(), Qt::Key_Return);
            // Released from a fresh event, so the pilot stays free to see a box that comes back.
            QTimer::singleShot(0, [] { QTest::keyRelease(FrmMain->windowHandle(), Qt::Key_Return); });
        };
        QTest::keyPress(FrmMain->windowHandle(), Qt::Key_Return);
        QTest::keyRelease(FrmMain->windowHandle(), Qt::Key_Return);
        QTest::qWait(100);
        QCOMPARE(pilot.seen, 1);
        QCOMPARE(fake().boxes.size(), 1);
        QCOMPARE(fake().boxes[0].text, QString::fromUtf8("L'orario immesso non è valido"));
        QCOMPARE(slotTexts(), emptySlots());

        // A valid entry then inserts on the next Enter.
        FrmMain->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FrmMain));
        FrmMain->Edsveglia1->setText(QStringLiteral("06"));
        FrmMain->EDSveglia2->setText(QStringLiteral("30"));
        FrmMain->Edsveglia1->setFocus();
        QTest::keyPress(FrmMain->windowHandle(), Qt::Key_Return);
        QTest::keyRelease(FrmMain->windowHandle(), Qt::Key_Return);
        QCOMPARE(FrmMain->ed1sv1->text(), QStringLiteral("06"));
        QCOMPARE(FrmMain->Ed1sv2->text(), QStringLiteral("30"));
        QCOMPARE(fake().boxes.size(), 1);
    }

    void soundOptionsToggle()
    {
        MainWindowFixture f;
        FrmMain->sbSuono->click();
        QCOMPARE(FrmMain->sbSuono->text(), QStringLiteral("Speaker"));
        FrmMain->sbSuono->click();
        QCOMPARE(FrmMain->sbSuono->text(), QStringLiteral("Casse"));
        FrmMain->sbDurata->click();
        QCOMPARE(FrmMain->sbDurata->text(), QStringLiteral("Minore"));
        FrmMain->sbDurata->click();
        QCOMPARE(FrmMain->sbDurata->text(), QStringLiteral("Maggiore"));

        // Any other caption, as a hand-edited file can leave, toggles to the first-named text.
        FrmMain->sbSuono->setText(QString());
        FrmMain->sbDurata->setText(QStringLiteral("maggiore"));
        FrmMain->sbSuono->click();
        FrmMain->sbDurata->click();
        QCOMPARE(FrmMain->sbSuono->text(), QStringLiteral("Speaker"));
        QCOMPARE(FrmMain->sbDurata->text(), QStringLiteral("Maggiore"));
    }
};

TRILLORA_TEST_MAIN(TestSlots)
#include "tst_slots.moc"
