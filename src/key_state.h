#ifndef BATTLESHIPS_KEY_STATE_H
#define BATTLESHIPS_KEY_STATE_H

// Whether the key that types this character is down now, as the X server of
// the current window knows it. The server repeats a held key as a release
// and a press; during such a release the key is still down.
bool keyDownNow(unsigned char character);

#endif
