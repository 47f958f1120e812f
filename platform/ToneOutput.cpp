// System tones on the default sound device through ALSA (which reaches PulseAudio or PipeWire).
#include "platform/ToneOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr double Ampiezza = 0.5 * 32767.0;
constexpr int DissolvenzaMs = 5;
constexpr unsigned LatenzaUs = 50000;

void nessunMessaggio(const char *, int, const char *, int, const char *, ...) {}

std::size_t campioni(int msecs, int rate)
{
    if (msecs < 1 || rate < 1)
        return 0;
    return static_cast<std::size_t>(static_cast<std::int64_t>(rate) * msecs / 1000);
}

} // namespace

std::vector<std::int16_t> renderToneSlice(int frequency, std::size_t total, int rate, std::size_t from,
                                          std::size_t count)
{
    if (rate < 1 || from >= total)
        return {};
    count = std::min(count, total - from);
    std::vector<std::int16_t> samples(count, 0);
    if (frequency < 1)
        return samples;
    const std::size_t fade = std::min(total / 2, static_cast<std::size_t>(rate) * DissolvenzaMs / 1000);
    const double step = 2.0 * M_PI * frequency / rate;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = from + k;
        double gain = 1.0;
        if (i < fade)
            gain = static_cast<double>(i) / fade;
        else if (total - i <= fade)
            gain = static_cast<double>(total - i - 1) / fade;
        samples[k] = static_cast<std::int16_t>(std::lround(Ampiezza * gain * std::sin(step * static_cast<double>(i))));
    }
    return samples;
}

std::vector<std::int16_t> renderTone(int frequency, int msecs, int rate)
{
    const std::size_t total = campioni(msecs, rate);
    return renderToneSlice(frequency, total, rate, 0, total);
}

void quietAlsa()
{
    snd_lib_error_set_handler(&nessunMessaggio);
}

struct ToneOutput::Device
{
    snd_pcm_t *pcm = nullptr;
};

ToneOutput::ToneOutput(std::string device)
    : deviceName(std::move(device))
{
    idle.setSingleShot(true);
    idle.setInterval(IdleCloseMs);
    QObject::connect(&idle, &QTimer::timeout, [this] {
        close();
        unusable = false;
    });
}

ToneOutput::~ToneOutput()
{
    close();
}

bool ToneOutput::deviceOpen() const
{
    return device != nullptr;
}

bool ToneOutput::open()
{
    if (device)
        return true;
    if (unusable)
        return false;
    quietAlsa();
    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, deviceName.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) {
        unusable = true;
        return false;
    }
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, Rate, 1, LatenzaUs) < 0) {
        snd_pcm_close(pcm);
        unusable = true;
        return false;
    }
    device = std::make_unique<Device>();
    device->pcm = pcm;
    return true;
}

void ToneOutput::close()
{
    if (!device)
        return;
    snd_pcm_drop(device->pcm);
    snd_pcm_close(device->pcm);
    device.reset();
}

bool ToneOutput::write(const std::vector<std::int16_t> &samples)
{
    const std::int16_t *next = samples.data();
    auto left = static_cast<snd_pcm_uframes_t>(samples.size());
    while (left > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(device->pcm, next, left);
        if (written < 0) {
            // An underrun or a suspend is recovered; anything else gives the device up.
            if (snd_pcm_recover(device->pcm, static_cast<int>(written), 1) < 0) {
                close();
                unusable = true;
                return false;
            }
            continue;
        }
        next += written;
        left -= static_cast<snd_pcm_uframes_t>(written);
    }
    return true;
}

// The tone has ended when the device has played it out; then it is ready for the next one.
void ToneOutput::finish()
{
    snd_pcm_drain(device->pcm);
    snd_pcm_prepare(device->pcm);
}

void ToneOutput::play(int frequency, int msecs)
{
    if (msecs < 1)
        return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(msecs);
    if (open()) {
        // A tenth of a second at a time, so even a very long tone needs little memory.
        const std::size_t total = campioni(msecs, Rate);
        bool ok = true;
        for (std::size_t from = 0; ok && from < total; from += Rate / 10)
            ok = write(renderToneSlice(frequency, total, Rate, from, Rate / 10));
        if (ok)
            finish();
    }
    idle.start();
    // Without a device, or with one that swallows samples at once, the tone still takes its time.
    std::this_thread::sleep_until(end);
}
