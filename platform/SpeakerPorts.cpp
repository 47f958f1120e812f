// The PC speaker's I/O ports (placeholder: no port access).
#include "platform/SpeakerPorts.h"

void SpeakerPorts::write(std::uint16_t, std::uint8_t) {}
