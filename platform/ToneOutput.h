// System tones on the default sound device.
#pragma once

class ToneOutput
{
public:
    ToneOutput();
    ~ToneOutput();
    // Blocks for the tone's duration, with or without a usable device.
    void play(int frequency, int msecs);
};
