// The capability to wake the computer, asked for once when the wake helper lacks it.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

class DesktopNotice;
class WakeHelper;

// Root alone can give the helper its file capability. When the helper says it lacks it while an
// alarm is set, one desktop notification per run says that the alarm will not ring through a
// sleep; its "Consenti" has pkexec run setcap on the helper, after which a new helper takes over.
// Without pkexec the notification gives the command to run instead. Once no alarm is left the
// notification would speak of one that is gone: it is taken back, and the next alarm set before
// any try of "Consenti" brings it again.
class WakeGrant : public QObject
{
    Q_OBJECT
public:
    // `helperFile`: the helper's file, which gets the capability; `notices`: the desktop's notices.
    WakeGrant(WakeHelper *helper, const QString &helperFile, std::function<DesktopNotice &()> notices,
              QObject *parent = nullptr);

private:
    void offer(const QDateTime &when);
    void withdraw();
    void allow();

    enum class Stage {
        // Nothing shown: not needed yet, or no alarm left to speak of.
        Silent,
        Offered,
        // "Consenti" was chosen: the one try of the run, whatever came of it.
        Asked,
    };

    WakeHelper *helper;
    QString helperFile;
    std::function<DesktopNotice &()> notices;
    Stage stage = Stage::Silent;
    QString pkexec;
    QString setcap;
    QString file;
};
