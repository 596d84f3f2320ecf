#include "tools/tagtool/tagedit.h"

#include "libcore/image/codedimage.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"

namespace {
const quint32 UnknownOption = 3879518214u;
const quint32 MissingArgument = 2648380825u;
const quint32 NotAnAssignment = 694970146u;
const quint32 UnknownItemType = 2309981304u;
const quint32 UnsuitableValue = 257538827u;
const quint32 NotAPicture = 1014136918u;

int itemTypeOf(const QString &key)
{
    const int type = TagItem::typeByKey(key);
    if (type < 0)
        throw Exception(UnknownItemType, {key}, false);
    return type;
}
} // namespace

QList<TagEdit> TagEdit::parse(const QStringList &arguments)
{
    QList<TagEdit> edits;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        TagEdit edit;
        if (option == u"--set")
            edit.kind = Set;
        else if (option == u"--add")
            edit.kind = Add;
        else if (option == u"--clear")
            edit.kind = Clear;
        else if (option == u"--picture")
            edit.kind = Picture;
        else
            throw Exception(UnknownOption, {option}, false);
        if (++i >= arguments.size())
            throw Exception(MissingArgument, {option}, false);
        const QString &argument = arguments.at(i);

        if (edit.kind == Set || edit.kind == Add) {
            const qsizetype equals = argument.indexOf(u'=');
            if (equals <= 0)
                throw Exception(NotAnAssignment, {argument}, false);
            edit.itemType = itemTypeOf(argument.left(equals));
            edit.value = argument.mid(equals + 1);
        } else if (edit.kind == Clear) {
            edit.itemType = itemTypeOf(argument);
        } else {
            edit.itemType = ArtworkTagItem::Type;
            edit.picture = readFile(argument);
            if (CodedImage(edit.picture).formatCode().isEmpty())
                throw Exception(NotAPicture, {argument}, false);
        }
        edits.append(edit);
    }
    return edits;
}

void TagEdit::applyAll(const QList<TagEdit> &edits, AudioTag *tag)
{
    for (const TagEdit &edit : edits) {
        bool applied = true;
        switch (edit.kind) {
        case Set:
            applied = tag->setItemValues(edit.itemType, {edit.value}, false);
            break;
        case Add:
            applied = tag->addItemValue(edit.itemType, edit.value);
            break;
        case Clear:
            tag->removeItems(edit.itemType);
            break;
        case Picture:
            // The picture becomes the file's only one, as its front cover.
            tag->removeItems(ArtworkTagItem::Type);
            tag->addItem(new ArtworkTagItem(CodedImage(edit.picture), ArtworkTagItem::FrontCover, QString()));
            break;
        }
        if (!applied)
            throw Exception(UnsuitableValue, {TagItem::typeKey(edit.itemType), edit.value}, false);
    }
}

void TagEdit::save(const QString &path, const QList<TagEdit> &edits)
{
    AudioFile file(path);
    file.taggingSettings = TaggingSettings::defaults();
    file.readTags(0);
    applyAll(edits, file.tag(0));
    file.writeTags(0);
}
