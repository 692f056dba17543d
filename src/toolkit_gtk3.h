#ifndef BATTLESHIPS_TOOLKIT_GTK3_H
#define BATTLESHIPS_TOOLKIT_GTK3_H

// The launcher's toolkit where it is GTK 3, which dropped GtkObject and GTK 2's
// signal calls: the few the launcher makes are given here on GObject's. The
// build's "toolkit.h" leads here, or to toolkit_gtk2.h on GTK 2.

#include <gtk/gtk.h>

typedef GObject GtkObject;
#define GTK_OBJECT(object) G_OBJECT(object)
#define GTK_SIGNAL_FUNC(f) G_CALLBACK(f)

// GTK 2 never called it either: any but null is refused.
typedef void (*GtkCallbackMarshal)(GtkObject* object, gpointer data, guint n_args, gpointer args);

// Connects func to the signal name of object, as GTK 2's call of that name:
// object_signal swaps the instance and data in the call, after runs it after
// the class's own handler. The handler's id, 0 when it could not connect.
gulong gtk_signal_connect_full(GtkObject* object, const gchar* name, GCallback func, GtkCallbackMarshal unsupported,
                               gpointer data, GDestroyNotify destroy_func, gint object_signal, gint after);

#endif
