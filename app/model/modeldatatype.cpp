#include "app/model/modeldatatype.h"

#include "libcore/text/texttable.h"
#include "libcore/util/variants.h"

namespace {

bool equalModelDataTypes(const void *a, const void *b)
{
    return *static_cast<const ModelDataType *>(a) == *static_cast<const ModelDataType *>(b);
}

[[maybe_unused]] const bool modelDataTypeRegistered = [] {
    registerVariantComparator(qRegisterMetaType<ModelDataType>("ModelDataType"), equalModelDataTypes);
    return true;
}();

constexpr quint32 FilePropertyTextIds[FileProperty::Count] = {
    FilePathTextId,        FileNameTextId,         FileNameWithoutSuffixTextId, FileSuffixTextId,
    FolderPathTextId,      FolderNameTextId,       ParentFolderPathTextId,      ParentFolderNameTextId,
    FileSizeTextId,        FileDateCreatedTextId,  FileDateModifiedTextId,
};

constexpr quint32 AudioPropertyTextIds[AudioProperty::Count] = {
    AudioChannelsTextId,   AudioBitrateTextId,      AudioBitrateTypeTextId, AudioSampleRateTextId,
    AudioSampleSizeTextId, PlayDurationTextId,      AudioSizeTextId,        AudioMetaDataSizeTextId,
    AudioContainerTextId,  AudioCodecTextId,        AudioCodecFullNameTextId, AudioIsLossyTextId,
};

// textForId gives a null text for a missing id; callers here promise an empty one.
QString catalogueText(quint32 id)
{
    const QString text = textForId(id);
    return text.isNull() ? QStringLiteral("") : text;
}

void appendCategory(QList<ModelDataType> &list, int category, int count)
{
    for (int id = 0; id < count; ++id)
        list.append(ModelDataType(category, id));
}

} // namespace

QString filePropertyDisplayName(int id)
{
    if (id < 0 || id >= FileProperty::Count)
        return QStringLiteral("");
    return catalogueText(FilePropertyTextIds[id]);
}

QString audioPropertyDisplayName(int id)
{
    if (id < 0 || id >= AudioProperty::Count)
        return QStringLiteral("");
    return catalogueText(AudioPropertyTextIds[id]);
}

QString dataTypeDisplayName(const ModelDataType &type)
{
    switch (type.category) {
    case ModelDataType::CategoryTagItem: {
        const QString name = TagItem::typeName(type.id);
        return name.isNull() ? QStringLiteral("") : name;
    }
    case ModelDataType::CategoryFileProperty:
        return filePropertyDisplayName(type.id);
    case ModelDataType::CategoryAudioProperty:
        return audioPropertyDisplayName(type.id);
    default:
        return QStringLiteral("");
    }
}

QList<ModelDataType> dataTypesOfCategories(const QList<ModelDataType::Category> &categories)
{
    QList<ModelDataType> result;
    if (categories.contains(ModelDataType::CategoryTagItem))
        appendCategory(result, ModelDataType::CategoryTagItem, TagItemType::Count);
    if (categories.contains(ModelDataType::CategoryFileProperty))
        appendCategory(result, ModelDataType::CategoryFileProperty, FileProperty::Count);
    if (categories.contains(ModelDataType::CategoryAudioProperty))
        appendCategory(result, ModelDataType::CategoryAudioProperty, AudioProperty::Count);
    return result;
}

QList<ModelDataType> allDataTypes()
{
    return dataTypesOfCategories({ModelDataType::CategoryTagItem, ModelDataType::CategoryFileProperty,
                                  ModelDataType::CategoryAudioProperty});
}

QList<ModelDataType> dataTypesOfItemCategories(const QList<int> &itemCategories)
{
    QList<ModelDataType> result;
    for (int category = 0; category <= TagItemCategory::None; ++category) {
        if (!itemCategories.contains(category))
            continue;
        for (int itemType : TagItem::typesOfCategory(category))
            result.append(ModelDataType(ModelDataType::CategoryTagItem, itemType));
    }
    return result;
}
