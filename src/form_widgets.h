#ifndef BATTLESHIPS_FORM_WIDGETS_H
#define BATTLESHIPS_FORM_WIDGETS_H

// The records of a form's widgets as the reader makes them: what the reader,
// the writer of GtkBuilder's format, the check and the adaptation share.

#include <string>
#include <utility>
#include <vector>

// One property of a widget or of its packing, its name with dashes as GObject
// spells it.
struct FormProperty {
    std::string name;
    std::string value;
    std::string translatable;  // the attribute as written, empty if none
    std::string context;       // a translation context split off the value
    std::string comments;
    int line = 0;
};

struct FormSignal {
    std::string name, handler, after, object;
    int line = 0;
};

struct FormAccelerator {
    std::string key, modifiers, signal;
    int line = 0;
};

// A widget of the tree that is built, in document order: a parent comes
// before its children.
struct FormWidget {
    std::string id;
    std::string className;
    int line = 0;
    int parent = -1;            // index of the parent, -1 for the top
    int depth = 0;              // 0 for the top
    std::string internalChild;  // the parent's own child of that name, if set
    std::vector<FormProperty> properties;
    std::vector<FormProperty> packing;
    std::vector<FormSignal> signals;
    std::vector<FormAccelerator> accelerators;
    std::vector<int> children;
    // A GtkComboBox's "items": one text row each, in a list store of its own.
    // The store is left empty: rows added once the combo box has its
    // renderer make it as wide as its widest text, as libglade's.
    bool hasItems = false;
    std::vector<std::string> items;
    std::string itemsTranslatable;
    std::string storeId, cellId;  // ids made up for the store and its renderer
    // libglade's response_id of the buttons in a dialog's action area, given
    // to the dialog as GtkBuilder's action widgets: id and response.
    std::vector<std::pair<std::string, std::string>> actionWidgets;
};

#endif
