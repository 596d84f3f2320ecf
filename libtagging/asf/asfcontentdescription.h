#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class IoStream;

// The Content Description Object: title, author, copyright, description and rating. Many
// readers look for these five values there and nowhere else, and many taggers change them
// there alone, leaving a same-named descriptor of the Extended Content Description Object
// behind with the old value.
namespace AsfContentDescription {

enum Field : int { Title, Author, Copyright, Description, Rating, FieldCount };

// The attribute name of a field, as the writer spells it.
QString fieldName(int field);
// The field whose attribute name this is in any letter case, or -1.
int fieldOfName(const QString &name);

// The five texts of an object's own data, each up to its first NUL; the stream only names the
// file in messages.
QStringList read(const QByteArray &data, IoStream *stream);

// The object's own data built from the serialised attributes of a tag: for each field, the
// first text descriptor of its name moves into the object and the further ones of that name
// into the library records, which are read after it. A field with a library record of its name
// (a value too long for the object, or one with a language or stream) stays as it is, so that
// its values keep their order. Empty when no value moved.
QByteArray take(QList<QByteArray> &descriptors, QList<QByteArray> &libraryRecords);

} // namespace AsfContentDescription
