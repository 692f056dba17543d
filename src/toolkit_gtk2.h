#ifndef BATTLESHIPS_TOOLKIT_GTK2_H
#define BATTLESHIPS_TOOLKIT_GTK2_H

// The launcher's toolkit where it is GTK 2: everything it calls is GTK's own.
// The build's "toolkit.h" leads here, or to toolkit_gtk3.h on GTK 3.

#include <gtk/gtk.h>

#endif
