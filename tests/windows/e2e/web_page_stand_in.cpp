// Stands in for the web browser: appends one line per start to the file
// named by WENDREL_STAND_IN_LOG, the number of arguments then each one:
// "1|www.tavrin.example".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* log = std::getenv("WENDREL_STAND_IN_LOG");
    if (log == nullptr)
        return 2;
    std::FILE* out = std::fopen(log, "a");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "%d", __argc - 1);
    for (int i = 1; i < __argc; ++i)
        std::fprintf(out, "|%s", __argv[i]);
    std::fputc('\n', out);
    std::fclose(out);
    return 0;
}
