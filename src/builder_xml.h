#ifndef BATTLESHIPS_BUILDER_XML_H
#define BATTLESHIPS_BUILDER_XML_H

// A form's widget records written out in GtkBuilder's format.

#include <string>
#include <vector>

#include "form_widgets.h"

// GtkBuilder's description of these widgets (as translateForm left them, or
// with properties taken out since).
std::string builderXml(const std::vector<FormWidget>& widgets);

#endif
