#include "app/linux/dialog/gio_web_page.h"

#include <gio/gio.h>

namespace wendrel::linux_app {

std::optional<std::string> FindWebPageProgram(const std::string& file) {
    // Like the Windows look-up, only a file that is there has a program.
    if (!g_file_test(file.c_str(), G_FILE_TEST_EXISTS))
        return std::nullopt;
    // By name, not by content: the page file is empty, and GIO calls an
    // empty file plain text whatever its name.
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(file.c_str(), nullptr, 0, &uncertain);
    if (type == nullptr || g_content_type_is_unknown(type)) {
        // No MIME database: a ".htm" file is still a web page.
        g_free(type);
        type = g_content_type_from_mime_type("text/html");
    }
    GAppInfo* app = type != nullptr ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (app == nullptr)
        return std::nullopt;
    std::optional<std::string> program;
    const char* executable = g_app_info_get_executable(app);
    if (executable != nullptr && *executable != '\0') {
        gchar* path = g_find_program_in_path(executable);
        if (path != nullptr)
            program = path;
        g_free(path);
    }
    g_object_unref(app);
    return program;
}

void StartWebPageProgram(const std::string& program, const std::string& argument) {
    // The executable itself rather than the desktop file's Exec line, whose
    // field codes and extra words would change the arguments.
    std::string programCopy = program, argumentCopy = argument;
    gchar* argv[] = {programCopy.data(), argumentCopy.data(), nullptr};
    GError* error = nullptr;
    // No child pid asked for: GLib leaves no zombie behind.
    if (!g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, &error))
        g_clear_error(&error);
}

WebPageHandler GioWebPageHandler() {
    return {FindWebPageProgram, StartWebPageProgram};
}

}  // namespace wendrel::linux_app
