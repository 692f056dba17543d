// Any bytes as the launcher's form, read by the libglade layer's translation
// with the launcher's root. Whatever the input, it ends in a refusal with a
// reason or in a tree within the bounds, each widget after its parent, that
// GtkBuilder's description renders whole: well-formed, one object per widget
// (and a store and a renderer per combo box with items), no id twice.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "glade_form.h"

namespace {

void fail(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "translateForm: %s %s\n", what, detail.c_str());
    std::abort();
}

void collect(const xmlNode* node, std::set<std::string>& ids, size_t& objects) {
    for (const xmlNode* n = node; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        if (xmlStrcmp(n->name, BAD_CAST "object") == 0) {
            ++objects;
            xmlChar* id = xmlGetProp(n, BAD_CAST "id");
            xmlChar* cls = xmlGetProp(n, BAD_CAST "class");
            if (id == nullptr || cls == nullptr || cls[0] == '\0') fail("an object without class or id");
            if (!ids.insert(reinterpret_cast<const char*>(id)).second)
                fail("an id twice:", reinterpret_cast<const char*>(id));
            xmlFree(id);
            xmlFree(cls);
        }
        collect(n->children, ids, objects);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xmlInitParser();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FormTranslation form = translateForm(reinterpret_cast<const char*>(data), size, "window1");
    if (!form.ok) {
        if (form.error.empty()) fail("a refusal without a reason");
        if (!form.widgets.empty() || !form.builderXml.empty()) fail("a refusal that keeps a tree");
        return 0;
    }
    if (form.widgets.size() > kFormMaxWidgets) fail("too many widgets");
    if (form.widgets.empty() != !form.warnings.empty()) fail("an empty tree without a warning, or the reverse");
    if (!form.widgets.empty() && (form.widgets[0].id != "window1" || form.widgets[0].parent != -1))
        fail("a tree not under its root");

    size_t expected = 0;
    for (size_t i = 0; i < form.widgets.size(); ++i) {
        const FormWidget& w = form.widgets[i];
        expected += w.hasItems ? 3 : 1;
        if (w.id.empty() || w.className.empty()) fail("a widget without class or id");
        if (i > 0 && (w.parent < 0 || static_cast<size_t>(w.parent) >= i)) fail("a widget before its parent", w.id);
        if (i > 0 && w.depth != form.widgets[static_cast<size_t>(w.parent)].depth + 1) fail("a wrong depth", w.id);
        if (w.depth > kFormMaxDepth) fail("too deep", w.id);
    }

    xmlDoc* doc = xmlReadMemory(form.builderXml.data(), static_cast<int>(form.builderXml.size()), "builder",
                                nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) fail("GtkBuilder's description is not well-formed:\n", form.builderXml);
    const xmlNode* top = xmlDocGetRootElement(doc);
    if (top == nullptr || xmlStrcmp(top->name, BAD_CAST "interface") != 0) fail("no <interface>");
    std::set<std::string> ids;
    size_t objects = 0;
    collect(top->children, ids, objects);
    xmlFreeDoc(doc);
    if (objects != expected)
        fail("objects not one per widget:", std::to_string(objects) + " for " + std::to_string(expected));
    return 0;
}
