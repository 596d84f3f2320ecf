#include "app/dialogs/support_textdialogs.h"

#include <QItemSelectionModel>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "libgui/icons/icons.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

void setUpDialogTests()
{
    loadModelTexts();
    registerTagItemTypes();
    for (const QString &root : {QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")}) {
        if (!iconRootDirectories().contains(root))
            iconRootDirectories().append(root);
    }
}

DialogTable::DialogTable(const QList<ModelDataType> &columns, const QList<QList<QPair<int, QVariant>>> &tags,
                         const QStringList &paths)
{
    window.tableModel()->setDataTypes(columns);
    view.setModel(window.model()->itemModel());
    window.setTableView(&view);
    for (int i = 0; i < tags.size(); ++i)
        files.append(factory.create(paths.value(i, QStringLiteral("f%1.mp3").arg(i, 2, 10, QLatin1Char('0'))), tags.at(i)));
    if (!files.isEmpty()) {
        auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
        insert->files = files;
        window.operationQueue()->apply(insert);
        window.store()->setDisplayedFiles(files);
    }
    view.selectionModel()->clear();
    *window.selection() = AudioFileSelection(window.model());
}

void DialogTable::select(const QList<QRect> &rectangles)
{
    QItemSelection selection;
    for (const QRect &rect : rectangles)
        selection.merge(selectionFromRect(view.model(), rect), QItemSelectionModel::Select);
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    *window.selection() = window.model()->cellSelection(view.selectionModel()->selection());
}

void DialogTable::selectAll()
{
    select({QRect(0, 0, view.model()->columnCount(), view.model()->rowCount())});
}

QVariant DialogTable::cell(int row, int column) const
{
    return view.model()->index(row, column).data();
}

QStringList DialogTable::texts(int itemType, int row) const
{
    AudioFile *file = window.model()->audioFile(view.model()->index(row, 0));
    const AudioTag *tag = file ? file->tag(0) : nullptr;
    return tag ? tag->itemTexts(itemType) : QStringList();
}

int DialogTable::undoCount() const
{
    return int(window.operationQueue()->undoStack().size());
}
