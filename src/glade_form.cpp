// libglade 2's format read into widget records with libxml2, checked
// within its bounds, and translated to GtkBuilder's.

#include "glade_form.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "builder_xml.h"

namespace {

std::string lineOf(const xmlNode* node) {
    return atLine(xmlGetLineNo(node));
}

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

// libglade crashes on a widget element that lacks either attribute.
bool unnamedWidget(const xmlNode* node) {
    return named(node, "widget") &&
           (xmlHasProp(node, BAD_CAST "class") == nullptr || xmlHasProp(node, BAD_CAST "id") == nullptr);
}

const char* const kUnnamedWidget = "widget without class or id";

// The first in document order, anywhere under node and its siblings.
const xmlNode* findUnnamedWidget(const xmlNode* node) {
    for (; node != nullptr; node = node->next) {
        if (unnamedWidget(node)) return node;
        const xmlNode* inner = node->type == XML_ELEMENT_NODE ? findUnnamedWidget(node->children) : nullptr;
        if (inner != nullptr) return inner;
    }
    return nullptr;
}

// libxml2's reason for refusing a document, naming its line where it has one.
std::string parseError(const xmlError* e, const char* otherwise) {
    std::string reason = e != nullptr && e->message != nullptr ? e->message : otherwise;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    return (e != nullptr && e->line > 0 ? atLine(e->line) : std::string()) + reason;
}

const char* nameOf(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

// GtkWidget's own handling of has-default and has-focus goes by the dashed
// name only.
std::string dashed(std::string name) {
    for (char& c : name)
        if (c == '_') c = '-';
    return name;
}

// libglade's items are lines; a closing line end adds none.
void splitItems(const std::string& text, std::vector<std::string>& items) {
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

// The text of an attribute made of text alone, else empty.
std::string plainAttr(const xmlNode* node, const char* name) {
    const xmlAttr* a = xmlHasProp(node, BAD_CAST name);
    std::string text;
    for (const xmlNode* n = a != nullptr ? a->children : nullptr; n != nullptr; n = n->next) {
        if (n->type != XML_TEXT_NODE) return "";
        if (n->content != nullptr) text += reinterpret_cast<const char*>(n->content);
    }
    return text;
}

// The widget element of this id, searched in document order.
const xmlNode* findWidget(const xmlNode* node, const std::string& id, int depth) {
    if (depth > 2 * kFormMaxDepth + 2) return nullptr;
    for (const xmlNode* n = node; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (named(n, "widget") && plainAttr(n, "id") == id) return n;
        if (named(n, "widget") || named(n, "child"))
            if (const xmlNode* found = findWidget(n->children, id, depth + 1)) return found;
    }
    return nullptr;
}

// Reads the tree into widget records; each step answers false once the form
// is refused, with the reason in why().
class Reader {
public:
    explicit Reader(FormTranslation& out) : out_(out) {}
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    const std::string& why() const { return why_; }

    bool document(const xmlNode* top, const char* root) {
        if (top == nullptr || !named(top, "glade-interface"))
            return refuse(nullptr, "not a libglade interface: the document is not a <glade-interface>");
        std::vector<const xmlNode*> tops;
        if (!topLevel(top, tops) || !trees(top, tops, root) || !responsesAreNumbers()) return false;
        responsesToActionWidgets();
        nameStores();
        return true;
    }

private:
    // Calls each on every element under owner, in order, until one answers
    // false.
    template <typename Each>
    bool elements(const xmlNode* owner, Each each) {
        for (const xmlNode* n = owner->children; n != nullptr; n = n->next) {
            if (!plain(owner, n)) return false;
            if (n->type == XML_ELEMENT_NODE && !each(n)) return false;
        }
        return true;
    }

    // The top-level widgets; a libglade module the form needs refuses it.
    bool topLevel(const xmlNode* top, std::vector<const xmlNode*>& tops) {
        return elements(top, [&](const xmlNode* n) {
            if (named(n, "widget")) {
                tops.push_back(n);
                return true;
            }
            if (!named(n, "requires")) return unexpected(n, top);
            std::string lib;
            return attr(n, "lib", lib) && refuse(n, "needs the libglade module \"" + lib + "\"");
        });
    }

    // The tree under root, or every top-level one without a root.
    bool trees(const xmlNode* top, const std::vector<const xmlNode*>& tops, const char* root) {
        if (root == nullptr || root[0] == '\0') {
            for (const xmlNode* n : tops)
                if (!widget(n, -1, 0, "", nullptr)) return false;
            return true;
        }
        const xmlNode* start = findWidget(top->children, root, 0);
        if (start != nullptr) return widget(start, -1, 0, "", nullptr);
        out_.warnings.push_back(std::string("no widget \"") + root + "\" to build from");
        return true;
    }

    // libglade reads a button's response_id in a dialog's action area, an
    // internal child of the dialog's own box; GtkBuilder reads the dialog's
    // action widgets instead. Elsewhere it stays an unknown property.
    std::vector<FormProperty>::iterator response(FormWidget& w) {
        if (w.parent < 0 || out_.widgets[static_cast<size_t>(w.parent)].internalChild != "action_area")
            return w.properties.end();
        return std::find_if(w.properties.begin(), w.properties.end(),
                            [](const FormProperty& p) { return p.name == "response-id"; });
    }

    bool responsesAreNumbers() {
        for (FormWidget& w : out_.widgets) {
            const auto it = response(w);
            if (it == w.properties.end()) continue;
            long value = 0;
            if (!number(it->value, value)) {
                why_ = atLine(it->line) + "response_id \"" + it->value + "\" of \"" + w.id + "\" is not a number";
                return false;
            }
        }
        return true;
    }

    static bool number(const std::string& text, long& value) {
        char* end = nullptr;
        errno = 0;
        value = std::strtol(text.c_str(), &end, 10);
        return !text.empty() && *end == '\0' && errno == 0 && value >= INT_MIN && value <= INT_MAX;
    }

    // The dialog is the first widget above the button that is no internal
    // child; without one the response stays where it is.
    void responsesToActionWidgets() {
        for (FormWidget& w : out_.widgets) {
            const auto it = response(w);
            if (it == w.properties.end()) continue;
            int dialog = w.parent;
            while (dialog >= 0 && !out_.widgets[static_cast<size_t>(dialog)].internalChild.empty())
                dialog = out_.widgets[static_cast<size_t>(dialog)].parent;
            if (dialog < 0) continue;
            long value = 0;
            number(it->value, value);
            out_.widgets[static_cast<size_t>(dialog)].actionWidgets.emplace_back(w.id, std::to_string(value));
            w.properties.erase(it);
        }
    }

    // The store and renderer of a combo box get ids no widget has.
    void nameStores() {
        for (FormWidget& w : out_.widgets) {
            if (!w.hasItems) continue;
            w.storeId = freshId(w.id + "-items");
            w.cellId = freshId(w.id + "-cell");
        }
    }

    bool refuse(const xmlNode* at, const std::string& text) {
        why_ = (at != nullptr ? lineOf(at) : std::string()) + text;
        return false;
    }

    bool unexpected(const xmlNode* n, const xmlNode* in) {
        return refuse(n, std::string("unexpected element <") + nameOf(n) + "> in <" + nameOf(in) + ">");
    }

    // An entity of the form's own could grow without bound when expanded.
    bool plain(const xmlNode* owner, const xmlNode* n) {
        if (n->type != XML_ENTITY_REF_NODE) return true;
        return refuse(owner, std::string("reference to the entity \"") + nameOf(n) + "\"");
    }

    // Only text and character data.
    bool text(const xmlNode* owner, const xmlNode* first, std::string& out) {
        out.clear();
        for (const xmlNode* n = first; n != nullptr; n = n->next) {
            if (!plain(owner, n)) return false;
            if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
                if (n->content != nullptr) out += reinterpret_cast<const char*>(n->content);
            } else if (n->type == XML_ELEMENT_NODE) {
                return unexpected(n, owner);
            }
        }
        return true;
    }

    // Empty when the attribute is not there.
    bool attr(const xmlNode* node, const char* name, std::string& value) {
        const xmlAttr* a = xmlHasProp(node, BAD_CAST name);
        if (a == nullptr) {
            value.clear();
            return true;
        }
        return text(node, a->children, value);
    }

    bool required(const xmlNode* node, const char* name, std::string& value) {
        if (!attr(node, name, value)) return false;
        return !value.empty() || refuse(node, std::string("<") + nameOf(node) + "> without " + name);
    }

    // foreign: the property is another program's (it names an agent).
    bool property(const xmlNode* node, FormProperty& p, bool& foreign) {
        std::string context;
        if (!required(node, "name", p.name) || !text(node, node->children, p.value) ||
            !attr(node, "translatable", p.translatable) || !attr(node, "comments", p.comments) ||
            !attr(node, "context", context))
            return false;
        foreign = xmlHasProp(node, BAD_CAST "agent") != nullptr;
        p.name = dashed(p.name);
        p.line = static_cast<int>(xmlGetLineNo(node));
        // libglade's context="yes": the value starts with "context|".
        if (context == "yes") {
            const auto bar = p.value.find('|');
            if (bar != std::string::npos) {
                if (!p.translatable.empty()) p.context = p.value.substr(0, bar);
                p.value.erase(0, bar + 1);
            }
        }
        return true;
    }

    bool widget(const xmlNode* node, int parent, int depth, const std::string& internalChild,
                const xmlNode* packing) {
        FormWidget w;
        std::vector<const xmlNode*> children;
        if (!withinBounds(node, depth) || !identity(node, w) || !packingOf(packing, w) || !contents(node, w, children))
            return false;
        w.parent = parent;
        w.depth = depth;
        w.internalChild = internalChild;
        const int self = static_cast<int>(out_.widgets.size());
        out_.widgets.push_back(std::move(w));
        for (const xmlNode* c : children)
            if (!child(c, self, depth + 1)) return false;
        return true;
    }

    // A widget with a class and an id, within the bounds.
    bool withinBounds(const xmlNode* node, int depth) {
        if (unnamedWidget(node)) return refuse(node, kUnnamedWidget);
        if (out_.widgets.size() >= kFormMaxWidgets)
            return refuse(node, "more than " + std::to_string(kFormMaxWidgets) + " widgets");
        if (depth > kFormMaxDepth)
            return refuse(node, "widgets nested more than " + std::to_string(kFormMaxDepth) + " deep");
        return true;
    }

    // Its class and id, the id one no other widget has.
    bool identity(const xmlNode* node, FormWidget& w) {
        if (!required(node, "class", w.className) || !required(node, "id", w.id)) return false;
        w.line = static_cast<int>(xmlGetLineNo(node));
        return ids_.insert(w.id).second || refuse(node, "a second widget \"" + w.id + "\"");
    }

    // The <packing> of the <child> the widget stands in, if any.
    bool packingOf(const xmlNode* packing, FormWidget& w) {
        if (packing == nullptr) return true;
        return elements(packing, [&](const xmlNode* n) {
            if (!named(n, "property")) return unexpected(n, packing);
            FormProperty p;
            bool foreign = false;
            if (!property(n, p, foreign)) return false;
            if (!foreign) w.packing.push_back(p);
            return true;
        });
    }

    // The children's elements are kept for once the widget itself is in.
    bool contents(const xmlNode* node, FormWidget& w, std::vector<const xmlNode*>& children) {
        return elements(node, [&](const xmlNode* n) {
            if (named(n, "property")) return widgetProperty(n, w);
            if (named(n, "signal")) return signal(n, w);
            if (named(n, "accelerator")) return accelerator(n, w);
            if (named(n, "child")) {
                children.push_back(n);
                return true;
            }
            if (named(n, "accessibility")) return refuse(n, "accessibility settings are not supported");
            return unexpected(n, node);
        });
    }

    bool widgetProperty(const xmlNode* n, FormWidget& w) {
        FormProperty p;
        bool foreign = false;
        if (!property(n, p, foreign)) return false;
        if (foreign) return true;
        if (w.className == "GtkComboBox" && p.name == "items") {
            w.hasItems = true;
            w.itemsTranslatable = p.translatable;
            splitItems(p.value, w.items);
        } else {
            // libglade's own name for the tooltip's text.
            if (p.name == "tooltip") p.name = "tooltip-text";
            w.properties.push_back(p);
        }
        return true;
    }

    bool signal(const xmlNode* n, FormWidget& w) {
        FormSignal s;
        if (!required(n, "name", s.name) || !required(n, "handler", s.handler) || !attr(n, "after", s.after) ||
            !attr(n, "object", s.object))
            return false;
        s.line = static_cast<int>(xmlGetLineNo(n));
        w.signals.push_back(s);
        return true;
    }

    bool accelerator(const xmlNode* n, FormWidget& w) {
        FormAccelerator a;
        if (!required(n, "key", a.key) || !attr(n, "modifiers", a.modifiers) || !required(n, "signal", a.signal))
            return false;
        a.line = static_cast<int>(xmlGetLineNo(n));
        w.accelerators.push_back(a);
        return true;
    }

    bool child(const xmlNode* node, int parent, int depth) {
        const xmlNode* inner = nullptr;
        const xmlNode* packing = nullptr;
        bool placeholder = false;
        const bool read = elements(node, [&](const xmlNode* n) {
            if ((named(n, "widget") || named(n, "placeholder")) && inner == nullptr && !placeholder) {
                if (named(n, "widget")) inner = n;
                else placeholder = true;
            } else if (named(n, "packing") && packing == nullptr) {
                packing = n;
            } else {
                return unexpected(n, node);
            }
            return true;
        });
        if (!read) return false;
        // libglade skips a placeholder: an empty place in the designer.
        if (placeholder) return true;
        if (inner == nullptr) return refuse(node, "<child> without a widget");
        std::string internalChild;
        if (!attr(node, "internal-child", internalChild)) return false;
        // widget() adds the child itself first, then its own children.
        const int index = static_cast<int>(out_.widgets.size());
        if (!widget(inner, parent, depth, internalChild, packing)) return false;
        out_.widgets[static_cast<size_t>(parent)].children.push_back(index);
        return true;
    }

    std::string freshId(const std::string& base) {
        std::string id = base;
        for (int n = 2; !ids_.insert(id).second; ++n) id = base + "-" + std::to_string(n);
        return id;
    }

    FormTranslation& out_;
    std::set<std::string> ids_;
    std::string why_;
};

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

}  // namespace

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
        out.error = parseError(xmlCtxtGetLastError(context.get()), "not well-formed XML");
        return out;
    }
    Reader reader(out);
    if (!reader.document(xmlDocGetRootElement(doc.get()), root)) {
        out.error = reader.why();
        out.widgets.clear();
        out.warnings.clear();
        return out;
    }
    out.builderXml = builderXml(out.widgets);
    out.ok = true;
    return out;
}

std::string atLine(long line) {
    return "line " + std::to_string(line) + ": ";
}

FormFileFault checkFormFile(const char* fname) {
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadFile(fname, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) return {false, parseError(xmlGetLastError(), "not a well-formed XML file")};
    const xmlNode* unnamed = findUnnamedWidget(xmlDocGetRootElement(doc.get()));
    return {true, unnamed != nullptr ? lineOf(unnamed) + kUnnamedWidget : std::string()};
}
