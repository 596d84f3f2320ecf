#pragma once

#include <QString>
#include <QVariant>

#include "app/model/modeldatatype.h"

class AudioFile;
class AudioProperties;
class TagItem;

// How the value of a data type is obtained for one audio file and one item data role
// (display, RawValueRole or SortValueRole), and how a raw value becomes what a cell shows
// or what sorting compares. Missing data is an invalid variant, never an error.

ValueFormat valueFormat(const ModelDataType &type);

// The rendering of a raw value: the raw role and invalid values come back unchanged; any
// role but display, raw and sort gives an invalid variant.
QVariant formatValue(const QVariant &value, int role, ValueFormat format);

QVariant tagItemValue(const TagItem &item, int role);
// The path has '/' separators; the file path property answers every role with the native path.
QVariant filePropertyValue(const QString &path, FileProperty::Id property, int role);
QVariant audioPropertyValue(const AudioProperties &properties, AudioProperty::Id property, int role);

// The value of one cell: the first item of the type in the file's combined tag, a file
// property or an audio property. Never throws.
QVariant dataTypeValue(AudioFile *file, const ModelDataType &type, int role);
