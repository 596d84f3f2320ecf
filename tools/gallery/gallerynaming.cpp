// The naming dialogs and their parts: pattern editors, completion popups, data type pickers,
// the file-system preview, the rename and the copy-and-move dialogs over a few files.

#include <QLocale>
#include <QTreeWidget>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/copymovedialog.h"
#include "app/dialogs/filepatterneditorwidget.h"
#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/folderpatterneditorwidget.h"
#include "app/dialogs/modeldatatypelistwidget.h"
#include "app/dialogs/modeldatatypetreeview.h"
#include "app/dialogs/regexppopup.h"
#include "app/dialogs/renamedialog.h"
#include "app/dialogs/tagscriptpopup.h"
#include "app/model/datatypemodel.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "tools/gallery/gallerypages.h"

namespace {

AudioFile *sampleFile(const QString &path, const QString &artist, const QString &album, const QString &title, int track)
{
    auto *file = new AudioFile(path);
    auto *tag = new AudioTag;
    tag->addItemValue(TagItemType::Artist, artist);
    tag->addItemValue(TagItemType::AlbumArtist, artist);
    tag->addItemValue(TagItemType::Album, album);
    tag->addItemValue(TagItemType::Title, title);
    tag->addItemValue(TagItemType::TrackNumber, track);
    file->setTag(tag, 0);
    return file;
}

NamingPattern pattern(bool simple, const QList<QStringList> &levels)
{
    NamingPattern result;
    result.isSimple = simple;
    result.levels = levels;
    return result;
}

} // namespace

void renderNaming(Gallery &gallery)
{
    if (!mountApplicationPackages(gallery, QStringLiteral("naming pictures")))
        return;

    auto *file = new FilePatternEditorWidget;
    file->setPattern(pattern(true, {{"%trackNumber%", " - ", "%title%"}}));
    gallery.save(QStringLiteral("naming-file-pattern-simple"), file);

    auto *folder = new FolderPatternEditorWidget(true);
    folder->setRootPath(QStringLiteral("/home/user/Music"));
    folder->setPattern(pattern(true, {{"%albumArtist%"}, {"%year%", " - ", "%album%"}}));
    gallery.save(QStringLiteral("naming-folder-pattern-simple"), folder);

    auto *advanced = new FolderPatternEditorWidget(false);
    advanced->setRootPath(QStringLiteral("/home/user/Music"));
    advanced->setPattern(pattern(false, {{"$upper($left(%albumArtist%,1))"}, {"%albumArtist%"}, {"%album%"}}));
    gallery.save(QStringLiteral("naming-folder-pattern-advanced"), advanced);

    auto *scriptPopup = new TagScriptPopup(0);
    scriptPopup->updateContentAssist(QStringLiteral("%art"), 4);
    scriptPopup->resize(scriptPopup->sizeHint().width(), 360);
    gallery.save(QStringLiteral("naming-tagscript-popup"), scriptPopup);

    auto *regExpPopup = new RegExpPopup;
    regExpPopup->expandAll();
    regExpPopup->resize(regExpPopup->minimumWidth(), 520);
    gallery.save(QStringLiteral("naming-regexp-popup"), regExpPopup);

    auto *tree = new ModelDataTypeTreeView(ModelDataTypeTreeView::Checkable | ModelDataTypeTreeView::MergeModeBoxes,
                                           DataTypeModel::NonTextualItemTypes);
    tree->setDataTypes(dataTypesOfCategories({ModelDataType::CategoryTagItem}));
    tree->setAllChecked(false);
    tree->dataTypeModel()->itemFromIndex(tree->dataTypeModel()->indexOf(ModelDataType(0, TagItemType::Artist)))->setCheckState(Qt::Checked);
    tree->dataTypeModel()->itemFromIndex(tree->dataTypeModel()->indexOf(ModelDataType(0, TagItemType::Artwork)))->setCheckState(Qt::Checked);
    tree->resize(520, 420);
    gallery.save(QStringLiteral("naming-datatype-tree"), tree);

    auto *list = new ModelDataTypeListWidget;
    list->setDataTypes({ModelDataType(0, TagItemType::Title), ModelDataType(0, TagItemType::Artist),
                        ModelDataType(0, TagItemType::Album), ModelDataType(1, 1)});
    list->resize(320, 200);
    gallery.save(QStringLiteral("naming-datatype-list"), list);

    auto *preview = new FileSystemPreviewWidget;
    preview->setPaths({"Artist/Album/01 Intro.mp3", "Artist/Album/02 Song.mp3", "Artist/Album/02 Song (2).mp3",
                       "Artist/Album/cover.jpg", "Artist/Album/notes.txt"},
                      QStringLiteral("/home/user/Music"));
    preview->setPathColor(QStringLiteral("Artist/Album/02 Song.mp3"), QColor(254, 243, 218));
    preview->setPathColor(QStringLiteral("Artist/Album/02 Song (2).mp3"), QColor(254, 243, 218));
    preview->resize(420, 240);
    gallery.save(QStringLiteral("naming-preview"), preview);

    // The dialogs over files that exist only in memory: nothing touches the disk.
    HeadlessMainWindow window;
    auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
    const QString base = QStringLiteral("/nonexistent/gallery/");
    insert->files = {sampleFile(base + "in/track1.mp3", "The Band", "First", "Opening", 1),
                     sampleFile(base + "in/track2.mp3", "The Band", "First", "Second Song", 2),
                     sampleFile(base + "in/track3.mp3", "The Band", "First", "Second Song", 2),
                     sampleFile(base + "other/x.flac", "Someone", "Live", "Encore", 9)};
    window.operationQueue()->apply(insert);
    window.selection()->insert(insert->files, {ModelDataType(1, 1)});

    auto *rename = new RenameDialog;
    rename->patternEditor()->setPattern(pattern(true, {{"%trackNumber%", " - ", "%title%"}}));
    rename->resize(760, 820);
    rename->show();
    QMetaObject::invokeMethod(rename, "updatePreview");
    gallery.save(QStringLiteral("naming-rename-dialog"), rename);

    auto *move = new CopyMoveDialog(false);
    move->patternEditor()->setRootPath(QStringLiteral("/nonexistent/gallery/sorted"));
    move->patternEditor()->setPattern(pattern(true, {{"%albumArtist%"}, {"%album%"}}));
    move->resize(760, 860);
    move->show();
    QMetaObject::invokeMethod(move, "updatePreview");
    gallery.save(QStringLiteral("naming-move-dialog"), move);

    auto *copy = new CopyMoveDialog(true);
    copy->patternEditor()->setRootPath(QStringLiteral("relative/path"));
    copy->patternEditor()->setPattern(pattern(false, {{"%albumArtist%"}}));
    copy->resize(760, 860);
    copy->show();
    QMetaObject::invokeMethod(copy, "updatePreview");
    gallery.save(QStringLiteral("naming-copy-dialog-invalid-root"), copy);
}
