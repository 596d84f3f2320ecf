#pragma once

#include <QByteArray>
#include <QString>

// Value data types of ASF attributes.
namespace AsfAttributeType {
enum Id : int { UnicodeString = 0, ByteArray = 1, Bool = 2, DWord = 3, QWord = 4, Word = 5, Guid = 6 };
}

// One attribute as stored in the file: a descriptor of the Extended Content Description
// Object or a record of the Metadata or Metadata Library Object. The value is kept as raw
// bytes; its interpretation belongs to the attribute mapping.
class AsfAttribute
{
public:
    QString name;
    QByteArray value;
    int valueType = AsfAttributeType::UnicodeString;
    int languageIndex = 0;
    int streamNumber = 0;

    bool operator==(const AsfAttribute &other) const = default;
};
