// The PC speaker's I/O ports: the timer chip's 0x42 and 0x43 and the speaker's 0x61.
#pragma once

#include <cstdint>

class SpeakerPorts
{
public:
    // Writes only to the three speaker ports, and only where the system grants them;
    // otherwise nothing happens.
    void write(std::uint16_t port, std::uint8_t value);

private:
    // Asks the system for the ports the first time only; its answer holds for the whole run.
    bool granted();

    enum class Access {
        Unasked,
        Granted,
        Refused,
    };
    Access access = Access::Unasked;
};
