// A platform seam for tests: a settable clock and folder, recorded boxes, links and sounds.
#pragma once

#include "linux/DesktopNotice.h"
#include "network/NetworkBrowser.h"
#include "platform/Platform.h"

#include <QList>
#include <QStringList>
#include <QTimeZone>
#include <functional>
#include <map>

class FakePlatform : public Platform
{
public:
    struct Box
    {
        MessageKind kind;
        QString title;
        QString text;
    };

    // Every box shown, in order. Question boxes take their answers from `answers` (No when empty).
    QList<Box> boxes;
    QList<bool> answers;
    // Show real boxes (non-modal, as the program does) instead of only recording them.
    bool realBoxes = false;
    // Called while a recorded box is "open", e.g. to check what the timers do meanwhile.
    std::function<void(const Box &)> onBox;

    QStringList opened;
    QString exePath;
    // What folderWritable() answers for any folder, and configFolder().
    bool foldersWritable = true;
    QString configHome;
    QTime now {12, 0, 0};
    // The local date and time zone that go with `now`.
    QDate today {2024, 1, 15};
    QTimeZone zone {"Europe/Rome"};
    int id = 2;
    QString host = QStringLiteral("www.trillora.example");
    // "wait 50", "tone 1050 100", "sound 152", "port 0x43 0xb6". A pattern adds to it from the
    // sound's thread: read it once the pattern has ended.
    QStringList calls;
    // What soundFault() answers.
    QString soundFaultText;
    // Called on each wait, on the sound's thread, once the wait is recorded.
    std::function<void(int)> onWait;
    std::function<Browser *(QWidget *)> browserFactory;
    // Every wake time asked for, as ISO text with its offset, or "off".
    QStringList wakes;
    // Also handed each wake time, e.g. to pass it on to a real helper.
    std::function<void(const std::optional<QDateTime> &)> onWake;
    // The page loader's limits, shortened by tests of servers that do not answer or never finish.
    int browserTimeoutMs = NetworkBrowser::defaultTimeoutMs;
    int browserDeadlineMs = NetworkBrowser::defaultDeadlineMs;

    // Where the alarm notifications go, if anywhere: a notification service on a bus of the test's own.
    DesktopNotice *noticeService = nullptr;
    // The notices of alarms slept through, "1 summary: body" or "1 withdrawn", and their "Elimina".
    QStringList missed;
    std::map<int, std::function<void()>> onDeleteMissed;
    // The window that a window manager's record names, where the test gives one (null: another
    // program's); the witness answers Qt's focus window otherwise, and tells of Qt's focus changes.
    std::optional<QWindow *> wmNames;
    // Every activation asked: the window's name, and " by input in " the window named with it.
    QStringList activated;
    // What msecsAsleep() and msecsSinceBoot() answer.
    qint64 asleepMs = 0;
    qint64 sinceBootMs = 0;

    bool messageBox(MessageKind kind, const QString &title, const QString &text) override;
    void shellOpen(const QString &target) override;
    // Recorded in `opened` as the mail link's text.
    void shellOpenMail(const QString &address, const QString &subject, const QString &body) override;
    QString executablePath() override;
    bool fileExists(const QString &path) override;
    bool folderWritable(const QString &folder) override;
    QString configFolder() override;
    QTime localTime() override;
    QDateTime localDateTime() override;
    qint64 msecsAsleep() override;
    qint64 msecsSinceBoot() override;
    int platformId() override;
    void systemTone(int frequency, int msecs) override;
    void messageSound(unsigned type) override;
    QString soundFault() override;
    void sleepMs(int msecs) override;
    void portOut(std::uint16_t port, std::uint8_t value) override;
    QString siteHost() override;
    Browser *createBrowser(QWidget *parent) override;
    void showAlarmNotice(const NoticeTexts::Words &words, bool withSound, std::function<void()> onClose) override;
    FocusWitness &focusWitness() override;
    // As under X11: the window is raised and activated, whoever asked.
    void activate(QWidget *window, QWindow *byInputIn) override;
    void withdrawAlarmNotice() override;
    void showMissedAlarm(int slot, const NoticeTexts::Words &words, std::function<void()> onDelete) override;
    void withdrawMissedAlarm(int slot) override;
    void wakeAt(const std::optional<QDateTime> &when) override;

    // Back to a fresh state between tests.
    void reset();
    // A fresh state with the program's executable in `folder`.
    void reset(const QString &folder);

private:
    void record(const QString &call);
};

// The fake that the test main installed.
FakePlatform &fake();
