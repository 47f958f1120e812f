// The desktop's message sound (placeholder until the libcanberra output lands).
#include "platform/MessageSound.h"

void playMessageSound(unsigned) {}
