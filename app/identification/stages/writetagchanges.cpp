#include "app/identification/stages/writetagchanges.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/updateset.h"
#include "app/model/modeldatatype.h"
#include "app/operations/modelupdateoperation.h"
#include "app/tagscript/capitalization.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/stringtagitem.h"

namespace {
const QString StyleKey = QStringLiteral("identification/capitalization/style");
const QString UpdateSetKey = QStringLiteral("identification/capitalization/updateSet");

// Unreadable text reads as 0, the style of a missing setting.
int styleSetting()
{
    return SettingsStore::value(StyleKey).trimmed().toInt(nullptr, 10);
}

// The item with the text as its value and everything else of the old one (a comment's
// description and language, a user-defined text's name); null when the item cannot take it.
TagItem *withText(const TagItem *item, const QString &text)
{
    TagItem *copy = item->clone();
    if (copy->fromVariant(text) && copy->toString(QStringLiteral("[data]")) == text)
        return copy;
    delete copy;
    return nullptr;
}
} // namespace

bool keepsLetterCase(int itemType)
{
    switch (TagItem::categoryOf(itemType)) {
    case TagItemCategory::Identifiers:
    case TagItemCategory::WebLinks:
    // The unknown fields of a format: nothing tells what they hold.
    case TagItemCategory::None:
        return true;
    default:
        break;
    }
    switch (itemType) {
    case TagItemType::PodcastUrl:
    case TagItemType::PodcastGuid:
    case TagItemType::RadioStationWebsiteUrl:
    // Codes of a table and the notation of a musical key.
    case TagItemType::Language:
    case TagItemType::ReleaseCountry:
    case TagItemType::Script:
    case TagItemType::InitialKey:
        return true;
    default:
        return false;
    }
}

QList<int> capitalizedItemTypes(const UpdateSet &set)
{
    const QList<ModelDataType> dataTypes = set.id == UpdateSet::DefaultSetId
                                               ? dataTypesOfCategories({ModelDataType::CategoryTagItem})
                                               : set.dataTypes.keys();
    QList<int> types;
    for (const ModelDataType &dataType : dataTypes) {
        if (dataType.isTagItem() && TagItem::isTextualType(dataType.id)
            && TagItem::dataTypeOf(dataType.id) == TagItemDataType::String && !keepsLetterCase(dataType.id))
            types.append(dataType.id);
    }
    return types;
}

void writeTagChanges(const QList<IdAudioFileGroup *> &groups, ModelUpdateOperation *operation)
{
    int style = styleSetting();
    if (style == Unchanged)
        return;
    // A style the capitalisation does not know would empty every text: the default style
    // stands in for it.
    if (style < TitleCase || style > UpperCase)
        style = TitleCase;
    const QList<int> types = capitalizedItemTypes(UpdateSet::fromSetting(UpdateSetKey));
    if (types.isEmpty())
        return;

    for (const IdAudioFileGroup *group : groups) {
        for (const IdAudioFile *file : group->selectedFiles) {
            AudioTag *tag = operation->workingTag(file->audioFile());
            if (!tag)
                continue;
            for (int type : types) {
                const int count = tag->itemCount(type);
                for (int i = 0; i < count; ++i) {
                    const TagItem *item = tag->item(type, i);
                    // Only plain texts: other textual items (numbers, dates, credits, timed
                    // lyrics) would not come back whole from a re-cased text.
                    if (!item || !dynamic_cast<const StringTagItem *>(item))
                        continue;
                    const QString text = item->toString(QStringLiteral("[data]"));
                    if (text.isEmpty())
                        continue;
                    const QString cased = applyCapitalization(text, style, AllowLowerCase | AllowUpperCase);
                    if (cased.isNull() || cased == text)
                        continue;
                    // An item that refuses the text keeps its value.
                    if (TagItem *replacement = withText(item, cased))
                        tag->replaceItem(replacement, i);
                }
            }
        }
    }
}
