// The seam's sound: the sound module, loaded the first time it is needed, or the bell in its place.
#include "linux/SoundClient.h"

#include <QApplication>
#include <QThread>

#include <chrono>
#include <thread>

SoundClient::SoundClient(const QString &folder, const QByteArray &identity, std::function<void()> bell)
    : folder(folder)
    , identity(identity)
    , bell(std::move(bell))
{
}

void SoundClient::windowSystemBell()
{
    QApplication::beep();
}

// The bell belongs to the window system, which is spoken to from the UI thread alone; never waited
// for, as the UI thread may be waiting for the pattern.
void SoundClient::ringBell()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        bell();
    else
        QMetaObject::invokeMethod(app, bell, Qt::QueuedConnection);
}

SoundClient::~SoundClient()
{
    QThread *thread = soundThread ? soundThread->thread() : nullptr;
    if (thread && thread != QThread::currentThread() && thread->isRunning())
        QMetaObject::invokeMethod(soundThread.get(), [this] { sound.reset(); }, Qt::BlockingQueuedConnection);
}

CreateSound *SoundClient::loadModule()
{
    const std::lock_guard<std::mutex> lock(loading);
    if (!tried) {
        tried = true;
        create = reinterpret_cast<CreateSound *>(
            Modules::entry(folder, Modules::Sound, "trillora_sound_create", identity, reason));
    }
    return create;
}

SoundOutput *SoundClient::output()
{
    if (!sound) {
        if (CreateSound *c = loadModule()) {
            sound.reset(c());
            soundThread = std::make_unique<QObject>();
        }
    }
    return sound.get();
}

void SoundClient::tone(int frequency, int msecs)
{
    if (SoundOutput *s = output()) {
        s->tone(frequency, msecs);
        return;
    }
    ringBell();
    if (msecs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(msecs));
}

void SoundClient::messageSound(unsigned type)
{
    if (SoundOutput *s = output())
        s->messageSound(type);
    else
        ringBell();
}

QString SoundClient::fault()
{
    loadModule();
    const std::lock_guard<std::mutex> lock(loading);
    return reason;
}
