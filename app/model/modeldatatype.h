#pragma once

#include <QHashFunctions>
#include <QList>
#include <QMetaType>
#include <QString>

#include "libtagging/model/tagitem.h"

// File properties read from the file system. The enumerator names are also the properties'
// names in tag scripts.
namespace FileProperty {
enum Id : int {
    filePath = 0,
    fileName = 1,
    fileNameWithoutSuffix = 2,
    fileSuffix = 3,
    folderPath = 4,
    folderName = 5,
    parentFolderPath = 6,
    parentFolderName = 7,
    fileSize = 8,
    fileDateCreated = 9,
    fileDateModified = 10,
};
constexpr int Count = 11;
} // namespace FileProperty

// Audio properties read from a stream's codec data.
namespace AudioProperty {
enum Id : int {
    audioChannels = 0,
    audioBitrate = 1,
    audioBitrateType = 2,
    audioSampleRate = 3,
    audioSampleSize = 4,
    playDuration = 5,
    audioSize = 6,
    audioMetaDataSize = 7,
    audioContainer = 8,
    audioCodec = 9,
    audioCodecFullName = 10,
    audioIsLossy = 11,
};
constexpr int Count = 12;
} // namespace AudioProperty

// The item data roles that cells answer besides the display role.
enum ModelDataRole : int {
    RawValueRole = Qt::UserRole,      // the value as held, unformatted
    SortValueRole = Qt::UserRole + 1, // the value that sorting compares
};

// How a raw value of a data type is rendered for display.
enum ValueFormat : int {
    PlainFormat = 0,
    ByteSizeFormat = 1,
    BitrateFormat = 2,
    DurationFormat = 3,
    SampleRateFormat = 4,
    RatingFormat = 5,
    ImageFormat = 6,
};

// One kind of value of an audio file: a tag item type, a file property or an audio
// property. Table columns, selections, search scopes and scripts all speak in these.
class ModelDataType
{
public:
    enum Category : int {
        CategoryTagItem = 0,
        CategoryFileProperty = 1,
        CategoryAudioProperty = 2,
        CategoryNone = 3,
    };

    constexpr ModelDataType() = default;
    constexpr ModelDataType(int category, int id) : category(category), id(id) {}
    constexpr explicit ModelDataType(TagItemType::Id itemType) : category(CategoryTagItem), id(itemType) {}
    constexpr explicit ModelDataType(FileProperty::Id property) : category(CategoryFileProperty), id(property) {}
    constexpr explicit ModelDataType(AudioProperty::Id property) : category(CategoryAudioProperty), id(property) {}

    constexpr bool isTagItem() const { return category == CategoryTagItem; }

    constexpr bool operator==(const ModelDataType &other) const
    {
        return category == other.category && id == other.id;
    }
    constexpr bool operator!=(const ModelDataType &other) const { return !(*this == other); }
    constexpr bool operator<(const ModelDataType &other) const
    {
        return category != other.category ? category < other.category : id < other.id;
    }

    int category = CategoryNone;
    int id = 0;
};

// The category in the top byte, the id's low 24 bits below it.
inline size_t qHash(const ModelDataType &type, size_t seed = 0) noexcept
{
    const quint32 key = (quint32(type.category) << 24) | (quint32(type.id) & 0xFFFFFFu);
    return qHash(key, seed);
}

Q_DECLARE_METATYPE(ModelDataType)

// Text ids of the data types' display names and of the units shown with them.
enum ModelDataTypeTextId : quint32 {
    FilePathTextId = 3234264300u,
    FileNameTextId = 882523064u,
    FileNameWithoutSuffixTextId = 1847329524u,
    FileSuffixTextId = 1744256840u,
    FolderPathTextId = 1057969923u,
    FolderNameTextId = 943654488u,
    ParentFolderPathTextId = 3977429998u,
    ParentFolderNameTextId = 1240606251u,
    FileSizeTextId = 3198764556u,
    FileDateCreatedTextId = 2756407922u,
    FileDateModifiedTextId = 2983504793u,
    AudioChannelsTextId = 1538620356u,
    AudioBitrateTextId = 3531257882u,
    AudioBitrateTypeTextId = 1079749535u,
    AudioSampleRateTextId = 1326346851u,
    AudioSampleSizeTextId = 3990922234u,
    PlayDurationTextId = 4146432914u,
    AudioSizeTextId = 741053932u,
    AudioMetaDataSizeTextId = 1549084047u,
    AudioContainerTextId = 2129053750u,
    AudioCodecTextId = 217894284u,
    AudioCodecFullNameTextId = 2550142903u,
    AudioIsLossyTextId = 1484488328u,
    HertzUnitTextId = 2310715844u,
};

// Display names as the text catalogue holds them (callers capitalise headings); empty for
// ids outside the tables and for the none category.
QString dataTypeDisplayName(const ModelDataType &type);
QString filePropertyDisplayName(int id);
QString audioPropertyDisplayName(int id);

// Every data type of the given categories: tag items, then file properties, then audio
// properties, each in ascending id order, whatever the order of the argument.
QList<ModelDataType> dataTypesOfCategories(const QList<ModelDataType::Category> &categories);
// The 149 data types of the three categories.
QList<ModelDataType> allDataTypes();
// The tag item types of the item categories, category by category in ascending order.
QList<ModelDataType> dataTypesOfItemCategories(const QList<int> &itemCategories);
