#include "app/tageditors/support_tageditors.h"

#include <QLocale>

#include "app/model/audiofilemodel.h"
#include "app/model/modeldatatype.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/tageditorregistration.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

void initTagEditorTests()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    loadModelTexts();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    registerTagItemTypes();
    registerTagEditors();
}

EditorTable::EditorTable()
{
    initTagEditorTests();
    window.tableModel()->setDataTypes({ModelDataType(TagItemType::Title), ModelDataType(TagItemType::Artist),
                                       ModelDataType(TagItemType::Album)});
}

AudioFile *EditorTable::addFile(const QList<QPair<int, QVariant>> &values)
{
    static int counter = 0;
    auto *file = new AudioFile(QStringLiteral("/nonexistent/%1.mp3").arg(++counter));
    if (!values.isEmpty()) {
        auto *tag = new AudioTag;
        for (const auto &[type, value] : values)
            tag->addItemValue(type, value);
        file->setTag(tag, TagType::Combined);
    }
    auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
    insert->files = {file};
    queue().apply(insert);
    queue().clear();
    return file;
}

QList<AudioFile *> EditorTable::addFiles(int itemType, const QVariantList &values)
{
    QList<AudioFile *> files;
    for (const QVariant &value : values) {
        if (value.isValid())
            files.append(addFile({{itemType, value}}));
        else
            files.append(addFile({{TagItemType::Album, QStringLiteral("Elsewhere")}}));
    }
    return files;
}

AudioFileSelection EditorTable::cells(const QList<AudioFile *> &files, int itemType) const
{
    AudioFileSelection selection(window.model());
    selection.insert(files, {ModelDataType(TagItemType::Id(itemType))});
    return selection;
}

OperationQueue &EditorTable::queue() const
{
    return *window.operationQueue();
}

int EditorTable::undoCount() const
{
    return int(queue().undoStack().size());
}

QStringList itemTexts(AudioFile *file, int itemType)
{
    const AudioTag *tag = file->combinedTag();
    return tag ? tag->itemTexts(itemType) : QStringList{QStringLiteral("<no tag>")};
}

#include <QApplication>
#include <QTimer>
#include <QWidget>

void whenModalShown(const std::function<void(QWidget *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}
