// The wake helper process: started at the first wake time, told each change as one line on its input.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <optional>

class WakeHelper : public QObject
{
    Q_OBJECT
public:
    // The shortest time between two starts of a helper that keeps ending unexpectedly.
    static constexpr int defaultRestartGapMs = 60000;

    // `program` with `arguments` runs the helper (tests may put a wrapper in front of it).
    explicit WakeHelper(const QString &program, const QStringList &arguments = {}, QObject *parent = nullptr,
                        int restartGapMs = defaultRestartGapMs);
    // Ends the helper by closing its input, which drops its alarm.
    ~WakeHelper() override;

    void wakeAt(const std::optional<QDateTime> &when);
    // The helper was given the capability it lacked: a new one takes over the current wake time.
    void capabilityGranted();

signals:
    // The helper lacks the capability to wake the computer, and an alarm at `when` needs it.
    void capabilityMissing(const QDateTime &when);
    // It still lacks it, but no alarm is set any more.
    void capabilityNotNeeded();

private:
    enum class Usability {
        Usable,
        // The helper said it lacks the capability, which can still be granted.
        LacksCapability,
        // The helper could not start, or this computer cannot be woken by it: for good.
        Unusable,
    };

    void become(Usability next);
    void start();
    void startAgain();
    void tell();
    void ended(int exitCode, QProcess::ExitStatus status);
    void notStarted(QProcess::ProcessError error);

    QString program;
    QStringList arguments;
    QProcess *process = nullptr;
    Usability usability = Usability::Usable;
    // The wake time the helper was told last, which a new helper takes over.
    std::optional<QDateTime> last;
    QTimer restart {this};
    QElapsedTimer sinceRestart;
    int restartGapMs;
};
