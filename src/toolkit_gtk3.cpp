#include "toolkit_gtk3.h"

gulong gtk_signal_connect_full(GtkObject* object, const gchar* name, GCallback func, GtkCallbackMarshal unsupported,
                               gpointer data, GDestroyNotify destroy_func, gint object_signal, gint after) {
    g_return_val_if_fail(G_IS_OBJECT(object), 0);
    g_return_val_if_fail(unsupported == nullptr, 0);
    int flags = 0;
    if (object_signal) flags |= G_CONNECT_SWAPPED;
    if (after) flags |= G_CONNECT_AFTER;
    // GLib calls the notify with the data and the closure; GTK 2's takes the
    // data alone and leaves the second argument unread, as GLib's own
    // callers do with g_free.
    return g_signal_connect_data(object, name, func, data,
                                 reinterpret_cast<GClosureNotify>(reinterpret_cast<void (*)(void)>(destroy_func)),
                                 static_cast<GConnectFlags>(flags));
}
