#include "app/linux/dialog/config_dialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/linux/dialog/gio_web_page.h"
#include "app/linux/dialog/program_icon.h"
#include "app/linux/home_page.h"
#include "saver/check_state.h"
#include "saver/saver_names.h"

namespace wendrel::linux_app {

namespace {

// The configuration dialog: OK and Cancel at the top right, the program's
// icon, name and notice at the left, the check box and the home-page
// button below. m_bNoDirect is the check box's datum: loaded into the box
// when the dialog opens, saved back from it by OK.
class CConfigDlg {
  public:
    explicit CConfigDlg(WebPageHandler handler);
    ~CConfigDlg();
    CConfigDlg(const CConfigDlg&) = delete;
    CConfigDlg& operator=(const CConfigDlg&) = delete;

    // Shows the dialog until OK, Cancel, Esc or the close box ends it.
    // True for OK.
    bool DoModal();

    int m_bNoDirect = 0;

  private:
    void End(bool ok);

    static void OnOk(GtkButton* button, gpointer self);
    static void OnCancel(GtkButton* button, gpointer self);
    static void OnHomePage(GtkButton* button, gpointer self);
    static gboolean OnDelete(GtkWidget* window, GdkEvent* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);

    WebPageHandler m_handler;
    GdkPixbuf* m_pIcon = nullptr;
    GtkWidget* m_pWindow = nullptr;
    GtkWidget* m_pNoDirect = nullptr;
    GMainLoop* m_pLoop = nullptr;
    bool m_bOk = false;
};

GtkWidget* LeftLabel(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    return label;
}

CConfigDlg::CConfigDlg(WebPageHandler handler) : m_handler(std::move(handler)) {
    m_pIcon = LoadProgramIcon();
    m_pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(m_pWindow);
    gtk_window_set_title(window, "Wendrel configuration");
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    if (m_pIcon != nullptr)
        gtk_window_set_icon(window, m_pIcon);

    // A grid in the template's arrangement; GTK's own sizes replace its
    // dialog units.
    GtkWidget* grid = gtk_grid_new();
    gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 10);

    GtkWidget* ok = gtk_button_new_with_label("OK");
    GtkWidget* cancel = gtk_button_new_with_label("Cancel");
    m_pNoDirect = gtk_check_button_new_with_mnemonic("Do not use _DirectDraw");
    GtkWidget* homePage = gtk_button_new_with_mnemonic("_Go to the TAVRIN Software home page");
    GtkWidget* version = LeftLabel("Wendrel Version 1.0");
    GtkWidget* notice = LeftLabel("\u00A9 1997 TAVRIN Software");
    GtkWidget* icon = m_pIcon != nullptr ? gtk_image_new_from_pixbuf(m_pIcon) : gtk_image_new();
    gtk_widget_set_size_request(ok, 80, -1);
    gtk_widget_set_size_request(cancel, 80, -1);
    gtk_widget_set_halign(icon, GTK_ALIGN_START);

    // Rows top to bottom, and in each row left to right, give GTK's tab
    // order the template's: OK, Cancel, the check box, the home-page button.
    gtk_grid_attach(GTK_GRID(grid), icon, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), version, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), ok, 2, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), notice, 0, 1, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), cancel, 2, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), m_pNoDirect, 0, 2, 3, 1);
    gtk_grid_attach(GTK_GRID(grid), homePage, 0, 3, 3, 1);
    gtk_widget_set_hexpand(version, TRUE);
    gtk_container_add(GTK_CONTAINER(m_pWindow), grid);

    // OK is the default button and starts with the focus, so Enter
    // presses it unless another push button has the focus.
    gtk_widget_set_can_default(ok, TRUE);
    gtk_window_set_default(window, ok);
    gtk_widget_grab_focus(ok);

    g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), this);
    g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), this);
    g_signal_connect(homePage, "clicked", G_CALLBACK(OnHomePage), this);
    g_signal_connect(m_pWindow, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(m_pWindow, "key-press-event", G_CALLBACK(OnKeyPress), this);
}

CConfigDlg::~CConfigDlg() {
    gtk_widget_destroy(m_pWindow);
    // Let the window go away on the display before the program ends.
    while (gtk_events_pending())
        gtk_main_iteration();
    if (m_pIcon != nullptr)
        g_object_unref(m_pIcon);
}

bool CConfigDlg::DoModal() {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(m_pNoDirect), LoadCheckState(m_bNoDirect) != 0);
    gtk_widget_show_all(m_pWindow);
    m_pLoop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(m_pLoop);
    g_main_loop_unref(m_pLoop);
    m_pLoop = nullptr;
    gtk_widget_hide(m_pWindow);
    if (m_bOk)
        m_bNoDirect = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_pNoDirect)) ? 1 : 0;
    return m_bOk;
}

void CConfigDlg::End(bool ok) {
    if (m_pLoop == nullptr || !g_main_loop_is_running(m_pLoop))
        return;
    m_bOk = ok;
    g_main_loop_quit(m_pLoop);
}

void CConfigDlg::OnOk(GtkButton*, gpointer self) {
    static_cast<CConfigDlg*>(self)->End(true);
}

void CConfigDlg::OnCancel(GtkButton*, gpointer self) {
    static_cast<CConfigDlg*>(self)->End(false);
}

void CConfigDlg::OnHomePage(GtkButton*, gpointer self) {
    OpenHomePage(static_cast<CConfigDlg*>(self)->m_handler, kHomePageAddress);
}

gboolean CConfigDlg::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<CConfigDlg*>(self)->End(false);
    return TRUE;  // the window is destroyed with the dialog object
}

gboolean CConfigDlg::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    const auto modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    if (event->keyval != GDK_KEY_Escape || modifiers != 0)
        return FALSE;
    static_cast<CConfigDlg*>(self)->End(false);
    return TRUE;
}

// The reason a setting was not stored, in a message box over the desktop
// (the dialog itself has gone by then).
void ShowNotStored(const std::string& reason) {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                            GTK_BUTTONS_OK, "The setting was not stored.");
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(box), "%s", reason.c_str());
    gtk_window_set_title(GTK_WINDOW(box), "Wendrel");
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    while (gtk_events_pending())
        gtk_main_iteration();
}

}  // namespace

int RunConfigDialog(CSettingsStore& store) {
    const std::string program = store.Path().stem().string();
    // The window's class, for desktops that group windows by program.
    if (g_get_prgname() == nullptr)
        g_set_prgname(program.c_str());
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(
            stderr, "%s: cannot open a display for the configuration dialog (DISPLAY %s)\n",
            program.c_str(), display != nullptr && *display != '\0' ? display : "is not set");
        return 1;
    }
    CConfigDlg dialog(GioWebPageHandler());
    // A file that is there but cannot be read opens with the default, and
    // is never written over: its other lines would be lost.
    std::string error;
    const bool readable =
        store.ReadProfileInt(kSettingsSection, kNoDirectEntry, 0, dialog.m_bNoDirect, error);
    if (!readable)
        error += "; it is left as it is";
    if (dialog.DoModal()) {
        // Written even when unchanged.
        if (!readable ||
            !store.WriteProfileInt(kSettingsSection, kNoDirectEntry, dialog.m_bNoDirect, error)) {
            std::fprintf(stderr, "%s: the setting was not stored: %s\n", program.c_str(),
                         error.c_str());
            ShowNotStored(error);
        }
    }
    return 0;
}

}  // namespace wendrel::linux_app
