#ifndef BATTLESHIPS_FORM_CHECK_H
#define BATTLESHIPS_FORM_CHECK_H

// A form read by glade_form held against what GTK knows of its classes,
// properties and signals, before GtkBuilder is given it: the types of its
// widgets, how the toolkit takes each property, and the check that refuses
// what GtkBuilder would fail on midway or abort on.

#include <gtk/gtk.h>

#include <map>
#include <string>
#include <vector>

#include "glade_form.h"

// Reads a truth value as GtkBuilder does; false for text it would not read.
bool readBoolean(const std::string& text, bool& value);

// Whether text is a truth value that GtkBuilder reads as true.
bool yes(const std::string& text);

// The widget as messages name it: its id and class.
std::string ownerOf(const FormWidget& w);

// Whether the property names another object of the tree, by id, rather than
// holding a value written out.
bool referencesObject(const GParamSpec* pspec);

// A property as the toolkit takes it: its GParamSpec under the name it has there,
// none where GTK 3 drops it unasked or the class lacks it.
struct ToolkitProperty {
    GParamSpec* pspec = nullptr;
    std::string name;
    bool dropped = false;  // goes without a word
};

// The property p of a widget of that type and class as the toolkit takes it.
ToolkitProperty toolkitProperty(GObjectClass* klass, GType type, const FormProperty& p);

// What the toolkit knows of a form's widgets: their types, as the check
// finds them, and the classes and sample widgets asked about them, made once.
class FormTypes {
public:
    // Ready for the widgets of form, resolved against builder's types.
    FormTypes(GtkBuilder* builder, const FormTranslation& form);
    ~FormTypes();
    FormTypes(const FormTypes&) = delete;
    FormTypes& operator=(const FormTypes&) = delete;

    // The builder the types are resolved with.
    GtkBuilder* builder() const { return builder_; }

    // The type of the next widget of the form, in the form's order;
    // G_TYPE_INVALID where the toolkit has no such class.
    GType add(const FormWidget& w);

    // The type of the widget at index of the form, once added.
    GType type(int index) const { return types_[static_cast<size_t>(index)]; }

    // Whether id names an object of the tree of that type.
    bool names(const std::string& id, GType type) const;

    // The class of type, held as long as this lives.
    GObjectClass* classOf(GType type);

    // A widget of the class to ask for its internal children, made once.
    GtkBuildable* instanceOf(GType type);

private:
    GtkBuilder* builder_;
    std::vector<GType> types_;
    std::map<std::string, GType> byId_;
    std::map<GType, GObjectClass*> classes_;
    std::map<GType, GObject*> instances_;
};

// Refuses what GtkBuilder would fail on midway or abort on: classes the
// toolkit does not have, values it cannot read. The form stays as it is; on
// a fault, false, with the first in the form's order told in why. Every
// widget of form is added to types on the way.
bool checkForm(FormTypes& types, const FormTranslation& form, std::string& why);

#endif
