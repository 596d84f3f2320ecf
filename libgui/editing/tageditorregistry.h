#pragma once

#include <QList>

// Which tag editors exist, by item type or by item data type, and in which modes they work
// (mode 0: inside the table). Tag editors register theirs at start-up; until then no cell
// has an editor. GUI thread only.
class TagEditorRegistry
{
public:
    enum Mode : int { InTableMode = 0 };

    static void registerItemTypeEditor(int itemType, const QList<int> &modes);
    static void registerDataTypeEditor(int itemDataType, const QList<int> &modes);
    // An editor registered for the item type, else for its data type, offers the mode.
    static bool hasEditor(int itemType, int itemDataType, int mode);
    // Forgets every registration (tests).
    static void clear();
};
