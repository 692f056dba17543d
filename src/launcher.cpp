// The settings dialog in front of the game: its button replaces this process
// with "./game", handing the form's texts over as the game's command line.

// GTK, and where it is GTK 3 what the launcher calls of GTK 2.
#include "toolkit.h"
#include <glade/glade.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board_memory.h"
#include "glade_form.h"
#include "params.h"

GladeXML* xml = nullptr;
GtkWidget* difficulty = nullptr;

namespace {

const char* const kFormFile = "launcher.xml";

// Started from a desktop menu, standard error goes nowhere: every failure is
// also told in a message box. Modal over parent, if any, until it is closed.
void tell(GtkWindow* parent, const char* title, const char* what, const std::string& why) {
    const auto flags = static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
    GtkWidget* box = gtk_message_dialog_new(parent, flags,
                                            GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, "%s", what);
    std::string text = why;
    if (!text.empty()) text[0] = static_cast<char>(g_ascii_toupper(text[0]));
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(box), "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title);
    if (parent == nullptr) gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_CLOSE);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "launcher: %s\n", message.c_str());
    tell(nullptr, "Cannot open the settings", "The settings dialog could not be opened.", message + ".");
    std::exit(1);
}

// libglade only warns about a file it can't read and then goes on without a
// window, so the file is read and parsed here first.
void requireWellFormedForm() {
    std::FILE* file = std::fopen(kFormFile, "r");
    if (file == nullptr) fail(std::string("cannot read ") + kFormFile + ": " + std::strerror(errno));
    errno = 0;
    std::fgetc(file);
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) fail(std::string("cannot read ") + kFormFile + ": " + std::strerror(readError));

    const FormFileFault fault = checkFormFile(kFormFile);
    if (!fault.wellFormed) fail(std::string("cannot read ") + kFormFile + ": " + fault.why);
    if (!fault.why.empty()) fail(std::string(kFormFile) + ", " + fault.why);
}

// libglade's own complaints about a form that turns out unusable would bury
// the one line that says why, so they are held back until the form passes.
struct HeldMessage {
    GLogLevelFlags level;
    std::string text;
};
std::vector<HeldMessage> heldMessages;

void holdMessage(const gchar*, GLogLevelFlags level, const gchar* text, gpointer) {
    heldMessages.push_back({static_cast<GLogLevelFlags>(level & G_LOG_LEVEL_MASK), text ? text : ""});
}

GladeXML* loadForm() {
    const guint handler = g_log_set_handler(
        "libglade", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
        holdMessage, nullptr);
    GladeXML* tree = glade_xml_new(kFormFile, "window1", NULL);
    g_log_remove_handler("libglade", handler);
    return tree;
}

void releaseHeldMessages() {
    for (const HeldMessage& message : heldMessages) g_log("libglade", message.level, "%s", message.text.c_str());
    heldMessages.clear();
}

// A missing or mistyped widget would otherwise leave a window without a way
// to close it, or a button that only floods the console with criticals.
void requireWidget(const char* name, GType type, const char* typeName) {
    GtkWidget* widget = glade_xml_get_widget(xml, name);
    if (widget == nullptr) fail(std::string(kFormFile) + " has no widget \"" + name + "\"");
    if (!G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
        fail(std::string(kFormFile) + ": widget \"" + name + "\" is not a " + typeName);
}

void requireForm() {
    requireWidget("window1", GTK_TYPE_WINDOW, "GtkWindow");
    requireWidget("fieldW-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("fieldH-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("aircraft-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("battleship-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("submarine-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("destroyer-input", GTK_TYPE_ENTRY, "GtkEntry");
    requireWidget("diff-input", GTK_TYPE_COMBO_BOX, "GtkComboBox");
    requireWidget("button1", GTK_TYPE_BUTTON, "GtkButton");

    // Item 1 is preset as Hard; without it the game would silently get Easy.
    GtkWidget* combo = glade_xml_get_widget(xml, "diff-input");
    GtkTreeModel* items = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    if (items == nullptr || gtk_tree_model_iter_n_children(items, NULL) < 2)
        fail(std::string(kFormFile) + ": widget \"diff-input\" needs two items, Easy and Hard");
}

const gchar* entryText(const char* name) {
    return gtk_entry_get_text(GTK_ENTRY(glade_xml_get_widget(xml, name)));
}

// A board the game would refuse is refused here, while the form can still
// be corrected: the texts read as the game reads them, measured alike.
bool refusedAsTooLarge(GtkWindow* form, char** argv) {
    int params[PARAM_COUNT];
    readParams(8, argv, params);
    const BoardMemory memory = boardMemory(params[PARAM_WIDTH], params[PARAM_HEIGHT]);
    if (memory.fits()) return false;
    const std::string refusal = boardRefusal(params[PARAM_WIDTH], params[PARAM_HEIGHT], memory);
    std::fprintf(stderr, "launcher: %s\n", refusal.c_str());
    tell(form, "Board too large", "This board is too large to play here.",
         refusal + " Choose a smaller width or height.");
    return true;
}

}  // namespace

void start(GtkWidget*, gpointer) {
    const gint active = gtk_combo_box_get_active(GTK_COMBO_BOX(difficulty));
    char diff[2] = {static_cast<char>('0' + active), '\0'};

    // execv takes char* const[] but never writes through it.
    char* argv[9];
    argv[0] = const_cast<char*>("./game");
    argv[1] = const_cast<gchar*>(entryText("fieldW-input"));
    argv[2] = const_cast<gchar*>(entryText("fieldH-input"));
    argv[3] = const_cast<gchar*>(entryText("aircraft-input"));
    argv[4] = const_cast<gchar*>(entryText("battleship-input"));
    argv[5] = const_cast<gchar*>(entryText("submarine-input"));
    argv[6] = const_cast<gchar*>(entryText("destroyer-input"));
    argv[7] = diff;
    argv[8] = nullptr;

    GtkWindow* form = GTK_WINDOW(glade_xml_get_widget(xml, "window1"));
    if (refusedAsTooLarge(form, argv)) return;

    // The game inherits stdout; anything still buffered would be lost.
    std::printf("Launcher executing game...\n");
    std::fflush(stdout);
    execv("./game", argv);
    const int error = errno;

    // Still here: the dialog stays open so the user can fix it and retry.
    std::fprintf(stderr, "launcher: cannot start ./game: %s\n", std::strerror(error));
    tell(form, "Cannot start the game", "The game could not be started.",
         std::string("cannot start ./game: ") + std::strerror(error) + ".");
}

void destroy_handler(GtkWidget*, gpointer) {
    gtk_main_quit();
}

int main(int argc, char** argv) {
    // The dialog and the game's window are one application to the desktop:
    // the same class as the game's window and the menu entry's StartupWMClass.
    g_set_prgname("battleships");
    gtk_init(&argc, &argv);
    gdk_set_program_class("Battleships");
    glade_init();
    // Every window of the launcher, message boxes included, shows the game's
    // icon from the icon theme; where none is installed GTK keeps its own.
    gtk_window_set_default_icon_name("battleships");

    requireWellFormedForm();
    xml = loadForm();
    if (xml == nullptr) {
        std::string message = std::string("cannot load ") + kFormFile;
        if (!heldMessages.empty()) message += ": " + heldMessages.front().text;
        fail(message);
    }
    requireForm();
    releaseHeldMessages();

    GtkWidget* window = glade_xml_get_widget(xml, "window1");
    gtk_signal_connect_full(GTK_OBJECT(window), "destroy", GTK_SIGNAL_FUNC(destroy_handler),
                            NULL, NULL, NULL, FALSE, FALSE);

    GtkWidget* button = glade_xml_get_widget(xml, "button1");
    gtk_signal_connect_full(GTK_OBJECT(button), "clicked", GTK_SIGNAL_FUNC(start), NULL, NULL,
                            NULL, FALSE, FALSE);

    difficulty = glade_xml_get_widget(xml, "diff-input");
    gtk_combo_box_set_active(GTK_COMBO_BOX(difficulty), 1);

    gtk_widget_show(window);
    gtk_main();
    return 0;
}
