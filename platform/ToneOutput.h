// System tones on the default sound device, and the samples that make them.
#pragma once

#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One tone as 16-bit mono samples at `rate`: a sine of the frequency for the duration, with
// short fades at both ends so that tones played back to back do not click. A frequency below 1
// gives silence of the same length; a duration below 1 gives no samples.
std::vector<std::int16_t> renderTone(int frequency, int msecs, int rate);
// Samples [from, from + count) of a tone `total` samples long: a long tone is made a slice at a time.
std::vector<std::int16_t> renderToneSlice(int frequency, std::size_t total, int rate, std::size_t from,
                                          std::size_t count);

// Keeps alsa-lib's own messages off stderr; a missing sound card is not the user's business.
void quietAlsa();

class ToneOutput
{
public:
    static constexpr int Rate = 48000;
    // The device stays open this long after a tone, so a pattern's tones do not each pay an opening.
    static constexpr int IdleCloseMs = 1000;

    explicit ToneOutput(std::string device = "default");
    ~ToneOutput();
    ToneOutput(const ToneOutput &) = delete;
    ToneOutput &operator=(const ToneOutput &) = delete;

    // Blocks for the tone's duration, with or without a usable device.
    void play(int frequency, int msecs);
    bool deviceOpen() const;

private:
    struct Device;

    bool open();
    void close();
    bool write(const std::vector<std::int16_t> &samples);
    void finish();

    std::string deviceName;
    std::unique_ptr<Device> device;
    // A failed opening is not retried until the device has been idle, so a pattern on a machine
    // without sound does not try once per tone.
    bool unusable = false;
    // Single-shot; it can fire only once the blocking pattern is back in the event loop.
    QTimer idle;
};
