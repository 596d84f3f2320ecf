#pragma once

#include "libtagging/model/tagitemcatalogue.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

// The item type ids, made from the catalogue. A namespace keeps the names (FileType,
// Artwork, ...) out of the global scope while the ids stay plain ints.
namespace TagItemType {
#define MELO_TAG_ITEM_TYPE_ENUMERATOR(kind, id, Name, Base, nameTextId) Name = id,
enum Id : int { MELO_TAG_ITEM_CATALOGUE(MELO_TAG_ITEM_TYPE_ENUMERATOR) };
#undef MELO_TAG_ITEM_TYPE_ENUMERATOR
constexpr int Count = 126;
} // namespace TagItemType

namespace TagItemDataType {
enum Id : int { Boolean = 0, DateTime = 1, FloatingPoint = 2, Integer = 3, Image = 4, String = 5, Other = 6 };
}

namespace TagItemCategory {
enum Id : int {
    General = 0,
    Details = 1,
    Artwork = 2,
    Lyrics = 3,
    Classical = 4,
    People = 5,
    SortNames = 6,
    WebLinks = 7,
    Podcast = 8,
    Identifiers = 9,
    Playback = 10,
    Miscellaneous = 11,
    Encoding = 12,
    Original = 13,
    RadioStation = 14,
    Legal = 15,
    File = 16,
    Other = 17,
    None = 18
};
}

// One value of one item type. Items are owned by their QObject parent (usually the
// AudioTag that holds them); they have no meta-object and no data of their own.
class TagItem : public QObject
{
public:
    explicit TagItem(QObject *parent = nullptr);

    // A new item of the same class with the value and every extra field, owned by parent.
    virtual TagItem *clone(QObject *parent = nullptr) const = 0;
    // Same item type and same value.
    virtual bool equals(const TagItem *other) const = 0;
    virtual bool isEmpty() const;
    // other holds this value in a longer or more precise form.
    virtual bool isSimilar(const TagItem *other) const;
    virtual bool isTextual() const;
    // The empty format gives the display text, "[data]" the storage text.
    virtual QString toString(const QString &format = QString()) const;
    virtual bool isPlainValue() const;
    virtual QVariant toVariant() const;
    virtual bool fromVariant(const QVariant &value);
    virtual int type() const = 0;
    virtual int dataType() const;

    // The process-wide table from item type id to prototype; every item type is
    // registered before the first answer. Read-only afterwards, read without a lock.
    static const QHash<int, TagItem *> &registry();
    // Registers the prototype of T unless T's id is registered already.
    template<class T>
    static void registerType()
    {
        static T prototype;
        insertPrototype(&prototype);
    }

    static TagItem *create(int type, QObject *parent = nullptr);
    static int dataTypeOf(int type);
    static bool isTextualType(int type);
    static bool isPlainValueType(int type);
    static QList<int> typesOfDataType(int dataType);
    static QList<int> typesOfCategory(int category);
    static int categoryOf(int type);
    static QString typeName(int type);
    // The item type's own name ("Title", "TrackNumber"), the same in every language, for
    // tools and files that name item types; empty for an unknown id.
    static QString typeKey(int type);
    // The id whose typeKey equals the text in any case; -1 when none does.
    static int typeByKey(const QString &key);
    static QString categoryName(int category);
    static bool listsEqual(const QList<TagItem *> &a, const QList<TagItem *> &b);

private:
    static void insertPrototype(TagItem *prototype);
    static const TagItem *prototype(int type);
};

// Registers the prototypes of all item types; the registry runs it once on first use.
// Calling it again changes nothing.
void registerTagItemTypes();
