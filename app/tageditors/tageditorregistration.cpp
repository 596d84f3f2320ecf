#include "app/tageditors/tageditorregistration.h"

#include "app/tageditors/tageditorwidget.h"

void registerTagEditors()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
}
