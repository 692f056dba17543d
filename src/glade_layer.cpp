// libglade's own domain, which its callers may hold back or filter.
#define G_LOG_DOMAIN "libglade"

#include "glade_layer.h"

#include <gdk/gdkkeysyms.h>

#include <cstdio>
#include <cstring>
#include <cerrno>
#include <map>
#include <string>
#include <vector>

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

std::string at(int line) {
    return "line " + std::to_string(line) + ": ";
}

// A truth value as GtkBuilder reads it; false for text it would not read.
bool readBoolean(const std::string& text, bool& value) {
    if (text.size() == 1) {
        const char c = g_ascii_tolower(text[0]);
        value = c == '1' || c == 'y' || c == 't';
        return value || c == '0' || c == 'n' || c == 'f';
    }
    for (const char* word : {"true", "yes"})
        if (g_ascii_strcasecmp(text.c_str(), word) == 0) return value = true;
    value = false;
    return g_ascii_strcasecmp(text.c_str(), "false") == 0 || g_ascii_strcasecmp(text.c_str(), "no") == 0;
}

bool yes(const std::string& text) {
    bool value = false;
    return readBoolean(text, value) && value;
}

// Only types registered already, or GTK's own loaded on demand: resolving an
// arbitrary name calls whatever function of that name plus "_get_type" the
// process holds, and only GTK's are known to be type functions.
// The name must be the type's own, as libglade asks for it: GtkBuilder's
// guess of the function's name takes "GtkComboBOx" for GtkComboBox.
GType widgetType(GtkBuilder* builder, const std::string& name) {
    const GType known = g_type_from_name(name.c_str());
    if (known != G_TYPE_INVALID || name.compare(0, 3, "Gtk") != 0) return known;
    const GType found = gtk_builder_get_type_from_name(builder, name.c_str());
    return found != G_TYPE_INVALID && name == g_type_name(found) ? found : G_TYPE_INVALID;
}

// GObject's rule for a signal's name; GLib complains of any other it is asked
// to look up, before the form could be refused.
bool signalName(const std::string& name) {
    if (name.empty() || !g_ascii_isalpha(name[0])) return false;
    for (char c : name)
        if (!g_ascii_isalnum(c) && c != '-' && c != '_') return false;
    return true;
}

// A signal of the class, with a detail where the signal takes one.
bool knownSignal(const std::string& name, GType type) {
    if (!signalName(name.substr(0, name.find("::")))) return false;
    guint id = 0;
    GQuark detail = 0;
    return g_signal_parse_name(name.c_str(), type, &id, &detail, FALSE);
}

// A property value as GtkBuilder will read it, within the property's range.
bool checkValue(GtkBuilder* builder, GParamSpec* pspec, const FormProperty& p, const char* owner,
                std::string& why) {
    GValue value = G_VALUE_INIT;
    GError* error = nullptr;
    if (!gtk_builder_value_from_string(builder, pspec, p.value.c_str(), &value, &error)) {
        why = at(p.line) + "\"" + p.value + "\" is not a value for " + owner + "'s \"" + p.name + "\"" +
              (error != nullptr ? std::string(": ") + error->message : std::string());
        if (error != nullptr) g_error_free(error);
        return false;
    }
    const bool invalid = g_param_value_validate(pspec, &value);
    g_value_unset(&value);
    if (invalid) {
        why = at(p.line) + "\"" + p.value + "\" is out of range for " + owner + "'s \"" + p.name + "\"";
        return false;
    }
    return true;
}

// Properties of GTK 2 that GTK 3 dropped, as forms written for GTK 2 hold
// them: a value GTK 3 behaves by anyway goes without a word, allow_grow
// becomes what GTK 2 made of it. With GTK 2 the class has them all.
struct DroppedProperty {
    GType (*type)();
    const char* name;
    const char* unchanged;  // the value GTK 3 always acts on, if any
    const char* renamed;    // the property GTK 3 has for it, if any
};
const DroppedProperty kDroppedByGtk3[] = {
    {gtk_dialog_get_type, "has-separator", "", nullptr},  // any value: GTK 3 draws no separator
    {gtk_window_get_type, "allow-grow", nullptr, "resizable"},
    {gtk_window_get_type, "allow-shrink", "false", nullptr},
    {gtk_widget_get_type, "extension-events", "GDK_EXTENSION_EVENTS_NONE", nullptr},
};

const DroppedProperty* droppedProperty(GType type, const FormProperty& p) {
    for (const DroppedProperty& d : kDroppedByGtk3) {
        if (p.name != d.name || !g_type_is_a(type, d.type())) continue;
        if (d.renamed != nullptr) return &d;
        if (d.unchanged[0] == '\0' || p.value == d.unchanged) return &d;
        bool value = false, usual = false;
        return readBoolean(p.value, value) && readBoolean(d.unchanged, usual) && value == usual ? &d : nullptr;
    }
    return nullptr;
}

class FormCheck {
public:
    FormCheck(GtkBuilder* builder, FormTranslation& form) : builder_(builder), form_(form) {}

    ~FormCheck() {
        for (auto& entry : instances_) {
            gtk_widget_destroy(GTK_WIDGET(entry.second));
            g_object_unref(entry.second);
        }
        for (auto& entry : classes_) g_type_class_unref(entry.second);
    }
    FormCheck(const FormCheck&) = delete;
    FormCheck& operator=(const FormCheck&) = delete;

    // What GtkBuilder would fail on midway or abort on: classes the toolkit
    // does not have, values it cannot read. A property the class lacks is
    // left out with a warning, as libglade does.
    bool run(std::string& why) {
        types_.reserve(form_.widgets.size());
        for (const FormWidget& w : form_.widgets) {
            const GType type = widgetType(builder_, w.className);
            if (type == G_TYPE_INVALID) return refuse(why, w, "unknown widget class \"" + w.className + "\"");
            if (!g_type_is_a(type, GTK_TYPE_WIDGET))
                return refuse(why, w, "\"" + w.className + "\" is not a widget class");
            if (G_TYPE_IS_ABSTRACT(type))
                return refuse(why, w, "\"" + w.className + "\" is an abstract class");
            types_.push_back(type);
            byId_[w.id] = type;
            if (w.hasItems) byId_[w.storeId] = GTK_TYPE_LIST_STORE;
        }
        for (size_t i = 0; i < form_.widgets.size(); ++i)
            if (!widget(form_.widgets[i], types_[i], why)) return false;
        // libglade shows or hides a widget once its children are in: a window
        // shown before would open at the size of an empty one.
        for (FormWidget& w : form_.widgets)
            for (auto it = w.properties.begin(); it != w.properties.end();)
                if (it->name == "visible") {
                    visibility_.push_back({w.id, yes(it->value)});
                    it = w.properties.erase(it);
                } else {
                    ++it;
                }
        form_.builderXml = builderXml(form_.widgets);
        return true;
    }

    // The warnings for what was left out, to give once the form is built.
    const std::vector<std::string>& leftOut() const { return leftOut_; }

    // The widgets' "visible", in the order of the form.
    const std::vector<std::pair<std::string, bool>>& visibility() const { return visibility_; }

private:
    static bool refuse(std::string& why, const FormWidget& w, const std::string& text) {
        why = at(w.line) + text;
        return false;
    }

    GObjectClass* classOf(GType type) {
        auto found = classes_.find(type);
        if (found != classes_.end()) return found->second;
        auto* klass = static_cast<GObjectClass*>(g_type_class_ref(type));
        classes_[type] = klass;
        return klass;
    }

    // A widget of the class to ask for its internal children, made once.
    GtkBuildable* instanceOf(GType type) {
        auto found = instances_.find(type);
        if (found != instances_.end()) return GTK_BUILDABLE(found->second);
        GObject* object = G_OBJECT(g_object_ref_sink(g_object_new(type, nullptr)));
        instances_[type] = object;
        return GTK_BUILDABLE(object);
    }

    // GtkBuilder looks an internal child up in the parent, then in its
    // ancestors; where none has it, it gives up midway.
    bool hasInternalChild(const FormWidget& w) {
        for (int a = w.parent; a >= 0; a = form_.widgets[static_cast<size_t>(a)].parent)
            if (gtk_buildable_get_internal_child(instanceOf(types_[static_cast<size_t>(a)]), builder_,
                                                 w.internalChild.c_str()) != nullptr)
                return true;
        return false;
    }

    // What gtk_widget_add_accelerator takes: a key, modifiers and an action
    // signal of the class without arguments.
    bool accelerator(const FormAccelerator& a, GType type, const std::string& owner, std::string& why) {
        why = at(a.line) + "an accelerator of " + owner + " ";
        const guint key = gdk_keyval_from_name(a.key.c_str());
        if (key == 0 || key == GDK_KEY_VoidSymbol) {
            why += "has the unknown key \"" + a.key + "\"";
            return false;
        }
        GValue modifiers = G_VALUE_INIT;
        GError* error = nullptr;
        if (!a.modifiers.empty() &&
            !gtk_builder_value_from_string_type(builder_, GDK_TYPE_MODIFIER_TYPE, a.modifiers.c_str(), &modifiers,
                                                &error)) {
            why += "has the modifiers \"" + a.modifiers + "\": " + error->message;
            g_error_free(error);
            return false;
        }
        if (G_IS_VALUE(&modifiers)) g_value_unset(&modifiers);
        GSignalQuery query;
        query.signal_id = 0;
        if (signalName(a.signal)) g_signal_query(g_signal_lookup(a.signal.c_str(), type), &query);
        if (query.signal_id == 0 || !(query.signal_flags & G_SIGNAL_ACTION) || query.n_params != 0 ||
            query.return_type != G_TYPE_NONE) {
            why += "names \"" + a.signal + "\", which is no action signal of its class";
            return false;
        }
        why.clear();
        return true;
    }

    static bool boolean(const std::string& text) {
        bool value = false;
        return text.empty() || readBoolean(text, value);
    }

    bool widget(FormWidget& w, GType type, std::string& why) {
        GObjectClass* klass = classOf(type);
        const std::string owner = "\"" + w.id + "\" (" + w.className + ")";
        if (!w.internalChild.empty() && !hasInternalChild(w))
            return refuse(why, w, "no widget above " + owner + " has an internal child \"" + w.internalChild + "\"");
        // GtkBuilder stops at a truth value it cannot read.
        const std::string neither = "\" is neither yes nor no";
        for (const FormSignal& s : w.signals) {
            if (!boolean(s.after)) {
                why = at(s.line) + "after=\"" + s.after + "\" of a signal of " + owner + neither;
                return false;
            }
            // GtkBuilder refuses a signal the class lacks, and GTK 3.24.49's
            // loses a block on the way.
            if (!knownSignal(s.name, type)) {
                why = at(s.line) + "\"" + s.name + "\" is no signal of " + owner;
                return false;
            }
        }
        for (const FormAccelerator& a : w.accelerators)
            if (!accelerator(a, type, owner, why)) return false;
        if (!boolean(w.itemsTranslatable))
            return refuse(why, w, "translatable=\"" + w.itemsTranslatable + "\" of the items of " + owner + neither);
        for (const auto* list : {&w.properties, &w.packing})
            for (const FormProperty& p : *list)
                if (!boolean(p.translatable)) {
                    why = at(p.line) + "translatable=\"" + p.translatable + "\" of \"" + p.name + "\" of " + owner +
                          neither;
                    return false;
                }
        int ownChildren = 0;
        for (int c : w.children)
            if (form_.widgets[static_cast<size_t>(c)].internalChild.empty()) ++ownChildren;
        if (ownChildren > 0 && !g_type_is_a(type, GTK_TYPE_CONTAINER))
            return refuse(why, w, owner + " is not a container, yet has children");
        if (ownChildren > 1 && g_type_is_a(type, GTK_TYPE_BIN))
            return refuse(why, w, owner + " holds only one child, yet has " + std::to_string(ownChildren));

        for (auto it = w.properties.begin(); it != w.properties.end();) {
            const FormProperty& p = *it;
            GParamSpec* pspec = g_object_class_find_property(klass, p.name.c_str());
            if (pspec == nullptr) {
                if (const DroppedProperty* dropped = droppedProperty(type, p)) {
                    if (dropped->renamed == nullptr) {
                        it = w.properties.erase(it);
                        continue;
                    }
                    it->name = dropped->renamed;
                    pspec = g_object_class_find_property(klass, it->name.c_str());
                }
            }
            if (pspec == nullptr) {
                leftOut_.push_back(at(p.line) + owner + " has no property \"" + p.name + "\"; it is left out");
                it = w.properties.erase(it);
                continue;
            }
            if (!(pspec->flags & G_PARAM_WRITABLE) || std::strcmp(pspec->name, "parent") == 0)
                return refuse(why, w, "the property \"" + p.name + "\" of " + owner + " cannot be set");
            if (G_IS_PARAM_SPEC_OBJECT(pspec) && !g_type_is_a(pspec->value_type, GDK_TYPE_PIXBUF)) {
                // Another widget of the tree, by id; libglade leaves the
                // property unset where there is none of the right kind.
                auto target = byId_.find(p.value);
                if (target == byId_.end() || !g_type_is_a(target->second, pspec->value_type)) {
                    leftOut_.push_back(at(p.line) + "the property \"" + p.name + "\" of " + owner + " names \"" +
                                       p.value + "\", which is no " + g_type_name(pspec->value_type) +
                                       " of the tree; it is left out");
                    it = w.properties.erase(it);
                    continue;
                }
            } else if (!checkValue(builder_, pspec, p, owner.c_str(), why)) {
                return false;
            }
            ++it;
        }

        // An internal child's real parent is known only once built.
        if (w.parent < 0 || !w.internalChild.empty()) return true;
        GObjectClass* parent = classOf(types_[static_cast<size_t>(w.parent)]);
        const std::string place = "the packing of " + owner;
        for (auto it = w.packing.begin(); it != w.packing.end();) {
            GParamSpec* pspec = gtk_container_class_find_child_property(parent, it->name.c_str());
            if (pspec == nullptr) {
                leftOut_.push_back(at(it->line) + place + " has no property \"" + it->name + "\"; it is left out");
                it = w.packing.erase(it);
                continue;
            }
            if (!(pspec->flags & G_PARAM_WRITABLE))
                return refuse(why, w, "the property \"" + it->name + "\" of " + place + " cannot be set");
            if (!checkValue(builder_, pspec, *it, place.c_str(), why)) return false;
            ++it;
        }
        return true;
    }

    GtkBuilder* builder_;
    FormTranslation& form_;
    std::vector<GType> types_;
    std::map<std::string, GType> byId_;
    std::map<GType, GObjectClass*> classes_;
    std::map<GType, GObject*> instances_;
    std::vector<std::string> leftOut_;
    std::vector<std::pair<std::string, bool>> visibility_;
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

// What the form holds besides GtkBuilder's description of it.
struct Afterwards {
    std::vector<std::string> leftOut;
    std::vector<std::pair<std::string, bool>> visibility;
};

bool build(GtkBuilder* builder, FormTranslation& form, const char* domain, Afterwards& afterwards,
           std::string& why) {
    for (FormWidget& w : form.widgets) {
        translateInContext(w.properties, domain);
        translateInContext(w.packing, domain);
    }
    {
        FormCheck check(builder, form);
        if (!check.run(why)) return false;
        afterwards = {check.leftOut(), check.visibility()};
    }
    std::vector<std::string> held;
    std::vector<std::pair<const char*, guint>> handlers;
    for (const char* domain : kToolkitDomains)
        handlers.emplace_back(domain, g_log_set_handler(domain,
                                                        static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING |
                                                                                    G_LOG_LEVEL_CRITICAL),
                                                        holdToolkitMessage, &held));
    GError* error = nullptr;
    const guint built = gtk_builder_add_from_string(builder, form.builderXml.data(), form.builderXml.size(), &error);
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
