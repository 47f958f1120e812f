// The wake helper process: started at the first wake time, told each change as one line on its input.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <optional>

class WakeHelper : public QObject
{
    Q_OBJECT
public:
    // `program` with `arguments` runs the helper (tests may put a wrapper in front of it).
    explicit WakeHelper(const QString &program, const QStringList &arguments = {}, QObject *parent = nullptr);
    // Ends the helper by closing its input, which drops its alarm.
    ~WakeHelper() override;

    void wakeAt(const std::optional<QDateTime> &when);

    // False for good once the helper could not start or said that it cannot wake this computer.
    bool available() const { return usable; }
    // The running helper's process id, 0 when none runs.
    qint64 processId() const;
    // How many times a helper was started.
    int starts() const { return started; }

private:
    void start();
    void ended(int exitCode, QProcess::ExitStatus status);
    void notStarted(QProcess::ProcessError error);

    QString program;
    QStringList arguments;
    QProcess *process = nullptr;
    bool usable = true;
    int started = 0;
};
