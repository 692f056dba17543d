#include "glade_form.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

// A refusal on its way out of the recursion.
struct Refusal {
    std::string why;
};

std::string lineOf(const xmlNode* node) {
    return "line " + std::to_string(xmlGetLineNo(node)) + ": ";
}

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

// Only text and character data: an entity of the form's own could grow
// without bound when expanded, and any other element is a mistake.
std::string textOf(const xmlNode* owner, const xmlNode* first) {
    std::string text;
    for (const xmlNode* n = first; n != nullptr; n = n->next) {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            if (n->content != nullptr) text += reinterpret_cast<const char*>(n->content);
        } else if (n->type == XML_ENTITY_REF_NODE) {
            throw Refusal{lineOf(owner) + "reference to the entity \"" +
                          reinterpret_cast<const char*>(n->name) + "\""};
        } else if (n->type == XML_ELEMENT_NODE) {
            throw Refusal{lineOf(n) + "unexpected element <" + reinterpret_cast<const char*>(n->name) +
                          "> in <" + reinterpret_cast<const char*>(owner->name) + ">"};
        }
    }
    return text;
}

bool hasAttr(const xmlNode* node, const char* name) {
    return xmlHasProp(node, BAD_CAST name) != nullptr;
}

std::string attr(const xmlNode* node, const char* name) {
    const xmlAttr* a = xmlHasProp(node, BAD_CAST name);
    return a == nullptr ? std::string() : textOf(node, a->children);
}

std::string requiredAttr(const xmlNode* node, const char* name) {
    const std::string value = attr(node, name);
    if (value.empty())
        throw Refusal{lineOf(node) + "<" + reinterpret_cast<const char*>(node->name) + "> without " + name};
    return value;
}

// GtkWidget's own handling of has-default and has-focus goes by the dashed
// name only.
std::string dashed(std::string name) {
    for (char& c : name)
        if (c == '_') c = '-';
    return name;
}

// Null when the property is another program's (it names an agent).
std::unique_ptr<FormProperty> readProperty(const xmlNode* node) {
    const std::string name = requiredAttr(node, "name");
    if (hasAttr(node, "agent")) return nullptr;
    auto p = std::make_unique<FormProperty>();
    p->name = dashed(name);
    p->value = textOf(node, node->children);
    p->translatable = attr(node, "translatable");
    p->comments = attr(node, "comments");
    p->line = static_cast<int>(xmlGetLineNo(node));
    // libglade's context="yes": the value starts with "context|".
    if (attr(node, "context") == "yes") {
        const auto bar = p->value.find('|');
        if (bar != std::string::npos) {
            if (!p->translatable.empty()) p->context = p->value.substr(0, bar);
            p->value.erase(0, bar + 1);
        }
    }
    return p;
}

class Reader {
public:
    explicit Reader(FormTranslation& out) : out_(out) {}

    void widget(const xmlNode* node, int parent, int depth, const std::string& internalChild,
                const xmlNode* packing) {
        if (!hasAttr(node, "class") || !hasAttr(node, "id"))
            throw Refusal{lineOf(node) + "widget without class or id"};
        if (out_.widgets.size() >= kFormMaxWidgets)
            throw Refusal{lineOf(node) + "more than " + std::to_string(kFormMaxWidgets) + " widgets"};
        if (depth > kFormMaxDepth)
            throw Refusal{lineOf(node) + "widgets nested more than " + std::to_string(kFormMaxDepth) + " deep"};
        FormWidget w;
        w.className = requiredAttr(node, "class");
        w.id = requiredAttr(node, "id");
        w.line = static_cast<int>(xmlGetLineNo(node));
        w.parent = parent;
        w.depth = depth;
        w.internalChild = internalChild;
        if (!ids_.insert(w.id).second) throw Refusal{lineOf(node) + "a second widget \"" + w.id + "\""};
        if (packing != nullptr)
            for (const xmlNode* n = packing->children; n != nullptr; n = n->next) {
                if (n->type != XML_ELEMENT_NODE) continue;
                if (!named(n, "property")) unexpected(n, packing);
                if (auto p = readProperty(n)) w.packing.push_back(*p);
            }

        std::vector<const xmlNode*> children;
        for (const xmlNode* n = node->children; n != nullptr; n = n->next) {
            if (n->type == XML_ENTITY_REF_NODE) textOf(node, n);
            if (n->type != XML_ELEMENT_NODE) continue;
            if (named(n, "property")) {
                auto p = readProperty(n);
                if (!p) continue;
                if (w.className == "GtkComboBox" && p->name == "items") {
                    w.hasItems = true;
                    w.itemsTranslatable = p->translatable;
                    splitItems(p->value, w.items);
                } else {
                    // libglade's own name for the tooltip's text.
                    if (p->name == "tooltip") p->name = "tooltip-text";
                    w.properties.push_back(*p);
                }
            } else if (named(n, "signal")) {
                w.signals.push_back({requiredAttr(n, "name"), requiredAttr(n, "handler"), attr(n, "after"),
                                     attr(n, "object"), static_cast<int>(xmlGetLineNo(n))});
            } else if (named(n, "accelerator")) {
                w.accelerators.push_back(
                    {requiredAttr(n, "key"), attr(n, "modifiers"), requiredAttr(n, "signal"),
                     static_cast<int>(xmlGetLineNo(n))});
            } else if (named(n, "child")) {
                children.push_back(n);
            } else if (named(n, "accessibility")) {
                throw Refusal{lineOf(n) + "accessibility settings are not supported"};
            } else {
                unexpected(n, node);
            }
        }

        const int self = static_cast<int>(out_.widgets.size());
        out_.widgets.push_back(std::move(w));
        for (const xmlNode* c : children) child(c, self, depth + 1);
    }

    void child(const xmlNode* node, int parent, int depth) {
        const xmlNode* inner = nullptr;
        const xmlNode* packing = nullptr;
        bool placeholder = false;
        for (const xmlNode* n = node->children; n != nullptr; n = n->next) {
            if (n->type == XML_ENTITY_REF_NODE) textOf(node, n);
            if (n->type != XML_ELEMENT_NODE) continue;
            if ((named(n, "widget") || named(n, "placeholder")) && inner == nullptr && !placeholder) {
                if (named(n, "widget")) inner = n;
                else placeholder = true;
            } else if (named(n, "packing") && packing == nullptr) {
                packing = n;
            } else {
                unexpected(n, node);
            }
        }
        // libglade skips a placeholder: an empty place in the designer.
        if (placeholder) return;
        if (inner == nullptr) throw Refusal{lineOf(node) + "<child> without a widget"};
        // widget() adds the child itself first, then its own children.
        const int index = static_cast<int>(out_.widgets.size());
        widget(inner, parent, depth, attr(node, "internal-child"), packing);
        out_.widgets[static_cast<size_t>(parent)].children.push_back(index);
    }

    // The store and renderer of a combo box get ids no widget has.
    void nameStores() {
        for (FormWidget& w : out_.widgets) {
            if (!w.hasItems) continue;
            w.storeId = freshId(w.id + "-items");
            w.cellId = freshId(w.id + "-cell");
        }
    }

private:
    [[noreturn]] static void unexpected(const xmlNode* n, const xmlNode* in) {
        throw Refusal{lineOf(n) + "unexpected element <" + reinterpret_cast<const char*>(n->name) + "> in <" +
                      reinterpret_cast<const char*>(in->name) + ">"};
    }

    // libglade's items are lines; a closing line end adds none.
    static void splitItems(const std::string& text, std::vector<std::string>& items) {
        size_t from = 0;
        while (from < text.size()) {
            const size_t end = text.find('\n', from);
            if (end == std::string::npos) {
                items.push_back(text.substr(from));
                break;
            }
            items.push_back(text.substr(from, end - from));
            from = end + 1;
        }
    }

    std::string freshId(const std::string& base) {
        std::string id = base;
        for (int n = 2; !ids_.insert(id).second; ++n) id = base + "-" + std::to_string(n);
        return id;
    }

    FormTranslation& out_;
    std::set<std::string> ids_;
};

// The widget element of this id, searched in document order.
const xmlNode* findWidget(const xmlNode* node, const std::string& id, int depth) {
    if (depth > 2 * kFormMaxDepth + 2) return nullptr;
    for (const xmlNode* n = node; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (named(n, "widget") && attr(n, "id") == id) return n;
        if (named(n, "widget") || named(n, "child"))
            if (const xmlNode* found = findWidget(n->children, id, depth + 1)) return found;
    }
    return nullptr;
}

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

void writeStore(std::string& out, const FormWidget& w) {
    out += "<object class=\"GtkListStore\"";
    attribute(out, "id", w.storeId);
    out += "><columns><column type=\"gchararray\"/></columns></object>\n";
}

void writeWidget(std::string& out, const std::vector<FormWidget>& widgets, const FormWidget& w) {
    out += "<object";
    attribute(out, "class", w.className);
    attribute(out, "id", w.id);
    out += '>';
    // libglade names each widget after its id, as GtkBuilder does not.
    bool named = false;
    for (const FormProperty& p : w.properties) named = named || p.name == "name";
    if (!named) {
        out += "<property name=\"name\">";
        escape(out, w.id);
        out += "</property>";
    }
    if (w.hasItems) {
        out += "<property name=\"model\">";
        escape(out, w.storeId);
        out += "</property>";
    }
    for (const FormProperty& p : w.properties) writeProperty(out, p);
    for (const FormSignal& s : w.signals) {
        out += "<signal";
        attribute(out, "name", s.name);
        attribute(out, "handler", s.handler);
        attribute(out, "after", s.after, false);
        attribute(out, "object", s.object, false);
        out += "/>";
    }
    for (const FormAccelerator& a : w.accelerators) {
        out += "<accelerator";
        attribute(out, "key", a.key);
        attribute(out, "modifiers", a.modifiers, false);
        attribute(out, "signal", a.signal);
        out += "/>";
    }
    if (w.hasItems) {
        out += "<child><object class=\"GtkCellRendererText\"";
        attribute(out, "id", w.cellId);
        out += "/><attributes><attribute name=\"text\">0</attribute></attributes></child>";
    }
    out += '\n';
    for (int index : w.children) {
        const FormWidget& c = widgets[static_cast<size_t>(index)];
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
    out += "</object>";
}

void translate(const xmlNode* top, const char* root, FormTranslation& out) {
    if (top == nullptr || !named(top, "glade-interface"))
        throw Refusal{"not a libglade interface: the document is not a <glade-interface>"};
    Reader reader(out);
    std::vector<const xmlNode*> tops;
    for (const xmlNode* n = top->children; n != nullptr; n = n->next) {
        if (n->type == XML_ENTITY_REF_NODE) textOf(top, n);
        if (n->type != XML_ELEMENT_NODE) continue;
        if (named(n, "widget")) tops.push_back(n);
        else if (named(n, "requires"))
            throw Refusal{lineOf(n) + "needs the libglade module \"" + attr(n, "lib") + "\""};
        else throw Refusal{lineOf(n) + "unexpected element <" + reinterpret_cast<const char*>(n->name) +
                           "> in <glade-interface>"};
    }
    if (root != nullptr && root[0] != '\0') {
        const xmlNode* start = findWidget(top->children, root, 0);
        if (start == nullptr) out.warnings.push_back(std::string("no widget \"") + root + "\" to build from");
        else reader.widget(start, -1, 0, "", nullptr);
    } else {
        for (const xmlNode* n : tops) reader.widget(n, -1, 0, "", nullptr);
    }
    reader.nameStores();
    out.builderXml = builderXml(out.widgets);
}

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

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

FormTranslation translateForm(const char* data, std::size_t size, const char* root) {
    FormTranslation out;
    if (size > kFormMaxBytes) {
        out.error = "larger than " + std::to_string(kFormMaxBytes / (1024 * 1024)) + " MiB";
        return out;
    }
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) {
        out.error = "out of memory";
        return out;
    }
    // No network, no external DTD, no entity expansion.
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlCtxtReadMemory(context.get(), size == 0 ? "" : data, static_cast<int>(size), "form", nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES));
    if (!doc) {
        const xmlError* e = &context->lastError;
        std::string reason = e->message != nullptr ? e->message : "not well-formed XML";
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
        out.error = (e->line > 0 ? "line " + std::to_string(e->line) + ": " : std::string()) + reason;
        return out;
    }
    try {
        translate(xmlDocGetRootElement(doc.get()), root, out);
        out.ok = true;
    } catch (const Refusal& r) {
        out.error = r.why;
        out.widgets.clear();
        out.warnings.clear();
        out.builderXml.clear();
    }
    return out;
}
