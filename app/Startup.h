// The windows made once at start, in their fixed order, and their end.
#pragma once

// Main, about, splash, ringing: the splash reads the about window's caption while it is made.
void creaFinestre();
void distruggiFinestre();
