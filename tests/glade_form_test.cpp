// The libglade layer's translation of a form into GtkBuilder's format, on
// small forms in libglade 2's format: what is built, and what is refused.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "glade_form.h"

namespace {

FormTranslation translate(const std::string& widgets, const char* root = "window1") {
    const std::string form = "<glade-interface>\n" + widgets + "\n</glade-interface>\n";
    return translateForm(form.data(), form.size(), root);
}

std::vector<std::string> ids(const FormTranslation& t) {
    std::vector<std::string> result;
    for (const FormWidget& w : t.widgets) result.push_back(w.id);
    return result;
}

const char* const kTwoWindows = R"(
<widget class="GtkWindow" id="other"><child><widget class="GtkLabel" id="stray"/></child></widget>
<widget class="GtkWindow" id="window1">
  <child><widget class="GtkVBox" id="box">
    <child><widget class="GtkLabel" id="a"/></child>
    <child><placeholder/></child>
    <child><widget class="GtkLabel" id="b"/><packing><property name="pack_type">GTK_PACK_END</property></packing></child>
  </widget></child>
</widget>)";

TEST(GladeForm, OnlyTheTreeUnderTheRootIsBuiltWithItsPacking) {
    const FormTranslation t = translate(kTwoWindows);
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(ids(t), (std::vector<std::string>{"window1", "box", "a", "b"}));
    EXPECT_EQ(t.builderXml.find("other"), std::string::npos);
    EXPECT_EQ(t.builderXml.find("stray"), std::string::npos);
    ASSERT_EQ(t.widgets[1].children, (std::vector<int>{2, 3}));
    ASSERT_EQ(t.widgets[3].packing.size(), 1u);
    EXPECT_EQ(t.widgets[3].packing[0].name, "pack-type");

    // A nested root stands alone; no root means every top-level widget.
    EXPECT_EQ(ids(translate(kTwoWindows, "box")).front(), "box");
    EXPECT_EQ(translate(kTwoWindows, "box").widgets[0].parent, -1);
    EXPECT_EQ(ids(translate(kTwoWindows, nullptr)),
              (std::vector<std::string>{"other", "stray", "window1", "box", "a", "b"}));
    const FormTranslation none = translate(kTwoWindows, "window2");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.widgets.empty());
    EXPECT_EQ(none.warnings.size(), 1u);
}

TEST(GladeForm, InternalChildrenKeepTheirNameAndTranslatedTextsTheirContext) {
    const FormTranslation t = translate(R"(<widget class="GtkDialog" id="window1">
  <property name="title" translatable="yes" context="yes">menu|Open</property>
  <property name="tooltip">tip</property>
  <child internal-child="vbox"><widget class="GtkVBox" id="inner"/></child>
</widget>)");
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.widgets[1].internalChild, "vbox");
    EXPECT_NE(t.builderXml.find("<child internal-child=\"vbox\"><object class=\"GtkVBox\" id=\"inner\">"),
              std::string::npos)
        << t.builderXml;
    EXPECT_NE(t.builderXml.find("<property name=\"title\" translatable=\"yes\" context=\"menu\">Open</property>"),
              std::string::npos)
        << t.builderXml;
    EXPECT_NE(t.builderXml.find("<property name=\"tooltip-text\">tip</property>"), std::string::npos);
}

TEST(GladeForm, ComboItemsBecomeRowsOfAStoreOfAnIdNoWidgetHas) {
    const FormTranslation t = translate(R"(<widget class="GtkVBox" id="window1">
  <child><widget class="GtkComboBox" id="c"><property name="items" translatable="yes">Easy
Hard
</property></widget></child>
  <child><widget class="GtkLabel" id="c-items"/></child></widget>)");
    ASSERT_TRUE(t.ok) << t.error;
    const FormWidget& combo = t.widgets[1];
    EXPECT_EQ(combo.items, (std::vector<std::string>{"Easy", "Hard"}));
    EXPECT_EQ(combo.itemsTranslatable, "yes");
    EXPECT_TRUE(combo.properties.empty());
    // "c-items" is taken.
    EXPECT_EQ(combo.storeId, "c-items-2");
    EXPECT_NE(t.builderXml.find("<property name=\"model\">c-items-2</property>"), std::string::npos);
}

// A dialog as libglade's designer writes it: the buttons' responses in its
// action area, a button elsewhere keeps its own.
const char* const kDialog = R"(<widget class="GtkDialog" id="window1"><child internal-child="vbox">
<widget class="GtkVBox" id="vbox">
  <child><widget class="GtkButton" id="inside"><property name="response_id">-9</property></widget></child>
  <child internal-child="action_area"><widget class="GtkHButtonBox" id="area">
    <child><widget class="GtkButton" id="ok"><property name="response_id">RESPONSE</property></widget></child>
  </widget></child>
</widget></child></widget>)";

TEST(GladeForm, ResponsesInTheActionAreaBecomeTheDialogsActionWidgets) {
    std::string form = kDialog;
    form.replace(form.find("RESPONSE"), 8, "-5");
    const FormTranslation t = translate(form);
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.widgets[0].actionWidgets, (std::vector<std::pair<std::string, std::string>>{{"ok", "-5"}}));
    EXPECT_NE(t.builderXml.find("<action-widgets><action-widget response=\"-5\">ok</action-widget></action-widgets>\n"
                                "</object>"),
              std::string::npos)
        << t.builderXml;
    EXPECT_EQ(t.builderXml.find("\"response-id\">-5"), std::string::npos) << t.builderXml;
    EXPECT_NE(t.builderXml.find("\"response-id\">-9"), std::string::npos) << t.builderXml;

    form = kDialog;
    form.replace(form.find("RESPONSE"), 8, "GTK_RESPONSE_OK");
    EXPECT_EQ(translate(form).error, "line 6: response_id \"GTK_RESPONSE_OK\" of \"ok\" is not a number");
}

TEST(GladeForm, WhatCannotBeBuiltIsRefusedWithItsLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"(<widget class="GtkWindow" id="window1"><child><widget id="x"/></child></widget>)",
         "line 2: widget without class or id"},
        {R"(<widget class="GtkWindow" id="window1"><child><widget class="GtkLabel" id="window1"/></child></widget>)",
         "line 2: a second widget \"window1\""},
        {R"(<requires lib="gnome"/>)", "line 2: needs the libglade module \"gnome\""},
        {R"(<widget class="GtkWindow" id="window1"><accessibility/></widget>)", "line 2: accessibility"},
        {R"(<widget class="GtkWindow" id="window1"><frobnicate/></widget>)", "line 2: unexpected element <frobnicate>"},
        {R"(<widget class="GtkWindow" id="window1"><child><packing/></child></widget>)", "line 2: <child> without"},
    };
    for (const auto& c : cases) {
        const FormTranslation t = translate(c.first);
        EXPECT_FALSE(t.ok) << c.first;
        EXPECT_EQ(t.error.rfind(c.second, 0), 0u) << t.error;
    }
    const std::string entity = "<!DOCTYPE glade-interface [<!ENTITY e \"x\">]>\n<glade-interface>"
                               "<widget class=\"GtkWindow\" id=\"window1\"><property name=\"title\">&e;</property>"
                               "</widget></glade-interface>";
    EXPECT_EQ(translateForm(entity.data(), entity.size(), "window1").error, "line 2: reference to the entity \"e\"");

    std::string deep, close;
    for (int i = 0; i <= kFormMaxDepth + 1; ++i) {
        deep += "<widget class=\"GtkVBox\" id=\"w" + std::to_string(i) + "\"><child>";
        close = "</child></widget>" + close;
    }
    const FormTranslation tooDeep = translate(deep + "<placeholder/>" + close, "w0");
    EXPECT_NE(tooDeep.error.find("nested more than"), std::string::npos) << tooDeep.error;
}

// libglade reads every widget of the file, built or not, so the launcher's
// own check looks past the tree it builds.
TEST(GladeForm, TheFileCheckFindsAnUnnamedWidgetOutsideTheRootAndTellsBadXmlByLine) {
    char name[] = "/tmp/glade_form_test_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const auto check = [&](const std::string& text) {
        std::FILE* file = std::fopen(name, "w");
        std::fputs(text.c_str(), file);
        std::fclose(file);
        return checkFormFile(name);
    };
    const std::string window = "<widget class=\"GtkWindow\" id=\"window1\"/>\n";
    FormFileFault f = check("<glade-interface>\n" + window + "</glade-interface>\n");
    EXPECT_TRUE(f.wellFormed && f.why.empty()) << f.why;
    f = check("<glade-interface>\n" + window + "<widget class=\"GtkWindow\" id=\"w\"><child>\n" +
              "<widget class=\"GtkLabel\"/></child></widget>\n</glade-interface>\n");
    EXPECT_TRUE(f.wellFormed);
    EXPECT_EQ(f.why, "line 4: widget without class or id");
    f = check("<glade-interface>\n" + window + "<widget");
    EXPECT_FALSE(f.wellFormed);
    EXPECT_EQ(f.why.rfind("line 3: ", 0), 0u) << f.why;
    std::remove(name);
}

}  // namespace
