// The platform seam on a Linux desktop: each service in a room of its own, wired here.
#pragma once

#include "linux/Activation.h"
#include "linux/LocalClock.h"
#include "linux/NetworkClient.h"
#include "linux/SoundClient.h"
#include "linux/SpeakerPorts.h"
#include "linux/WindowManager.h"
#include "platform/Platform.h"

#include <memory>

class DesktopNotice;
class WakeGrant;
class WakeHelper;

// Sound and the page loader come from modules beside the program (Modules.h), loaded the first
// time they are needed. A module that cannot be used leaves the program working, and the seam says
// why to whoever asked: the alarm rings through the window system's bell, the version check ends
// without a build number.
class LinuxPlatform : public Platform
{
public:
    // `moduleIdentity`: the program's build identity, which a module must carry to be loaded (none:
    // no module is). `moduleFolder`: where the modules and the program's other files are; empty
    // means the executable's own folder.
    explicit LinuxPlatform(const QByteArray &moduleIdentity = {}, const QString &moduleFolder = {});
    ~LinuxPlatform() override;

    bool messageBox(MessageKind kind, const QString &title, const QString &text) override;
    void shellOpen(const QString &target) override;
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
    FocusWitness &focusWitness() override;
    void activate(QWidget *window, QWindow *byInputIn) override;
    QString siteHost() override;
    Browser *createBrowser(QWidget *parent) override;
    void showAlarmNotice(const NoticeTexts::Words &words, bool withSound, std::function<void()> onClose) override;
    void withdrawAlarmNotice() override;
    void showMissedAlarm(int slot, const NoticeTexts::Words &words, std::function<void()> onDelete) override;
    void withdrawMissedAlarm(int slot) override;
    void wakeAt(const std::optional<QDateTime> &when) override;

private:
    DesktopNotice &notices();

    // Taken at start: an update that replaces the file while the program runs leaves
    // /proc/self/exe naming a deleted file, and the alarms must still be saved beside the new one.
    const QString programFile;
    // Where the modules and the notices' icon are.
    const QString filesFolder;
    LocalClock clock;
    SoundClient sound;
    NetworkClient network;
    SpeakerPorts ports;
    WindowManager windowManager;
    Activation activation;
    // Made when first needed: the session bus and the helper process only then.
    std::unique_ptr<DesktopNotice> notice;
    std::unique_ptr<WakeHelper> wake;
    std::unique_ptr<WakeGrant> grant;
};
