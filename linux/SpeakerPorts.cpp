// The PC speaker's I/O ports, written directly on x86 when the system lets the program have them.
#include "linux/SpeakerPorts.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TRILLORA_X86_PORTS 1
#endif

namespace {

bool isSpeakerPort(std::uint16_t port)
{
    return port == 0x42 || port == 0x43 || port == 0x61;
}

} // namespace

void SpeakerPorts::write(std::uint16_t port, std::uint8_t value)
{
    // Any other port is refused: writing one the system has not granted would kill the program.
    if (!isSpeakerPort(port))
        return;
#ifdef TRILLORA_X86_PORTS
    if (granted())
        outb(value, port);
#else
    (void)value;
#endif
}

#ifdef TRILLORA_X86_PORTS
bool SpeakerPorts::granted()
{
    if (access == Access::Unasked)
        access = ioperm(0x42, 2, 1) == 0 && ioperm(0x61, 1, 1) == 0 ? Access::Granted : Access::Refused;
    return access == Access::Granted;
}
#endif
