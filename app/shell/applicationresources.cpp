#include "app/shell/applicationresources.h"

#include "app/identification/idwordlists.h"
#include "libcore/text/resourcepackage.h"

void registerApplicationResources(const QStringList &extraPackages)
{
    // Mounting a package twice would load its text table twice, and its ids would clash.
    static bool mounted = false;
    if (!mounted) {
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc"),
                               QStringLiteral("libgui.rcc")});
        registerResourceFile(QStringLiteral("melotaxonic.rcc"), QStringLiteral(":/app"));
        mounted = true;
    }
    registerResourceFiles(extraPackages);
    requireIdentificationTables();
}
