// The desktop's message sound through libcanberra and the freedesktop sound theme.
#include "sound/MessageSound.h"

#include "sound/ToneOutput.h"

#include <canberra.h>

namespace {

// One context for the whole run: opening the sound server's connection once.
class CanberraContext
{
public:
    ~CanberraContext()
    {
        if (context)
            ca_context_destroy(context);
    }

    ca_context *get()
    {
        if (!context && !tried) {
            tried = true;
            // The ALSA backend would otherwise print its failures when there is no sound card.
            quietAlsa();
            if (ca_context_create(&context) != CA_SUCCESS) {
                context = nullptr;
                return nullptr;
            }
            ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "TQZ_Trillora", nullptr);
        }
        return context;
    }

private:
    ca_context *context = nullptr;
    bool tried = false;
};

} // namespace

// Every type the program asks for is the theme's "message" sound; the program only uses 152.
void playMessageSound(unsigned)
{
    static CanberraContext shared;
    if (ca_context *context = shared.get())
        ca_context_play(context, 0, CA_PROP_EVENT_ID, "message", CA_PROP_EVENT_DESCRIPTION, "Sveglia", nullptr);
}
