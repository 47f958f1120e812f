// The platform seam on a Linux desktop.
#pragma once

#include "linux/LocalClock.h"
#include "linux/Modules.h"
#include "platform/Platform.h"

#include <memory>

class DesktopNotice;
class QMessageBox;
class SpeakerPorts;
class WakeHelper;

// The box as the seam shows it: icon, buttons and title for the kind, no owner.
QMessageBox *buildMessageBox(MessageKind kind, const QString &title, const QString &text);
// Shows the box without making it application-modal and waits for its answer.
bool runMessageBox(QMessageBox *box);
// The text a shell link becomes for xdg-open (percent-encoding happens here).
QUrl urlForShell(const QString &target);
// The mailto: link for xdg-open: subject and body each percent-encoded once, every character but
// the unreserved ones, so that none of them reads as a separator, fragment or blank.
QUrl mailtoUrl(const QString &address, const QString &subject, const QString &body);

// Sound and the page loader come from modules beside the program (Modules.h), loaded the first
// time they are needed, so that start-up loads none of ALSA, libcanberra, Qt Network or libxml2.
// A module that cannot be used leaves the program working: the alarm rings through the window
// system's bell, the version check ends without a build number, and the reason is shown.
class LinuxPlatform : public Platform
{
public:
    // `identitaModuli`: the program's build identity, which a module must carry to be loaded (none:
    // no module is). `moduleFolder`: where the modules are; empty means the executable's own folder.
    explicit LinuxPlatform(const QByteArray &identitaModuli = {}, const QString &moduleFolder = {});
    ~LinuxPlatform() override;

    bool messageBox(MessageKind kind, const QString &title, const QString &text) override;
    void shellOpen(const QString &target) override;
    void shellOpenMail(const QString &address, const QString &subject, const QString &body) override;
    QString executablePath() override;
    bool fileExists(const QString &path) override;
    QTime localTime() override;
    QDateTime localDateTime() override;
    int platformId() override;
    void systemTone(int frequency, int msecs) override;
    void messageSound(unsigned type) override;
    void sleepMs(int msecs) override;
    void portOut(std::uint16_t port, std::uint8_t value) override;
    QString siteHost() override;
    Browser *createBrowser(QWidget *parent) override;
    void showAlarmNotice(const QString &summary, std::function<void()> onClose) override;
    void withdrawAlarmNotice() override;
    void wakeAt(const std::optional<QDateTime> &when) override;

private:
    QString cartellaModuli() const;
    SoundOutput *suono();

    LocalClock ora;
    QByteArray identita;
    QString moduli;
    std::unique_ptr<SoundOutput> sound;
    bool soundTried = false;
    // Kept once had: later windows use the loaded module even after an install replaced its file.
    CreaBrowser *creaBrowser = nullptr;
    std::unique_ptr<SpeakerPorts> ports;
    std::unique_ptr<WakeHelper> wake;
    std::unique_ptr<DesktopNotice> notice;
    QString programma;
};
