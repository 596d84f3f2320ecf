#include "app/dialogs/support_dialogs.h"

#include "app/model/support_model.h"
#include "libcore/icons/icons.h"

void loadDialogTestPackages()
{
    loadModelTexts();
    for (const QString &root : {QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")}) {
        if (!iconRootDirectories().contains(root))
            iconRootDirectories().append(root);
    }
}
