// A form's widget records written out in GtkBuilder's format.

#include "builder_xml.h"

namespace {

void escape(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += "&#9;"; break;
        default: out += c;
        }
    }
}

void attribute(std::string& out, const char* name, const std::string& value, bool always = true) {
    if (!always && value.empty()) return;
    out += ' ';
    out += name;
    out += "=\"";
    escape(out, value);
    out += '"';
}

void writeProperty(std::string& out, const FormProperty& p) {
    out += "<property";
    attribute(out, "name", p.name);
    attribute(out, "translatable", p.translatable, false);
    attribute(out, "context", p.context, false);
    attribute(out, "comments", p.comments, false);
    out += '>';
    escape(out, p.value);
    out += "</property>";
}

// A property the translation adds, with nothing but its value.
FormProperty plainProperty(const char* name, const std::string& value) {
    FormProperty p;
    p.name = name;
    p.value = value;
    return p;
}

void writeStore(std::string& out, const FormWidget& w) {
    out += "<object class=\"GtkListStore\"";
    attribute(out, "id", w.storeId);
    out += "><columns><column type=\"gchararray\"/></columns></object>\n";
}

// libglade names each widget after its id, as GtkBuilder does not.
void writeName(std::string& out, const FormWidget& w) {
    for (const FormProperty& p : w.properties)
        if (p.name == "name") return;
    writeProperty(out, plainProperty("name", w.id));
}

void writeSignals(std::string& out, const FormWidget& w) {
    for (const FormSignal& s : w.signals) {
        out += "<signal";
        attribute(out, "name", s.name);
        attribute(out, "handler", s.handler);
        attribute(out, "after", s.after, false);
        attribute(out, "object", s.object, false);
        out += "/>";
    }
}

void writeAccelerators(std::string& out, const FormWidget& w) {
    for (const FormAccelerator& a : w.accelerators) {
        out += "<accelerator";
        attribute(out, "key", a.key);
        attribute(out, "modifiers", a.modifiers, false);
        attribute(out, "signal", a.signal);
        out += "/>";
    }
}

// A combo box's items: its own store, shown by a text renderer.
void writeItemsCell(std::string& out, const FormWidget& w) {
    out += "<child><object class=\"GtkCellRendererText\"";
    attribute(out, "id", w.cellId);
    out += "/><attributes><attribute name=\"text\">0</attribute></attributes></child>";
}

void writeActionWidgets(std::string& out, const FormWidget& w) {
    if (w.actionWidgets.empty()) return;
    out += "<action-widgets>";
    for (const auto& a : w.actionWidgets) {
        out += "<action-widget";
        attribute(out, "response", a.second);
        out += '>';
        escape(out, a.first);
        out += "</action-widget>";
    }
    out += "</action-widgets>\n";
}

void writeWidget(std::string& out, const std::vector<FormWidget>& widgets, const FormWidget& w);

void writeChild(std::string& out, const std::vector<FormWidget>& widgets, const FormWidget& c) {
    out += "<child";
    attribute(out, "internal-child", c.internalChild, false);
    out += '>';
    writeWidget(out, widgets, c);
    if (!c.packing.empty()) {
        out += "<packing>";
        for (const FormProperty& p : c.packing) writeProperty(out, p);
        out += "</packing>";
    }
    out += "</child>\n";
}

void writeWidget(std::string& out, const std::vector<FormWidget>& widgets, const FormWidget& w) {
    out += "<object";
    attribute(out, "class", w.className);
    attribute(out, "id", w.id);
    out += '>';
    writeName(out, w);
    if (w.hasItems) writeProperty(out, plainProperty("model", w.storeId));
    for (const FormProperty& p : w.properties) writeProperty(out, p);
    writeSignals(out, w);
    writeAccelerators(out, w);
    if (w.hasItems) writeItemsCell(out, w);
    out += '\n';
    for (int index : w.children) writeChild(out, widgets, widgets[static_cast<size_t>(index)]);
    writeActionWidgets(out, w);
    out += "</object>";
}

}  // namespace

std::string builderXml(const std::vector<FormWidget>& widgets) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface>\n";
    for (const FormWidget& w : widgets)
        if (w.hasItems) writeStore(xml, w);
    for (const FormWidget& w : widgets)
        if (w.parent < 0) {
            writeWidget(xml, widgets, w);
            xml += '\n';
        }
    xml += "</interface>\n";
    return xml;
}
