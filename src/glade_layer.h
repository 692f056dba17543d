#ifndef BATTLESHIPS_GLADE_LAYER_H
#define BATTLESHIPS_GLADE_LAYER_H

// The part of libglade 2's interface that the launcher calls, for systems
// without libglade: the form is read in libglade's format and built by GTK's
// own GtkBuilder. Its warnings go to the log domain "libglade", as libglade's.

#include <gtk/gtk.h>

typedef struct _GladeXML GladeXML;
typedef struct _GladeXMLClass GladeXMLClass;

// One built interface. The widgets stay with it, by name, as long as it
// lives; unreferencing it drops its hold on them.
struct _GladeXML {
    GObject parent;
    char* filename;
    GtkBuilder* builder;
};

struct _GladeXMLClass {
    GObjectClass parent_class;
};

#define GLADE_TYPE_XML (glade_xml_get_type())
#define GLADE_XML(obj) (G_TYPE_CHECK_INSTANCE_CAST((obj), GLADE_TYPE_XML, GladeXML))
#define GLADE_IS_XML(obj) (G_TYPE_CHECK_INSTANCE_TYPE((obj), GLADE_TYPE_XML))

// The GObject type of GladeXML.
GType glade_xml_get_type(void);

// Kept for libglade's callers: nothing needs setting up.
void glade_init(void);

// Builds the widgets of the libglade 2 file fname, only the tree under the
// widget of id root (every top-level widget when root is null), texts marked
// translatable looked up in the gettext domain (the default one when null).
// Null, with a warning saying why, for a file that can't be read or a form
// that can't be built whole; nothing of it is left behind then.
GladeXML* glade_xml_new(const char* fname, const char* root, const char* domain);

// The widget of this id in self, or null if the built tree has none.
GtkWidget* glade_xml_get_widget(GladeXML* self, const char* name);

#endif
