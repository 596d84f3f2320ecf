#include <cstdio>
#include <cstring>

#include "app/shell/application.h"

int main(int argc, char *argv[])
{
    // "--version" is answered before any application object exists, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Melotaxonic %s\n", MELO_VERSION);
            return 0;
        }
    }
    const int early = earlyExitCode(argc, argv);
    if (early >= 0)
        return early;
    Application application(argc, argv);
    return applicationMain(application);
}
