// Any bytes as the launcher's form, built by the libglade layer with GTK on
// an X display (scripts/fuzz gives it an Xvfb of its own). A form is either
// refused, leaving no window behind, or built whole: every widget of the
// translated tree there by its id, of its class. The layer speaks only in
// its own domain: anything GLib or GTK says past it reaches the player ahead
// of the launcher's one line, so it aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "glade_form.h"
#include "glade_layer.h"

namespace {

std::string formPath;

void fail(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "glade_xml_new: %s %s\n", what, detail.c_str());
    std::abort();
}

void onMessage(const gchar* domain, GLogLevelFlags level, const gchar* text, gpointer) {
    const bool layer = domain != nullptr && std::strcmp(domain, "libglade") == 0;
    if ((level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)) || (!layer && (level & G_LOG_LEVEL_WARNING))) {
        std::fprintf(stderr, "%s: %s\n", domain != nullptr ? domain : "", text);
        std::abort();
    }
}

int toplevels() {
    GList* list = gtk_window_list_toplevels();
    const int count = static_cast<int>(g_list_length(list));
    g_list_free(list);
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!gtk_init_check(argc, argv)) {
        std::fprintf(stderr, "fuzz_layer needs an X display\n");
        std::exit(1);
    }
    // The layer's refusals are its answers here, not news.
    g_log_set_default_handler(onMessage, nullptr);
    g_log_set_handler("libglade", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING), onMessage, nullptr);
    const char* dir = g_get_tmp_dir();
    formPath = std::string(dir) + "/fuzz_layer." + std::to_string(getpid()) + ".xml";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(formPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        fail("cannot write", formPath);
    const int before = toplevels();
    GladeXML* xml = glade_xml_new(formPath.c_str(), "window1", nullptr);
    if (xml == nullptr) {
        if (toplevels() != before) fail("a refused form left a window behind");
        return 0;
    }
    const FormTranslation form = translateForm(reinterpret_cast<const char*>(data), size, "window1");
    if (!form.ok) fail("built what the translation refuses:", form.error);
    for (const FormWidget& w : form.widgets) {
        GtkWidget* widget = glade_xml_get_widget(xml, w.id.c_str());
        if (widget == nullptr) fail("no widget", w.id);
        if (w.internalChild.empty() && !g_type_is_a(G_OBJECT_TYPE(widget), g_type_from_name(w.className.c_str())))
            fail("a widget not of its class:", w.id);
    }
    // The launcher's form is a window; any other root goes with the tree.
    if (!form.widgets.empty()) {
        GtkWidget* root = glade_xml_get_widget(xml, form.widgets[0].id.c_str());
        if (gtk_widget_is_toplevel(root)) gtk_widget_destroy(root);
    }
    g_object_unref(xml);
    while (gtk_events_pending()) gtk_main_iteration();
    return 0;
}
