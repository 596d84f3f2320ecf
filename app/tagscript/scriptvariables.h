#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

#include "app/model/modeldatatype.h"

class AudioFile;
class TagItem;
class TsVariable;

// The canonical script name of every data type that has one. Also how other parts store
// data types by name in the settings.
const QMap<ModelDataType, QString> &dataTypeNames();
// Lower-case names and compatibility aliases to data types; callers lower-case the name
// before looking it up, and a missing name means no data type.
const QMap<QString, ModelDataType> &variableNames();

// The raw value of the data type the variable names; invalid for names of no data type.
QVariant variableValue(const TsVariable &variable, AudioFile *context);
// The value of a special variable ("_counter", "year", "_cover_width" ...); invalid for
// other names.
QVariant specialVariableValue(const TsVariable &variable, AudioFile *context);

// The first item of the type in the file's combined tag, or null.
TagItem *firstCombinedTagItem(AudioFile *file, int itemType);

// Starts the numbering of "_counter" afresh: the next file asked for is number 1.
void resetScriptCounters();

// Special variables by their index, for variable nodes that look their name up once.
int specialVariableIndex(const QString &lowerCaseName);
QVariant specialVariableValue(int index, AudioFile *context);
