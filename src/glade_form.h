#ifndef BATTLESHIPS_GLADE_FORM_H
#define BATTLESHIPS_GLADE_FORM_H

// An interface description in libglade 2's format read and turned into
// GtkBuilder's, with libxml2 alone: no toolkit, so that any bytes can be
// tried on it without a display. What needs the toolkit's own knowledge of
// classes and properties is left to the caller, from the widget records.

#include <cstddef>
#include <string>
#include <vector>

#include "form_widgets.h"

// Bounds past which a form is refused rather than built.
const std::size_t kFormMaxBytes = 4 * 1024 * 1024;
const std::size_t kFormMaxWidgets = 4096;
const int kFormMaxDepth = 64;

struct FormTranslation {
    bool ok = false;
    std::string error;  // why the form is refused, when !ok
    // What libglade lets pass with a warning: a root that is not there
    // leaves the tree empty.
    std::vector<std::string> warnings;
    std::string builderXml;
    std::vector<FormWidget> widgets;
};

// Reads size bytes of a libglade 2 file and translates the tree under the
// widget whose id is root (every top-level widget when root is null or
// empty); with no widget of that id, nothing but a warning. Refuses, with a
// reason naming the line where there is one, what is
// not well-formed, not a glade-interface, out of the bounds above, or holds
// an element, attribute or reference the translation does not know.
FormTranslation translateForm(const char* data, std::size_t size, const char* root);

// "line N: ", as every message about a place in a form begins.
std::string atLine(long line);

// What keeps libglade itself from the form file: it is not well-formed XML,
// or it holds a widget without class or id, on which libglade crashes.
struct FormFileFault {
    bool wellFormed = true;
    std::string why;  // empty when neither
};

// Parses the file fname whole, every widget in it looked at, built or not.
FormFileFault checkFormFile(const char* fname);

#endif
