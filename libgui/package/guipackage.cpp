#include "libgui/package/guipackage.h"

#include "libcore/icons/icons.h"
#include "libcore/text/resourcepackage.h"

void registerGuiPackage()
{
    static bool registered = false;
    if (registered)
        return;
    registerResourceFile(QStringLiteral("libgui.rcc"), QStringLiteral(":/libgui"));
    const QString root = QStringLiteral(":/libgui/icons");
    if (!iconRootDirectories().contains(root))
        iconRootDirectories().append(root);
    registered = true;
}
