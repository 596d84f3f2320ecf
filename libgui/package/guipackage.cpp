#include "libgui/package/guipackage.h"

#include "libcore/text/resourcepackage.h"
#include "libgui/icons/icons.h"

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
