#include "app/identification/updateset.h"

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

const UpdateSet &UpdateSet::defaultSet()
{
    static const UpdateSet set = [] {
        UpdateSet made;
        made.id = DefaultSetId;
        made.name = upperCaseFirst(textForId(DefaultUpdateSetNameTextId));
        return made;
    }();
    return set;
}
