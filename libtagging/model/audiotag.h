#pragma once

#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"

#include <QMap>
#include <QSet>
#include <QVarLengthArray>
#include <QStringList>
#include <QVariantList>

class ArtworkTagItem;

// One tag of one audio file: its items in order and the record of where it was stored.
// Several items of one type may exist; they are addressed by type and by position among
// the items of that type. The tag owns its items and its record.
class AudioTag : public QObject
{
public:
    explicit AudioTag(QObject *parent = nullptr);

    const QList<TagItem *> &itemList() const { return m_items; }
    // The type of each item of itemList(), at the same positions.
    const QVarLengthArray<int, 12> &itemTypes() const { return m_types; }
    TagInfo *tagInfo() const { return m_info; }
    void setTagInfo(TagInfo *info);
    int tagType() const;
    static QString tagTypeName(int tagType);
    // The tag type's own name ("Id3v2", "VorbisComment"), the same in every language;
    // empty outside the tag types.
    static QString tagTypeKey(int tagType);
    // The tag type whose tagTypeKey equals the text in any case; -1 when none does.
    static int tagTypeByKey(const QString &key);

    // Reading
    int itemCount(int type) const;
    bool contains(int type) const;
    TagItem *item(int type, int n = 0) const;
    QList<TagItem *> items(int type) const;
    QString itemText(int type, int n = 0, const QString &format = QString()) const;
    QStringList itemTexts(int type, const QString &format = QString()) const;
    QVariant itemValue(int type, int n = 0) const;
    QVariantList itemValues(int type) const;
    QMap<int, QList<TagItem *>> itemsByType() const;
    QList<ArtworkTagItem *> artworkOfPictureType(int pictureType) const;
    QList<int> pictureTypes() const;
    // "number/count" texts of the items of typeA paired with those of typeB, by position
    // where the count is not below the number; every count goes with a number it is not below.
    QStringList numberPairTexts(int typeA, int typeB) const;
    // The artists after the joint artist text, or every artist when none names the others.
    QList<TagItem *> additionalArtists() const;
    static QSet<int> differingItemTypes(const AudioTag *a, const AudioTag *b);

    // Editing: items passed in are taken over, items dropped are destroyed.
    void addItem(TagItem *item);
    int insertItem(TagItem *item, int n);
    int replaceItem(TagItem *item, int n);
    void setItems(int type, const QList<TagItem *> &items);
    bool removeItem(int type, int n);
    bool removeItem(TagItem *item);
    void removeItems(int type);
    void clear();
    void takeAllItems(AudioTag *other);
    void addItemCopies(const AudioTag *other);
    void addItemCopies(const AudioTag *other, int type);
    AudioTag *clone(QObject *parent = nullptr) const;

    // Clean-up and ordering
    void normalizeItems();
    void removeEmptyItems();
    void removeDuplicates();
    void removeSimilarItems();
    void reorderArtists();
    // Puts first the item whose text contains the texts of all others, then the others
    // in the order in which they occur in it; false when no item does.
    static bool sortArtistItems(QList<TagItem *> &list);

    // The combined tag of a stream's tags: every item of every tag, the copy from the
    // earlier source kept where copies are equal, shortened forms dropped.
    static AudioTag *merge(const QList<AudioTag *> &tags, QObject *parent = nullptr);

    // Value setters
    bool setItemValues(int type, const QVariantList &values, bool skipUnconvertible);
    int setItemValue(int type, const QVariant &value, int n = 0);
    int insertItemValue(int type, const QVariant &value, int n);
    bool addItemValue(int type, const QVariant &value);
    // Reads "number/count" (or "number\count", or a number alone) into items of the two types.
    void addNumberPair(const QString &text, int numberType, int countType);
    void convertItems(int toType, int fromType);

private:
    qsizetype indexOf(int type, int n) const;
    void adopt(TagItem *item);
    void destroyAt(qsizetype index);
    // Rebuilds m_types after the item list was changed as a whole.
    void syncTypes();

    QList<TagItem *> m_items;
    // The type of each item, at the same positions: looking items up by type reads this
    // array instead of asking every item object, which over a loaded library is a cache miss
    // per item.
    QVarLengthArray<int, 12> m_types;
    TagInfo *m_info = nullptr;
};
