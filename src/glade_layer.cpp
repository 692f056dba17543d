// libglade's interface on GtkBuilder: a form read, checked, adapted to the
// toolkit and built.

// libglade's own domain, which its callers may hold back or filter.
#define G_LOG_DOMAIN "libglade"

#include "glade_layer.h"

#include <cstdio>
#include <cstring>
#include <cerrno>
#include <string>
#include <vector>

#include "builder_xml.h"
#include "form_check.h"
#include "glade_form.h"

G_DEFINE_TYPE(GladeXML, glade_xml, G_TYPE_OBJECT)

static void glade_xml_finalize(GObject* object) {
    GladeXML* self = GLADE_XML(object);
    g_free(self->filename);
    if (self->builder != nullptr) g_object_unref(self->builder);
    G_OBJECT_CLASS(glade_xml_parent_class)->finalize(object);
}

static void glade_xml_class_init(GladeXMLClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = glade_xml_finalize;
}

static void glade_xml_init(GladeXML* self) {
    self->filename = nullptr;
    self->builder = nullptr;
}

namespace {

void warn(const std::string& text) {
    g_log(G_LOG_DOMAIN, G_LOG_LEVEL_WARNING, "%s", text.c_str());
}

// Bounded, so that a device or a huge file is refused, not swallowed.
bool readForm(const char* fname, std::string& data, std::string& why) {
    std::FILE* file = std::fopen(fname, "rb");
    if (file == nullptr) {
        why = std::string("cannot read ") + fname + ": " + std::strerror(errno);
        return false;
    }
    char block[65536];
    size_t got = 0;
    while (data.size() <= kFormMaxBytes && (got = std::fread(block, 1, sizeof block, file)) > 0)
        data.append(block, got);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0) {
        why = std::string("cannot read ") + fname + ": " + std::strerror(error);
        return false;
    }
    return true;
}

// What the form holds besides GtkBuilder's description of it.
struct Afterwards {
    // The warnings for what was left out, to give once the form is built.
    std::vector<std::string> leftOut;
    // The widgets' "visible", in the order of the form.
    std::vector<std::pair<std::string, bool>> visibility;
};

// Rewrites a checked form for the toolkit: a property the class lacks is
// left out with a warning, as libglade does, and one of GTK 2 that GTK 3
// dropped goes or takes its new name.
class FormAdaptation {
public:
    FormAdaptation(FormTypes& types, FormTranslation& form, Afterwards& afterwards)
        : types_(types), form_(form), afterwards_(afterwards) {}
    FormAdaptation(const FormAdaptation&) = delete;
    FormAdaptation& operator=(const FormAdaptation&) = delete;

    void run() {
        for (size_t i = 0; i < form_.widgets.size(); ++i) {
            FormWidget& w = form_.widgets[i];
            properties(w, types_.type(static_cast<int>(i)));
            packing(w);
        }
        takeVisibility();
        form_.builderXml = builderXml(form_.widgets);
    }

private:
    void leaveOut(int line, const std::string& text) {
        afterwards_.leftOut.push_back(atLine(line) + text + "; it is left out");
    }

    // libglade leaves a reference unset where the tree has no object of
    // the right kind.
    void properties(FormWidget& w, GType type) {
        GObjectClass* klass = types_.classOf(type);
        for (auto it = w.properties.begin(); it != w.properties.end();) {
            const ToolkitProperty t = toolkitProperty(klass, type, *it);
            it->name = t.name;
            if (t.dropped) {
                it = w.properties.erase(it);
            } else if (t.pspec == nullptr) {
                leaveOut(it->line, ownerOf(w) + " has no property \"" + it->name + "\"");
                it = w.properties.erase(it);
            } else if (referencesObject(t.pspec) && !types_.names(it->value, t.pspec->value_type)) {
                leaveOut(it->line, "the property \"" + it->name + "\" of " + ownerOf(w) + " names \"" + it->value +
                                       "\", which is no " + g_type_name(t.pspec->value_type) + " of the tree");
                it = w.properties.erase(it);
            } else {
                ++it;
            }
        }
    }

    // An internal child's real parent is known only once built.
    void packing(FormWidget& w) {
        if (w.parent < 0 || !w.internalChild.empty()) return;
        GObjectClass* parent = types_.classOf(types_.type(w.parent));
        for (auto it = w.packing.begin(); it != w.packing.end();) {
            if (gtk_container_class_find_child_property(parent, it->name.c_str()) != nullptr) {
                ++it;
                continue;
            }
            leaveOut(it->line, "the packing of " + ownerOf(w) + " has no property \"" + it->name + "\"");
            it = w.packing.erase(it);
        }
    }

    // libglade shows or hides a widget once its children are in: a window
    // shown before would open at the size of an empty one.
    void takeVisibility() {
        for (FormWidget& w : form_.widgets)
            for (auto it = w.properties.begin(); it != w.properties.end();)
                if (it->name == "visible") {
                    afterwards_.visibility.push_back({w.id, yes(it->value)});
                    it = w.properties.erase(it);
                } else {
                    ++it;
                }
    }

    FormTypes& types_;
    FormTranslation& form_;
    Afterwards& afterwards_;
};

// Warnings and criticals that GTK gives while building, held to decide on.
const char* const kToolkitDomains[] = {"Gtk", "Gdk", "GLib-GObject", "GLib", "GdkPixbuf"};

void holdToolkitMessage(const gchar*, GLogLevelFlags, const gchar* text, gpointer data) {
    static_cast<std::vector<std::string>*>(data)->push_back(text != nullptr ? text : "");
}

// Whatever a failed build made: its windows are GTK's own until destroyed.
void discard(GtkBuilder* builder) {
    GSList* objects = gtk_builder_get_objects(builder);
    for (GSList* o = objects; o != nullptr; o = o->next)
        if (GTK_IS_WIDGET(o->data) && gtk_widget_is_toplevel(GTK_WIDGET(o->data)))
            gtk_widget_destroy(GTK_WIDGET(o->data));
    g_slist_free(objects);
    g_object_unref(builder);
}

// GtkBuilder of GTK 2.24 loses the context string of every text it
// translates with one, so those texts are translated here.
void translateInContext(std::vector<FormProperty>& properties, const char* domain) {
    for (FormProperty& p : properties) {
        if (p.context.empty()) continue;
        if (yes(p.translatable)) p.value = g_dpgettext2(domain, p.context.c_str(), p.value.c_str());
        p.translatable.clear();
        p.context.clear();
    }
}

// GtkBuilder's part: a warning or critical it gives on the way fails the
// build as much as an error does.
bool addToBuilder(GtkBuilder* builder, const std::string& xml, std::string& why) {
    std::vector<std::string> held;
    std::vector<std::pair<const char*, guint>> handlers;
    for (const char* domain : kToolkitDomains)
        handlers.emplace_back(domain, g_log_set_handler(domain,
                                                        static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING |
                                                                                    G_LOG_LEVEL_CRITICAL),
                                                        holdToolkitMessage, &held));
    GError* error = nullptr;
    const guint built = gtk_builder_add_from_string(builder, xml.data(), xml.size(), &error);
    for (const auto& handler : handlers) g_log_remove_handler(handler.first, handler.second);
    if (built == 0) {
        why = std::string("GTK cannot build the form: ") + (error != nullptr ? error->message : "unknown error");
        if (error != nullptr) g_error_free(error);
        return false;
    }
    if (!held.empty()) {
        why = "GTK cannot build the form: " + held.front();
        return false;
    }
    return true;
}

// The sample widgets the check made are gone before GtkBuilder starts.
bool build(GtkBuilder* builder, FormTranslation& form, const char* domain, Afterwards& afterwards,
           std::string& why) {
    for (FormWidget& w : form.widgets) {
        translateInContext(w.properties, domain);
        translateInContext(w.packing, domain);
    }
    {
        FormTypes types(builder, form);
        if (!checkForm(types, form, why)) return false;
        FormAdaptation(types, form, afterwards).run();
    }
    return addToBuilder(builder, form.builderXml, why);
}

void fillStores(GtkBuilder* builder, const FormTranslation& form, const char* domain) {
    for (const FormWidget& w : form.widgets) {
        if (!w.hasItems) continue;
        GtkListStore* store = GTK_LIST_STORE(gtk_builder_get_object(builder, w.storeId.c_str()));
        for (const std::string& item : w.items) {
            GtkTreeIter row;
            gtk_list_store_append(store, &row);
            const char* text = yes(w.itemsTranslatable) ? g_dgettext(domain, item.c_str()) : item.c_str();
            gtk_list_store_set(store, &row, 0, text, -1);
        }
    }
}

}  // namespace

void glade_init(void) {}

GladeXML* glade_xml_new(const char* fname, const char* root, const char* domain) {
    if (fname == nullptr) {
        warn("no file name given");
        return nullptr;
    }
    std::string data, why;
    if (!readForm(fname, data, why)) {
        warn(why);
        return nullptr;
    }
    FormTranslation form = translateForm(data.data(), data.size(), root);
    if (!form.ok) {
        warn(form.error);
        return nullptr;
    }
    GtkBuilder* builder = gtk_builder_new();
    if (domain != nullptr) gtk_builder_set_translation_domain(builder, domain);
    Afterwards afterwards;
    if (!build(builder, form, domain, afterwards, why)) {
        discard(builder);
        warn(why);
        return nullptr;
    }
    for (const std::string& text : form.warnings) warn(text);
    for (const std::string& text : afterwards.leftOut) warn(text);
    fillStores(builder, form, domain);
    // Children before their parents: the form's order backwards.
    for (auto it = afterwards.visibility.rbegin(); it != afterwards.visibility.rend(); ++it)
        gtk_widget_set_visible(GTK_WIDGET(gtk_builder_get_object(builder, it->first.c_str())), it->second);
    auto* self = static_cast<GladeXML*>(g_object_new(GLADE_TYPE_XML, nullptr));
    self->filename = g_strdup(fname);
    self->builder = builder;
    return self;
}

GtkWidget* glade_xml_get_widget(GladeXML* self, const char* name) {
    g_return_val_if_fail(GLADE_IS_XML(self), nullptr);
    g_return_val_if_fail(name != nullptr, nullptr);
    GObject* object = gtk_builder_get_object(self->builder, name);
    return object != nullptr && GTK_IS_WIDGET(object) ? GTK_WIDGET(object) : nullptr;
}
