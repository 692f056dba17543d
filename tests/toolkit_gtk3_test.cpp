// GTK 2's signal call as the GTK 3 build gives it: which argument comes
// first, when the handler runs, and when its data is let go. No display: an
// adjustment is no widget.

#include <gtest/gtest.h>

#include <string>

#include "toolkit.h"

namespace {

std::string calls;

void plain(GtkAdjustment*, gpointer data) { calls += static_cast<const char*>(data); }
void swapped(gpointer data, GtkAdjustment* adjustment) {
    calls += GTK_IS_ADJUSTMENT(adjustment) ? static_cast<const char*>(data) : "?";
}
void released(gpointer data) { calls += std::string("~") + static_cast<const char*>(data); }

TEST(Gtk3Toolkit, SignalConnectFullSwapsRunsAfterAndReleasesAsGtk2) {
    GtkAdjustment* adjustment = GTK_ADJUSTMENT(g_object_ref_sink(gtk_adjustment_new(0, 0, 10, 1, 1, 0)));
    calls.clear();
    const gulong late = gtk_signal_connect_full(GTK_OBJECT(adjustment), "value-changed", GTK_SIGNAL_FUNC(plain),
                                                nullptr, const_cast<char*>("late"), released, FALSE, TRUE);
    const gulong first = gtk_signal_connect_full(GTK_OBJECT(adjustment), "value-changed", GTK_SIGNAL_FUNC(swapped),
                                                 nullptr, const_cast<char*>("first"), nullptr, TRUE, FALSE);
    ASSERT_NE(late, 0u);
    ASSERT_NE(first, 0u);
    gtk_adjustment_set_value(adjustment, 3);
    EXPECT_EQ(calls, "firstlate");
    g_signal_handler_disconnect(adjustment, late);
    EXPECT_EQ(calls, "firstlate~late");
    g_object_unref(adjustment);
}

}  // namespace
