#include "libgui/editing/tageditorregistry.h"

#include <QHash>

namespace {

struct Registry {
    QHash<int, QList<int>> byItemType;
    QHash<int, QList<int>> byDataType;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void TagEditorRegistry::registerItemTypeEditor(int itemType, const QList<int> &modes)
{
    registry().byItemType.insert(itemType, modes);
}

void TagEditorRegistry::registerDataTypeEditor(int itemDataType, const QList<int> &modes)
{
    registry().byDataType.insert(itemDataType, modes);
}

bool TagEditorRegistry::hasEditor(int itemType, int itemDataType, int mode)
{
    const Registry &r = registry();
    const auto byType = r.byItemType.constFind(itemType);
    if (byType != r.byItemType.constEnd())
        return byType->contains(mode);
    const auto byDataType = r.byDataType.constFind(itemDataType);
    return byDataType != r.byDataType.constEnd() && byDataType->contains(mode);
}

void TagEditorRegistry::clear()
{
    registry().byItemType.clear();
    registry().byDataType.clear();
}
