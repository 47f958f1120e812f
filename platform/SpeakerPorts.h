// The PC speaker's I/O ports.
#pragma once

#include <cstdint>

class SpeakerPorts
{
public:
    void write(std::uint16_t port, std::uint8_t value);
};
