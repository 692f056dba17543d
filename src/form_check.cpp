// The check of a form against the toolkit: what GTK knows of its widgets'
// classes, properties and signals, and what GtkBuilder would fail on.

#include "form_check.h"

#include <gdk/gdkkeysyms.h>

#include <cstring>

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

namespace {

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

}  // namespace

std::string ownerOf(const FormWidget& w) {
    return "\"" + w.id + "\" (" + w.className + ")";
}

// Another widget of the tree, by id, rather than a value written out.
bool referencesObject(const GParamSpec* pspec) {
    return G_IS_PARAM_SPEC_OBJECT(pspec) && !g_type_is_a(pspec->value_type, GDK_TYPE_PIXBUF);
}

ToolkitProperty toolkitProperty(GObjectClass* klass, GType type, const FormProperty& p) {
    ToolkitProperty t;
    t.name = p.name;
    t.pspec = g_object_class_find_property(klass, p.name.c_str());
    if (t.pspec != nullptr) return t;
    const DroppedProperty* dropped = droppedProperty(type, p);
    if (dropped == nullptr) return t;
    t.dropped = dropped->renamed == nullptr;
    if (t.dropped) return t;
    t.name = dropped->renamed;
    t.pspec = g_object_class_find_property(klass, dropped->renamed);
    return t;
}

FormTypes::FormTypes(GtkBuilder* builder, const FormTranslation& form) : builder_(builder) {
    types_.reserve(form.widgets.size());
}

FormTypes::~FormTypes() {
    for (auto& entry : instances_) {
        gtk_widget_destroy(GTK_WIDGET(entry.second));
        g_object_unref(entry.second);
    }
    for (auto& entry : classes_) g_type_class_unref(entry.second);
}

GType FormTypes::add(const FormWidget& w) {
    const GType type = widgetType(builder_, w.className);
    types_.push_back(type);
    byId_[w.id] = type;
    if (w.hasItems) byId_[w.storeId] = GTK_TYPE_LIST_STORE;
    return type;
}

bool FormTypes::names(const std::string& id, GType type) const {
    auto found = byId_.find(id);
    return found != byId_.end() && g_type_is_a(found->second, type);
}

GObjectClass* FormTypes::classOf(GType type) {
    auto found = classes_.find(type);
    if (found != classes_.end()) return found->second;
    auto* klass = static_cast<GObjectClass*>(g_type_class_ref(type));
    classes_[type] = klass;
    return klass;
}

GtkBuildable* FormTypes::instanceOf(GType type) {
    auto found = instances_.find(type);
    if (found != instances_.end()) return GTK_BUILDABLE(found->second);
    GObject* object = G_OBJECT(g_object_ref_sink(g_object_new(type, nullptr)));
    instances_[type] = object;
    return GTK_BUILDABLE(object);
}

namespace {

// The first fault in the form's order is the one told.
class FormCheck {
public:
    FormCheck(FormTypes& types, const FormTranslation& form) : types_(types), form_(form) {}
    FormCheck(const FormCheck&) = delete;
    FormCheck& operator=(const FormCheck&) = delete;

    bool run(std::string& why) {
        for (const FormWidget& w : form_.widgets)
            if (!classBuildable(w, types_.add(w))) return told(why);
        for (size_t i = 0; i < form_.widgets.size(); ++i)
            if (!widget(form_.widgets[i], types_.type(static_cast<int>(i)))) return told(why);
        return true;
    }

private:
    bool told(std::string& why) const {
        why = why_;
        return false;
    }

    bool refuse(int line, const std::string& text) {
        why_ = atLine(line) + text;
        return false;
    }

    // The class first: its signals are installed when it is first taken.
    bool widget(const FormWidget& w, GType type) {
        GObjectClass* klass = types_.classOf(type);
        if (!internalChildFound(w)) return false;
        for (const FormSignal& s : w.signals)
            if (!afterReadable(s, w) || !signalKnown(s, w, type)) return false;
        for (const FormAccelerator& a : w.accelerators)
            if (!acceleratorKeyKnown(a, w) || !acceleratorModifiersReadable(a, w) || !acceleratorSignalAction(a, w, type))
                return false;
        return itemsTranslatableReadable(w) && translatableReadable(w) && childrenFit(w, type) &&
               propertiesSettable(w, type, klass) && packingSettable(w);
    }

    bool classBuildable(const FormWidget& w, GType type) {
        if (type == G_TYPE_INVALID) return refuse(w.line, "unknown widget class \"" + w.className + "\"");
        if (!g_type_is_a(type, GTK_TYPE_WIDGET)) return refuse(w.line, "\"" + w.className + "\" is not a widget class");
        if (G_TYPE_IS_ABSTRACT(type)) return refuse(w.line, "\"" + w.className + "\" is an abstract class");
        return true;
    }

    // GtkBuilder looks an internal child up in the parent, then in its
    // ancestors; where none has it, it gives up midway.
    bool internalChildFound(const FormWidget& w) {
        if (w.internalChild.empty()) return true;
        for (int a = w.parent; a >= 0; a = form_.widgets[static_cast<size_t>(a)].parent)
            if (gtk_buildable_get_internal_child(types_.instanceOf(types_.type(a)), types_.builder(),
                                                 w.internalChild.c_str()) != nullptr)
                return true;
        return refuse(w.line, "no widget above " + ownerOf(w) + " has an internal child \"" + w.internalChild + "\"");
    }

    // GtkBuilder stops at a truth value it cannot read.
    static bool truthValue(const std::string& text) {
        bool value = false;
        return text.empty() || readBoolean(text, value);
    }

    static std::string neither(const std::string& what) {
        return what + "\" is neither yes nor no";
    }

    bool afterReadable(const FormSignal& s, const FormWidget& w) {
        return truthValue(s.after) ||
               refuse(s.line, neither("after=\"" + s.after + "\" of a signal of " + ownerOf(w)));
    }

    // GtkBuilder refuses a signal the class lacks, and GTK 3.24.49's loses a
    // block on the way.
    bool signalKnown(const FormSignal& s, const FormWidget& w, GType type) {
        return knownSignal(s.name, type) || refuse(s.line, "\"" + s.name + "\" is no signal of " + ownerOf(w));
    }

    static std::string acceleratorOf(const FormWidget& w) {
        return "an accelerator of " + ownerOf(w) + " ";
    }

    // What gtk_widget_add_accelerator takes: a key, modifiers and an action
    // signal of the class without arguments.
    bool acceleratorKeyKnown(const FormAccelerator& a, const FormWidget& w) {
        const guint key = gdk_keyval_from_name(a.key.c_str());
        return (key != 0 && key != GDK_KEY_VoidSymbol) ||
               refuse(a.line, acceleratorOf(w) + "has the unknown key \"" + a.key + "\"");
    }

    bool acceleratorModifiersReadable(const FormAccelerator& a, const FormWidget& w) {
        if (a.modifiers.empty()) return true;
        GValue modifiers = G_VALUE_INIT;
        GError* error = nullptr;
        if (!gtk_builder_value_from_string_type(types_.builder(), GDK_TYPE_MODIFIER_TYPE, a.modifiers.c_str(),
                                                &modifiers, &error)) {
            refuse(a.line, acceleratorOf(w) + "has the modifiers \"" + a.modifiers + "\": " + error->message);
            g_error_free(error);
            return false;
        }
        if (G_IS_VALUE(&modifiers)) g_value_unset(&modifiers);
        return true;
    }

    bool acceleratorSignalAction(const FormAccelerator& a, const FormWidget& w, GType type) {
        GSignalQuery query;
        query.signal_id = 0;
        if (signalName(a.signal)) g_signal_query(g_signal_lookup(a.signal.c_str(), type), &query);
        if (query.signal_id != 0 && (query.signal_flags & G_SIGNAL_ACTION) && query.n_params == 0 &&
            query.return_type == G_TYPE_NONE)
            return true;
        return refuse(a.line, acceleratorOf(w) + "names \"" + a.signal + "\", which is no action signal of its class");
    }

    bool itemsTranslatableReadable(const FormWidget& w) {
        if (truthValue(w.itemsTranslatable)) return true;
        return refuse(w.line, neither("translatable=\"" + w.itemsTranslatable + "\" of the items of " + ownerOf(w)));
    }

    // The widget's own properties first, then its packing.
    bool translatableReadable(const FormWidget& w) {
        for (const auto* list : {&w.properties, &w.packing})
            for (const FormProperty& p : *list)
                if (!truthValue(p.translatable))
                    return refuse(p.line, neither("translatable=\"" + p.translatable + "\" of \"" + p.name + "\" of " +
                                                  ownerOf(w)));
        return true;
    }

    // Internal children are the class's own, not added to it.
    bool childrenFit(const FormWidget& w, GType type) {
        int ownChildren = 0;
        for (int c : w.children)
            if (form_.widgets[static_cast<size_t>(c)].internalChild.empty()) ++ownChildren;
        if (ownChildren > 0 && !g_type_is_a(type, GTK_TYPE_CONTAINER))
            return refuse(w.line, ownerOf(w) + " is not a container, yet has children");
        if (ownChildren > 1 && g_type_is_a(type, GTK_TYPE_BIN))
            return refuse(w.line, ownerOf(w) + " holds only one child, yet has " + std::to_string(ownChildren));
        return true;
    }

    // Properties the toolkit lacks, and references to no object of the
    // right kind, are left out when the form is adapted: not refused.
    bool propertiesSettable(const FormWidget& w, GType type, GObjectClass* klass) {
        for (const FormProperty& p : w.properties) {
            const ToolkitProperty t = toolkitProperty(klass, type, p);
            if (t.pspec == nullptr) continue;
            if (!(t.pspec->flags & G_PARAM_WRITABLE) || std::strcmp(t.pspec->name, "parent") == 0)
                return refuse(w.line, "the property \"" + t.name + "\" of " + ownerOf(w) + " cannot be set");
            if (!referencesObject(t.pspec) && !valueReadable(t.pspec, p, t.name, ownerOf(w))) return false;
        }
        return true;
    }

    // An internal child's real parent is known only once built.
    bool packingSettable(const FormWidget& w) {
        if (w.parent < 0 || !w.internalChild.empty()) return true;
        GObjectClass* parent = types_.classOf(types_.type(w.parent));
        const std::string place = "the packing of " + ownerOf(w);
        for (const FormProperty& p : w.packing) {
            GParamSpec* pspec = gtk_container_class_find_child_property(parent, p.name.c_str());
            if (pspec == nullptr) continue;
            if (!(pspec->flags & G_PARAM_WRITABLE))
                return refuse(w.line, "the property \"" + p.name + "\" of " + place + " cannot be set");
            if (!valueReadable(pspec, p, p.name, place)) return false;
        }
        return true;
    }

    // A value as GtkBuilder will read it, within the property's range.
    bool valueReadable(GParamSpec* pspec, const FormProperty& p, const std::string& name, const std::string& owner) {
        GValue value = G_VALUE_INIT;
        GError* error = nullptr;
        const std::string what = "\"" + p.value + "\" is ";
        const std::string of = owner + "'s \"" + name + "\"";
        if (!gtk_builder_value_from_string(types_.builder(), pspec, p.value.c_str(), &value, &error)) {
            refuse(p.line, what + "not a value for " + of +
                               (error != nullptr ? std::string(": ") + error->message : std::string()));
            if (error != nullptr) g_error_free(error);
            return false;
        }
        const bool invalid = g_param_value_validate(pspec, &value);
        g_value_unset(&value);
        return !invalid || refuse(p.line, what + "out of range for " + of);
    }

    FormTypes& types_;
    const FormTranslation& form_;
    std::string why_;
};

}  // namespace

bool checkForm(FormTypes& types, const FormTranslation& form, std::string& why) {
    return FormCheck(types, form).run(why);
}
