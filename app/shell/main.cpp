#include <cstdio>
#include <cstring>

// "--version" is answered before any application object exists, so it works without a display.
int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Melotaxonic %s\n", MELO_VERSION);
            return 0;
        }
    }
    std::fprintf(stderr, "Melotaxonic %s: the main window is not built yet.\n", MELO_VERSION);
    return 0;
}
