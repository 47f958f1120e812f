// The seam's sound: the sound module, loaded the first time it is needed, or the bell in its place.
#pragma once

#include "linux/Modules.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

// Tones and the message sound come from trillora-sound.so in `folder`, loaded on first use so that
// start-up maps neither ALSA nor libcanberra. Without a usable module the window system's bell
// stands in for each of them, a tone keeping its length so that the patterns keep their timing.
// The patterns play on a thread of their own: the sounds are made on the thread that plays the
// first of them, and let go there, as what they keep between calls (a timer that closes the
// device) belongs to it. A call may come from any thread, one at a time.
class SoundClient
{
public:
    // `identity`: the build identity the module must carry (empty: no module is loaded); `bell`
    // rings the bell, on the UI thread.
    SoundClient(const QString &folder, const QByteArray &identity, std::function<void()> bell = windowSystemBell);
    ~SoundClient();

    // Blocks for the tone's duration.
    void tone(int frequency, int msecs);
    // Starts the sound and returns at once.
    void messageSound(unsigned type);
    // Why the module cannot be used, or nothing when it can; loads it if it was not tried yet.
    QString fault();

    static void windowSystemBell();

private:
    CreateSound *loadModule();
    void ringBell();
    SoundOutput *output();

    QString folder;
    QByteArray identity;
    std::function<void()> bell;
    std::mutex loading;
    bool tried = false;
    CreateSound *create = nullptr;
    QString reason;
    std::unique_ptr<SoundOutput> sound;
    // Lives on the thread that made `sound`.
    std::unique_ptr<QObject> soundThread;
};
