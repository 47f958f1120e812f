// The desktop's message sound.
#pragma once

// Starts the sound and returns at once; silent without a sound server.
void playMessageSound(unsigned type);
