#include "libtagging/model/audiotag.h"

#include "libcore/text/texttable.h"
#include "libcore/util/scratchowner.h"
#include "libcore/util/threads.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/stringtagitem.h"

#include <QVarLengthArray>

#include <algorithm>
#include <bitset>
#include <memory>

namespace {

bool isBracedIdentifierType(int type)
{
    using namespace TagItemType;
    switch (type) {
    case AlbumArtistMbid:
    case AlbumMbid:
    case ArtistMbid:
    case OriginalAlbumMbid:
    case OriginalArtistMbid:
    case RecordingMbid:
    case ReleaseGroupMbid:
    case TrackMbid:
    case WorkMbid:
        return true;
    default:
        return false;
    }
}

// The clean-up passes below work on plain item lists, so that merging can run them on
// the source items it borrows and copy only what survives. They take items out of the
// list and hand them back; the caller decides whether they are destroyed.

// Every item's type once: type() is virtual and the passes compare pairs of items.
using TypeList = QVarLengthArray<int, 32>;

TypeList typesOf(const QList<TagItem *> &items)
{
    TypeList types;
    types.reserve(items.size());
    for (const TagItem *item : items)
        types.append(item->type());
    return types;
}

// Whether two items share a type; a tag rarely has them, and then neither pass below
// has a pair to compare.
bool anyTypeTwice(const TypeList &types)
{
    std::bitset<TagItemType::Count> seen;
    for (int type : types) {
        if (type < 0 || type >= TagItemType::Count || seen.test(size_t(type)))
            return true;
        seen.set(size_t(type));
    }
    return false;
}

// Equal items are always of one type, so pairs of two types are not compared.
QList<TagItem *> takeDuplicates(QList<TagItem *> &items)
{
    QList<TagItem *> taken;
    TypeList types = typesOf(items);
    if (!anyTypeTwice(types))
        return taken;
    for (qsizetype i = 0; i < items.size(); ++i) {
        for (qsizetype j = items.size() - 1; j > i; --j) {
            if (types[i] == types[j] && items.at(i)->equals(items.at(j))) {
                taken.append(items.takeAt(j));
                types.remove(j);
            }
        }
    }
    return taken;
}

// Likewise an item is only ever similar to one of its own type.
QList<TagItem *> takeSimilarItems(QList<TagItem *> &items)
{
    QList<TagItem *> taken;
    TypeList types = typesOf(items);
    if (!anyTypeTwice(types))
        return taken;
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        for (qsizetype j = items.size() - 1; j >= 0; --j) {
            if (j != i && types[i] == types[j] && items.at(i)->isSimilar(items.at(j))) {
                taken.append(items.takeAt(i));
                types.remove(i);
                break;
            }
        }
    }
    return taken;
}

// The artists in the order sortArtistItems gives, moved behind the other items.
void reorderArtistsIn(QList<TagItem *> &items)
{
    const auto isArtist = [](const TagItem *item) { return item->type() == TagItemType::Artist; };
    // Most tags name one artist or none: nothing to order, no list to build.
    if (std::count_if(items.cbegin(), items.cend(), isArtist) < 2)
        return;
    QList<TagItem *> artists;
    for (TagItem *item : std::as_const(items)) {
        if (item->type() == TagItemType::Artist)
            artists.append(item);
    }
    if (!AudioTag::sortArtistItems(artists))
        return;
    items.removeIf(isArtist);
    items.append(artists);
}

} // namespace

AudioTag::AudioTag(QObject *parent) : QObject(parent)
{
    // Nothing handles child events on a tag, and one would be sent synchronously for
    // every item created in it or added to it.
    muteChildEvents(this);
    // The items are the tag's children; room for a usual tag at once spares the child
    // list's step-by-step growth.
    d_ptr->children.reserve(16);
}

void AudioTag::setTagInfo(TagInfo *info)
{
    if (info == m_info)
        return;
    if (m_info)
        deleteObjectSafely(m_info);
    m_info = info;
    if (m_info)
        setParentAcrossThreads(m_info, this);
}

int AudioTag::tagType() const
{
    return m_info ? m_info->tagType() : int(TagType::Unknown);
}

QString AudioTag::tagTypeName(int tagType)
{
    static const quint32 ids[] = {2316308070u, 25020027u,   861397450u,  3777721077u, 4133444507u, 60257789u,
                                  643132406u,  575211953u,  4128099190u, 1610433498u, 2655632179u, 2068388943u};
    constexpr int count = int(sizeof(ids) / sizeof(ids[0]));
    return tagType >= 0 && tagType < count ? textForId(ids[tagType]) : QString();
}

QString AudioTag::tagTypeKey(int tagType)
{
    static const char *const keys[] = {"Combined",      "Unknown", "Id3v1", "Id3v2",    "Lyrics3", "Ape",
                                       "VorbisComment", "Asf",     "Mp4",   "RiffInfo", "Aiff",    "Matroska"};
    constexpr int count = int(sizeof(keys) / sizeof(keys[0]));
    return tagType >= 0 && tagType < count ? QString::fromLatin1(keys[tagType]) : QString();
}

int AudioTag::tagTypeByKey(const QString &key)
{
    for (int tagType = 0; !tagTypeKey(tagType).isEmpty(); ++tagType) {
        if (tagTypeKey(tagType).compare(key, Qt::CaseInsensitive) == 0)
            return tagType;
    }
    return -1;
}

// --- reading

qsizetype AudioTag::indexOf(int type, int n) const
{
    if (n < 0)
        return -1;
    Q_ASSERT(m_types.size() == m_items.size());
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] == type && n-- == 0)
            return i;
    }
    return -1;
}

int AudioTag::itemCount(int type) const
{
    return int(std::count(m_types.cbegin(), m_types.cend(), type));
}

bool AudioTag::contains(int type) const
{
    return indexOf(type, 0) >= 0;
}

TagItem *AudioTag::item(int type, int n) const
{
    const qsizetype i = indexOf(type, n);
    return i >= 0 ? m_items.at(i) : nullptr;
}

QList<TagItem *> AudioTag::items(int type) const
{
    QList<TagItem *> result;
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] == type)
            result.append(m_items.at(i));
    }
    return result;
}

QString AudioTag::itemText(int type, int n, const QString &format) const
{
    const TagItem *found = item(type, n);
    return found ? found->toString(format) : QString();
}

QStringList AudioTag::itemTexts(int type, const QString &format) const
{
    QStringList result;
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] == type)
            result.append(m_items.at(i)->toString(format));
    }
    return result;
}

QVariant AudioTag::itemValue(int type, int n) const
{
    const TagItem *found = item(type, n);
    return found ? found->toVariant() : QVariant();
}

QVariantList AudioTag::itemValues(int type) const
{
    QVariantList result;
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] == type)
            result.append(m_items.at(i)->toVariant());
    }
    return result;
}

QMap<int, QList<TagItem *>> AudioTag::itemsByType() const
{
    QMap<int, QList<TagItem *>> result;
    for (qsizetype i = 0; i < m_types.size(); ++i)
        result[m_types[i]].append(m_items.at(i));
    return result;
}

QList<ArtworkTagItem *> AudioTag::artworkOfPictureType(int pictureType) const
{
    QList<ArtworkTagItem *> result;
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] != TagItemType::Artwork)
            continue;
        auto *artwork = static_cast<ArtworkTagItem *>(m_items.at(i));
        if (artwork->pictureType == pictureType)
            result.append(artwork);
    }
    return result;
}

QList<int> AudioTag::pictureTypes() const
{
    QList<int> result;
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        if (m_types[i] != TagItemType::Artwork)
            continue;
        const int pictureType = static_cast<const ArtworkTagItem *>(m_items.at(i))->pictureType;
        if (!result.contains(pictureType))
            result.append(pictureType);
    }
    return result;
}

QStringList AudioTag::numberPairTexts(int typeA, int typeB) const
{
    const QList<TagItem *> a = items(typeA);
    const QList<TagItem *> b = items(typeB);
    auto number = [](const TagItem *item) { return item->toVariant().toInt(); };
    // A pair reads back as the smaller number of the larger count: a count goes only with a
    // number it is not below. By position first, then with a number that has no count yet.
    QList<qsizetype> countOf(a.size(), -1);
    QList<bool> placed(b.size(), false);
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (number(a.at(i)) <= number(b.at(i))) {
            countOf[i] = i;
            placed[i] = true;
        }
    }
    for (qsizetype j = 0; j < b.size(); ++j) {
        for (qsizetype i = 0; i < a.size() && !placed[j]; ++i) {
            if (countOf[i] < 0 && number(a.at(i)) <= number(b.at(j))) {
                countOf[i] = j;
                placed[j] = true;
            }
        }
    }
    QStringList result;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (countOf[i] >= 0)
            result.append(QStringLiteral("%1/%2").arg(a.at(i)->toString(), b.at(countOf[i])->toString()));
        else
            result.append(a.at(i)->toString());
    }
    // A count left over (two counts read beside one number whose equal copy went) is written
    // again with the last number it is not below, rather than dropped.
    for (qsizetype j = 0; j < b.size(); ++j) {
        for (qsizetype i = a.size() - 1; i >= 0 && !placed[j]; --i) {
            if (number(a.at(i)) <= number(b.at(j))) {
                result.append(QStringLiteral("%1/%2").arg(a.at(i)->toString(), b.at(j)->toString()));
                placed[j] = true;
            }
        }
    }
    return result;
}

QList<TagItem *> AudioTag::additionalArtists() const
{
    QList<TagItem *> artists = items(TagItemType::Artist);
    if (sortArtistItems(artists))
        artists.removeFirst();
    return artists;
}

QSet<int> AudioTag::differingItemTypes(const AudioTag *a, const AudioTag *b)
{
    // Both tags' items grouped by type, each group in the tag's order, and the groups walked
    // side by side: no map per call, and type() is asked once per item.
    using Entry = std::pair<int, const TagItem *>;
    using Entries = QVarLengthArray<Entry, 32>;
    const auto grouped = [](const AudioTag *tag) {
        Entries entries;
        if (!tag)
            return entries;
        entries.reserve(tag->m_items.size());
        for (qsizetype i = 0; i < tag->m_items.size(); ++i)
            entries.append({tag->m_types[i], tag->m_items.at(i)});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry &x, const Entry &y) { return x.first < y.first; });
        return entries;
    };
    const Entries groupsA = grouped(a);
    const Entries groupsB = grouped(b);
    const auto groupEnd = [](const Entries &entries, qsizetype from, int type) {
        while (from < entries.size() && entries.at(from).first == type)
            ++from;
        return from;
    };
    QSet<int> result;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < groupsA.size() || j < groupsB.size()) {
        int type;
        if (i == groupsA.size())
            type = groupsB.at(j).first;
        else if (j == groupsB.size())
            type = groupsA.at(i).first;
        else
            type = std::min(groupsA.at(i).first, groupsB.at(j).first);
        const qsizetype endA = groupEnd(groupsA, i, type);
        const qsizetype endB = groupEnd(groupsB, j, type);
        bool equal = endA - i == endB - j;
        for (qsizetype k = 0; equal && k < endA - i; ++k)
            equal = groupsA.at(i + k).second->equals(groupsB.at(j + k).second);
        if (!equal)
            result.insert(type);
        i = endA;
        j = endB;
    }
    return result;
}

// --- editing

void AudioTag::adopt(TagItem *item)
{
    // An item is in one place of one list only; taking it again moves it.
    const qsizetype at = m_items.indexOf(item);
    if (at >= 0) {
        m_items.removeAt(at);
        m_types.remove(at);
    }
    setParentAcrossThreads(item, this);
}

void AudioTag::destroyAt(qsizetype index)
{
    TagItem *item = m_items.takeAt(index);
    m_types.remove(index);
    deleteObjectSafely(item);
}

void AudioTag::addItem(TagItem *item)
{
    adopt(item);
    // Readers add items one at a time; room for a usual tag at once spares the list's
    // step-by-step growth.
    if (m_items.capacity() == 0)
        m_items.reserve(16);
    m_items.append(item);
    m_types.append(item->type());
}

int AudioTag::insertItem(TagItem *item, int n)
{
    const int type = item->type();
    adopt(item);
    const qsizetype i = indexOf(type, n);
    if (i < 0) {
        const int count = itemCount(type);
        m_items.append(item);
        m_types.append(type);
        return count;
    }
    m_items.insert(i, item);
    m_types.insert(i, type);
    return n;
}

int AudioTag::replaceItem(TagItem *item, int n)
{
    const int type = item->type();
    qsizetype i = indexOf(type, n);
    if (i >= 0 && m_items.at(i) == item)
        return n;
    adopt(item);
    i = indexOf(type, n);
    if (i < 0) {
        const int count = itemCount(type);
        m_items.append(item);
        m_types.append(type);
        return count;
    }
    TagItem *old = m_items.at(i);
    m_items[i] = item; // of the same type
    deleteObjectSafely(old);
    return n;
}

void AudioTag::setItems(int type, const QList<TagItem *> &items)
{
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (m_types[i] != type)
            continue;
        TagItem *present = m_items.takeAt(i);
        m_types.remove(i);
        if (!items.contains(present))
            deleteObjectSafely(present);
    }
    for (TagItem *item : items)
        addItem(item);
}

bool AudioTag::removeItem(int type, int n)
{
    const qsizetype i = indexOf(type, n);
    if (i < 0)
        return false;
    destroyAt(i);
    return true;
}

bool AudioTag::removeItem(TagItem *item)
{
    const qsizetype i = m_items.indexOf(item);
    if (i < 0)
        return false;
    destroyAt(i);
    return true;
}

void AudioTag::removeItems(int type)
{
    for (qsizetype i = m_types.size() - 1; i >= 0; --i) {
        if (m_types[i] == type)
            destroyAt(i);
    }
}

void AudioTag::clear()
{
    while (!m_items.isEmpty())
        destroyAt(m_items.size() - 1);
}

void AudioTag::takeAllItems(AudioTag *other)
{
    if (!other || other == this)
        return;
    const QList<TagItem *> taken = other->m_items;
    other->m_items.clear();
    other->m_types.clear();
    for (TagItem *item : taken)
        addItem(item);
}

void AudioTag::addItemCopies(const AudioTag *other)
{
    if (!other)
        return;
    // Copied first: other may be this tag.
    const QList<TagItem *> source = other->m_items;
    const QVarLengthArray<int, 12> types = other->m_types;
    m_items.reserve(m_items.size() + source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        m_items.append(source.at(i)->clone(this));
        m_types.append(types[i]);
    }
}

void AudioTag::addItemCopies(const AudioTag *other, int type)
{
    if (!other)
        return;
    const QList<TagItem *> source = other->items(type);
    for (const TagItem *item : source) {
        m_items.append(item->clone(this));
        m_types.append(type);
    }
}

AudioTag *AudioTag::clone(QObject *parent) const
{
    auto *tag = new AudioTag(parent);
    if (m_info)
        tag->m_info = m_info->clone(tag);
    tag->addItemCopies(this);
    return tag;
}

// --- clean-up and ordering

void AudioTag::normalizeItems()
{
    for (TagItem *item : std::as_const(m_items)) {
        if (item->dataType() != TagItemDataType::String)
            continue;
        auto *text = dynamic_cast<StringTagItem *>(item);
        if (!text)
            continue;
        QString value = text->value.trimmed();
        if (isBracedIdentifierType(item->type())) {
            if (value.startsWith(QLatin1Char('{')))
                value.remove(0, 1);
            if (value.endsWith(QLatin1Char('}')))
                value.chop(1);
        }
        text->value = value;
    }
}

void AudioTag::removeEmptyItems()
{
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (m_items.at(i)->isEmpty())
            destroyAt(i);
    }
}

void AudioTag::removeDuplicates()
{
    const QList<TagItem *> taken = takeDuplicates(m_items);
    syncTypes();
    for (TagItem *item : taken)
        deleteObjectSafely(item);
}

void AudioTag::removeSimilarItems()
{
    const QList<TagItem *> taken = takeSimilarItems(m_items);
    syncTypes();
    for (TagItem *item : taken)
        deleteObjectSafely(item);
}

void AudioTag::reorderArtists()
{
    // The same items in another order: nothing is adopted or destroyed.
    reorderArtistsIn(m_items);
    syncTypes();
}

void AudioTag::syncTypes()
{
    m_types.resize(m_items.size());
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_types[i] = m_items.at(i)->type();
}

bool AudioTag::sortArtistItems(QList<TagItem *> &list)
{
    if (list.size() < 2)
        return false;
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QString joint = list.at(k)->toString();
        struct Found
        {
            qsizetype position;
            qsizetype index;
        };
        QList<Found> found;
        bool all = true;
        for (qsizetype i = 0; i < list.size() && all; ++i) {
            if (i == k)
                continue;
            const qsizetype p = joint.indexOf(list.at(i)->toString().trimmed());
            if (p < 0)
                all = false;
            else
                found.append({p, i});
        }
        if (!all)
            continue;
        std::stable_sort(found.begin(), found.end(),
                         [](const Found &a, const Found &b) { return a.position < b.position; });
        QList<TagItem *> sorted {list.at(k)};
        for (const Found &f : std::as_const(found))
            sorted.append(list.at(f.index));
        list = sorted;
        return true;
    }
    return false;
}

// --- merge

AudioTag *AudioTag::merge(const QList<AudioTag *> &tags, QObject *parent)
{
    std::unique_ptr<AudioTag> result(new AudioTag);
    auto *info = new TagInfo(result.get());
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Combined));
    result->m_info = info;

    struct Source
    {
        AudioTag *tag;
        int tagType;
    };
    QVarLengthArray<Source, 8> pending;
    for (AudioTag *tag : tags) {
        if (tag)
            pending.append({tag, tag->tagType()});
    }
    // The source that wins where copies of a value are equal comes first: the first tag
    // of each of these types in this order, then the others in list order.
    QVarLengthArray<AudioTag *, 8> ordered;
    for (int tagType : {TagType::VorbisComment, TagType::Id3v2, TagType::Ape, TagType::Lyrics3, TagType::Id3v1}) {
        const auto it = std::find_if(pending.begin(), pending.end(),
                                     [tagType](const Source &s) { return s.tagType == tagType; });
        if (it != pending.end()) {
            ordered.append(it->tag);
            pending.erase(it);
        }
    }
    for (const Source &rest : pending)
        ordered.append(rest.tag);

    // The sources' own items in that order; only those that survive the clean-up are
    // copied.
    QList<TagItem *> picked;
    qsizetype total = 0;
    for (const AudioTag *tag : ordered)
        total += tag->m_items.size();
    picked.reserve(total);
    int size = 0;
    bool sized = false;
    for (const AudioTag *tag : ordered) {
        if (tag->m_items.isEmpty())
            continue;
        picked.append(tag->m_items);
        if (tag->m_info) {
            const auto found = tag->m_info->values.constFind(TagInfo::SizeKey);
            if (found != tag->m_info->values.cend()) {
                size = sized ? size + found->toInt() : found->toInt();
                sized = true;
            }
        }
    }
    if (sized)
        info->values.insert(TagInfo::SizeKey, size);

    takeDuplicates(picked);
    takeSimilarItems(picked);
    reorderArtistsIn(picked);
    result->m_items.reserve(picked.size());
    for (const TagItem *item : std::as_const(picked))
        result->m_items.append(item->clone(result.get()));
    result->syncTypes();
    if (parent)
        setParentAcrossThreads(result.get(), parent);
    return result.release();
}

// --- value setters

bool AudioTag::setItemValues(int type, const QVariantList &values, bool skipUnconvertible)
{
    ScratchOwner owner;
    QList<TagItem *> made;
    bool all = true;
    for (const QVariant &value : values) {
        TagItem *item = TagItem::create(type, &owner);
        if (item && item->fromVariant(value)) {
            made.append(item);
            continue;
        }
        all = false;
        if (!skipUnconvertible)
            return false; // the items made so far go with the owner
        delete item;
    }
    setItems(type, made);
    return all;
}

int AudioTag::setItemValue(int type, const QVariant &value, int n)
{
    TagItem *item = TagItem::create(type);
    if (!item)
        return -1;
    if (!item->fromVariant(value)) {
        delete item;
        return -1;
    }
    return replaceItem(item, n);
}

int AudioTag::insertItemValue(int type, const QVariant &value, int n)
{
    TagItem *item = TagItem::create(type);
    if (!item)
        return -1;
    if (!item->fromVariant(value)) {
        delete item;
        return -1;
    }
    return insertItem(item, n);
}

bool AudioTag::addItemValue(int type, const QVariant &value)
{
    TagItem *item = TagItem::create(type);
    if (!item)
        return false;
    if (!item->fromVariant(value)) {
        delete item;
        return false;
    }
    addItem(item);
    return true;
}

void AudioTag::addNumberPair(const QString &text, int numberType, int countType)
{
    qsizetype separator = text.indexOf(QLatin1Char('/'));
    if (separator < 0)
        separator = text.indexOf(QLatin1Char('\\'));
    if (separator < 0) {
        bool ok = false;
        const int number = text.toInt(&ok, 10);
        if (ok)
            addItemValue(numberType, number);
        return;
    }
    bool firstRead = false;
    bool secondRead = false;
    const QStringView view(text);
    const int first = view.left(separator).trimmed().toInt(&firstRead, 10);
    const int second = view.mid(separator + 1).trimmed().toInt(&secondRead, 10);
    // A count of 0 says there is no count ("5/0" is track 5), not that this is track 0 of 5;
    // nor is a count below 0 ("3/-2" is track 3).
    if (secondRead && second <= 0)
        secondRead = false;
    if (firstRead && secondRead) {
        addItemValue(numberType, qMin(first, second));
        addItemValue(countType, qMax(first, second));
    } else if (firstRead) {
        addItemValue(numberType, first);
    } else if (secondRead) {
        addItemValue(numberType, second);
    }
}

void AudioTag::convertItems(int toType, int fromType)
{
    if (!TagItem::registry().contains(toType))
        return;
    QList<TagItem *> made;
    for (const TagItem *old : items(fromType)) {
        TagItem *item = TagItem::create(toType);
        // An unconvertible value leaves the new item at its type's default.
        item->fromVariant(old->toVariant());
        made.append(item);
    }
    if (!made.isEmpty())
        setItems(toType, made);
}
