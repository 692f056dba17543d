#ifndef BATTLESHIPS_TOOLKIT_H
#define BATTLESHIPS_TOOLKIT_H

// The launcher's toolkit where it is GTK 2: everything it calls is GTK's own.
// Where it is GTK 3, the header of this name in src/gtk3 is chosen instead.

#include <gtk/gtk.h>

#endif
