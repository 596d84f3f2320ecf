#include <QApplication>
#include <QLocale>
#include <QToolButton>

#include "app/model/audiofilemodel.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/multitageditordialog.h"
#include "app/tageditors/singletageditordialog.h"
#include "app/tageditors/tageditordetailsdialog.h"
#include "app/tageditors/tageditorregistration.h"
#include "app/tageditors/tageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "tools/gallery/gallerypages.h"

namespace {

// Hand-made files in a headless window's table; nothing touches the disk.
struct GalleryFiles {
    HeadlessMainWindow window;
    QList<AudioFile *> files;

    AudioFile *add(const QList<QPair<int, QVariant>> &values)
    {
        auto *file = new AudioFile(QStringLiteral("/gallery/%1.mp3").arg(files.size() + 1));
        auto *tag = new AudioTag;
        for (const auto &[type, value] : values)
            tag->addItemValue(type, value);
        file->setTag(tag, TagType::Combined);
        auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
        insert->files = {file};
        window.operationQueue()->apply(insert);
        files.append(file);
        return file;
    }

    AudioFileSelection cells(const QList<AudioFile *> &of, const QList<int> &types) const
    {
        AudioFileSelection selection(window.model());
        QList<ModelDataType> dataTypes;
        for (int type : types)
            dataTypes.append(ModelDataType(TagItemType::Id(type)));
        selection.insert(of, dataTypes);
        return selection;
    }
};

LineTagEditorWidget *editorOver(int itemType, int mode, const AudioFileSelection &cells, int width = 340)
{
    auto *editor = qobject_cast<LineTagEditorWidget *>(TagEditorWidget::createEditor(itemType, mode, nullptr));
    if (!cells.isEmpty())
        editor->setSelection(cells);
    editor->resize(width, editor->sizeHint().height());
    return editor;
}

void clickEdit(LineTagEditorWidget *editor, int row = 0)
{
    editor->rowWidgets(row)->editButton->click();
}

} // namespace

void renderTagEditors(Gallery &gallery)
{
    if (!mountApplicationPackages(gallery, QStringLiteral("tag editors")))
        return;
    registerTagEditors();

    GalleryFiles g;
    AudioFile *a = g.add({{TagItemType::Title, "Blue in Green"}, {TagItemType::Artist, "Miles Davis"},
                          {TagItemType::Artist, "Bill Evans"}, {TagItemType::Album, "Kind of Blue"},
                          {TagItemType::TrackNumber, 3}, {TagItemType::TrackCount, 5},
                          {TagItemType::PartOfCompilation, true}, {TagItemType::ReleaseDate, "1959-08-17"}});
    AudioFile *b = g.add({{TagItemType::Title, "So What"}, {TagItemType::Artist, "Miles Davis"},
                          {TagItemType::Album, "Kind of Blue"}, {TagItemType::TrackNumber, 1},
                          {TagItemType::TrackCount, 5}, {TagItemType::ReleaseDate, "1959"}});
    AudioFile *c = g.add({{TagItemType::Title, "so what"}, {TagItemType::Album, "Kind of Blue"},
                          {TagItemType::TrackNumber, 1}, {TagItemType::Comment, "live take"}});
    const QList<int> all{TagItemType::Title, TagItemType::Artist, TagItemType::Album, TagItemType::TrackNumber,
                         TagItemType::PartOfCompilation, TagItemType::ReleaseDate, TagItemType::Comment};
    const AudioFileSelection one = g.cells({a}, all);
    const AudioFileSelection mixed = g.cells({a, b, c}, all);

    using E = TagEditorWidget;
    gallery.save(QStringLiteral("tageditor-string-one"), editorOver(TagItemType::Title, E::SingleValueMode, one));
    gallery.save(QStringLiteral("tageditor-string-mixed"), editorOver(TagItemType::Title, E::SingleValueMode, mixed));
    {
        LineTagEditorWidget *editor = editorOver(TagItemType::Title, E::SingleValueMode, mixed);
        clickEdit(editor);
        gallery.save(QStringLiteral("tageditor-string-mixed-opened"), editor);
    }
    gallery.save(QStringLiteral("tageditor-string-disabled"),
                 editorOver(TagItemType::Title, E::SingleValueMode, AudioFileSelection()));
    gallery.save(QStringLiteral("tageditor-string-inline"), editorOver(TagItemType::Title, E::InlineMode, one, 200));
    gallery.save(QStringLiteral("tageditor-artists-multi"), editorOver(TagItemType::Artist, E::MultiValueMode, one));
    gallery.save(QStringLiteral("tageditor-artists-multi-mixed"),
                 editorOver(TagItemType::Artist, E::MultiValueMode, mixed));
    {
        LineTagEditorWidget *editor = editorOver(TagItemType::Comment, E::MultiValueMode, mixed);
        editor->setDetailsVisible(true);
        gallery.save(QStringLiteral("tageditor-string-with-details"), editor);
    }
    gallery.save(QStringLiteral("tageditor-boolean-one"),
                 editorOver(TagItemType::PartOfCompilation, E::SingleValueMode, one));
    gallery.save(QStringLiteral("tageditor-boolean-mixed"),
                 editorOver(TagItemType::PartOfCompilation, E::SingleValueMode, mixed));
    {
        LineTagEditorWidget *editor = editorOver(TagItemType::PartOfCompilation, E::SingleValueMode, mixed);
        clickEdit(editor);
        gallery.save(QStringLiteral("tageditor-boolean-mixed-opened"), editor);
    }
    gallery.save(QStringLiteral("tageditor-boolean-disabled"),
                 editorOver(TagItemType::PartOfCompilation, E::SingleValueMode, AudioFileSelection()));
    gallery.save(QStringLiteral("tageditor-integer-one"), editorOver(TagItemType::TrackNumber, E::SingleValueMode, one));
    gallery.save(QStringLiteral("tageditor-integer-mixed"),
                 editorOver(TagItemType::TrackNumber, E::SingleValueMode, mixed));
    gallery.save(QStringLiteral("tageditor-integer-disabled"),
                 editorOver(TagItemType::TrackNumber, E::SingleValueMode, AudioFileSelection()));
    gallery.save(QStringLiteral("tageditor-datetime-one"), editorOver(TagItemType::ReleaseDate, E::SingleValueMode, one));
    gallery.save(QStringLiteral("tageditor-datetime-mixed"),
                 editorOver(TagItemType::ReleaseDate, E::SingleValueMode, mixed));
    gallery.save(QStringLiteral("tageditor-datetime-disabled"),
                 editorOver(TagItemType::ReleaseDate, E::SingleValueMode, AudioFileSelection()));

    gallery.save(QStringLiteral("tageditor-details-dialog"),
                 new TagEditorDetailsDialog({{TagEditorDetailsDialog::DescriptionDetail, QStringLiteral("liner notes")},
                                             {TagEditorDetailsDialog::LanguageDetail, QVariant()}},
                                            TagItemType::Comment, 3, 5));
    gallery.save(QStringLiteral("tageditor-single-dialog"),
                 new SingleTagEditorDialog(TagItemType::Title, E::SingleValueMode, mixed, g.window.operationQueue()));
    gallery.save(QStringLiteral("tageditor-single-dialog-multi"),
                 new SingleTagEditorDialog(TagItemType::Artist, E::MultiValueMode, mixed, g.window.operationQueue()));
    {
        auto *dialog = new MultiTagEditorDialog(mixed, g.window.operationQueue());
        dialog->resize(1000, 700);
        gallery.save(QStringLiteral("tageditor-multi-dialog"), dialog);
    }
}
