#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QSignalSpy>
#include <QStandardItem>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/dialogs/modeldatatypecombobox.h"
#include "app/dialogs/modeldatatypelistwidget.h"
#include "app/dialogs/modeldatatypetreeview.h"
#include "app/identification/updateset.h"
#include "app/model/datatypemodel.h"
#include "app/dialogs/support_dialogs.h"
#include "libtagging/model/tagitem.h"

namespace {

const ModelDataType album(0, TagItemType::Album);
const ModelDataType albumArtist(0, TagItemType::AlbumArtist);
const ModelDataType artist(0, TagItemType::Artist);
const ModelDataType artwork(0, TagItemType::Artwork);

QStandardItem *itemOf(ModelDataTypeTreeView &view, const ModelDataType &type)
{
    return view.dataTypeModel()->itemFromIndex(view.dataTypeModel()->indexOf(type));
}

// Runs action on the next modal dialog once it is up.
void whenModal(const std::function<void(QDialog *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

QStringList rows(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

} // namespace

class tst_DataTypePickers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }

    void comboBoxKeysAndTypes()
    {
        ModelDataTypeComboBox box(allDataTypes(), DataTypeModel::NoneEntry | DataTypeModel::CharacterEntries, nullptr);
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentKey(), QString());
        QCOMPARE(box.currentDataType(), ModelDataType());

        box.setCurrentDataType(artist);
        QCOMPARE(box.currentDataType(), artist);
        QCOMPARE(box.currentKey(), QStringLiteral("%artist%"));
        box.setCurrentKey(QStringLiteral(" - "));
        QCOMPARE(box.currentKey(), QStringLiteral(" - "));
        QCOMPARE(box.currentDataType(), ModelDataType());
        box.setCurrentKey(QStringLiteral("%noSuchThing%"));
        QCOMPARE(box.currentIndex(), -1);
        box.setCurrentDataType(ModelDataType());
        QCOMPARE(box.currentKey(), QString());
        QVERIFY(box.sizeHint().width() >= box.view()->minimumWidth());
    }

    // Activating the entry without data type (or a group) leaves nothing chosen.
    void comboBoxNoneEntryChoosesNothing()
    {
        ModelDataTypeComboBox box(allDataTypes(), DataTypeModel::NoneEntry, nullptr);
        box.setCurrentDataType(artist);
        const QModelIndex none = box.dataTypeModel()->index(0, 0);
        QCOMPARE(none.data(DataTypeModel::KeyRole).toString(), QString());
        box.setRootModelIndex(QModelIndex());
        box.setCurrentIndex(0);
        Q_EMIT box.activated(0);
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentKey(), QString());
        QCOMPARE(box.currentDataType(), ModelDataType());
    }

    void groupChecksFollowChildren()
    {
        ModelDataTypeTreeView view(ModelDataTypeTreeView::Checkable, 0);
        view.setDataTypes({album, albumArtist, artist});
        QSignalSpy changed(&view, &ModelDataTypeTreeView::selectionChanged);
        QStandardItem *group = itemOf(view, album)->parent();
        QVERIFY(group);
        QList<ModelDataType> inGroup;
        for (int row = 0; row < group->rowCount(); ++row)
            inGroup.append(group->child(row)->data(DataTypeModel::DataTypeRole).value<ModelDataType>());
        QVERIFY(inGroup.size() >= 2);
        group->setCheckState(Qt::Checked);
        QCOMPARE(view.selectedDataTypes(), inGroup);
        QCOMPARE(changed.count(), 1);

        QStandardItem *second = group->child(1);
        second->setCheckState(Qt::Unchecked);
        QCOMPARE(group->checkState(), Qt::PartiallyChecked);
        QVERIFY(!view.selectedDataTypes().contains(inGroup.at(1)));
        QCOMPARE(view.selectedDataTypes().size(), inGroup.size() - 1);
        second->setCheckState(Qt::Checked);
        QCOMPARE(group->checkState(), Qt::Checked);
        group->setCheckState(Qt::Unchecked);
        QVERIFY(view.selectedDataTypes().isEmpty());
    }

    void currentRowWithoutChecks()
    {
        ModelDataTypeTreeView view(0, 0);
        QVERIFY(view.selectedDataTypes().isEmpty());
        view.setDataTypes({album, artist});
        QSignalSpy changed(&view, &ModelDataTypeTreeView::selectionChanged);
        view.setCurrentIndex(view.dataTypeModel()->indexOf(artist));
        QCOMPARE(view.selectedDataTypes(), QList<ModelDataType>{artist});
        QVERIFY(changed.count() >= 1);
        view.setCurrentIndex(view.dataTypeModel()->indexOf(artist).parent());
        QVERIFY(view.selectedDataTypes().isEmpty());
    }

    void mergeModeBoxes()
    {
        ModelDataTypeTreeView view(ModelDataTypeTreeView::Checkable | ModelDataTypeTreeView::MergeModeBoxes, 4);
        view.setDataTypes({artist, artwork});
        view.show();
        ExtComboBox *artistBox = view.comboBoxOf(view.dataTypeModel()->indexOf(artist));
        ExtComboBox *artworkBox = view.comboBoxOf(view.dataTypeModel()->indexOf(artwork));
        QVERIFY(artistBox && artworkBox);
        QCOMPARE(artistBox->count(), 2);
        QCOMPARE(artistBox->currentData().toInt(), 1);
        QCOMPARE(artistBox->itemData(1).toInt(), 3);
        QCOMPARE(artworkBox->count(), 4);
        QCOMPARE(artworkBox->currentData().toInt(), 2);

        view.setAllChecked(true);
        QVERIFY(!artistBox->isHidden());
        itemOf(view, artist)->setCheckState(Qt::Unchecked);
        QVERIFY(artistBox->isHidden());
        QVERIFY(!artworkBox->isHidden());

        UpdateSet set;
        set.id = 7;
        set.dataTypes.insert(artist, 3);
        set.dataTypes.insert(ModelDataType(1, 0), 1); // not offered: skipped
        view.setUpdateSet(set);
        QCOMPARE(view.selectedDataTypes(), QList<ModelDataType>{artist});
        QCOMPARE(artistBox->currentData().toInt(), 3);
        const UpdateSet back = view.toUpdateSet();
        QCOMPARE(back.id, -1);
        QCOMPARE(back.dataTypes, (QMap<ModelDataType, int>{{artist, 3}}));

        view.setUpdateSet(UpdateSet::defaultSet());
        QCOMPARE(view.selectedDataTypes(), (QList<ModelDataType>{artist, artwork}));
    }

    void updateSetWithoutBoxesMapsToZero()
    {
        ModelDataTypeTreeView view(ModelDataTypeTreeView::Checkable, 0);
        view.setDataTypes({album, artist});
        view.setAllChecked(true);
        QCOMPARE(view.toUpdateSet().dataTypes, (QMap<ModelDataType, int>{{album, 0}, {artist, 0}}));
    }

    void listButtons()
    {
        ModelDataTypeListWidget widget;
        QSignalSpy changed(&widget, &ModelDataTypeListWidget::selectedDataTypesChanged);
        widget.setDataTypes({album, artist, albumArtist});
        QCOMPARE(changed.count(), 1);
        QVERIFY(!widget.removeButton()->isEnabled());
        QVERIFY(widget.addButton()->isEnabled());
        const QStringList names = rows(widget.listWidget());

        // Up on the first row and down on the last change nothing.
        widget.listWidget()->setCurrentRow(0);
        QVERIFY(!widget.upButton()->isEnabled());
        QVERIFY(widget.downButton()->isEnabled());
        QMetaObject::invokeMethod(&widget, "onUpButtonClicked");
        QCOMPARE(changed.count(), 1);

        widget.listWidget()->selectionModel()->select(
            QItemSelection(widget.listWidget()->model()->index(0, 0), widget.listWidget()->model()->index(1, 0)),
            QItemSelectionModel::ClearAndSelect);
        widget.downButton()->click();
        QCOMPARE(widget.dataTypes(), (QList<ModelDataType>{albumArtist, album, artist}));
        QCOMPARE(rows(widget.listWidget()), (QStringList{names[2], names[0], names[1]}));
        QVERIFY(!widget.downButton()->isEnabled());
        QCOMPARE(widget.listWidget()->currentRow(), 2);
        QMetaObject::invokeMethod(&widget, "onDownButtonClicked");
        QCOMPARE(widget.dataTypes(), (QList<ModelDataType>{albumArtist, album, artist}));
        widget.upButton()->click();
        QCOMPARE(widget.dataTypes(), (QList<ModelDataType>{album, artist, albumArtist}));
        widget.removeButton()->click();
        QCOMPARE(widget.dataTypes(), QList<ModelDataType>{albumArtist});
        QCOMPARE(widget.listWidget()->count(), 1);
    }

    // The add dialog offers only what is not listed yet and appends the checked types.
    void addDialog()
    {
        ModelDataTypeListWidget widget;
        widget.setAvailableDataTypes({album, artist, albumArtist});
        widget.setDataTypes({artist});
        QList<ModelDataType> offered;
        whenModal([&](QDialog *dialog) {
            auto *view = dialog->findChild<ModelDataTypeTreeView *>();
            QVERIFY(view);
            offered = view->dataTypeModel()->dataTypes();
            view->setAllChecked(true);
            dialog->accept();
        });
        widget.addButton()->click();
        QCOMPARE(offered, (QList<ModelDataType>{album, albumArtist}));
        QList<ModelDataType> added = widget.dataTypes().mid(1);
        std::sort(added.begin(), added.end());
        QCOMPARE(widget.dataTypes().first(), artist);
        QCOMPARE(added, (QList<ModelDataType>{album, albumArtist}));
        QCOMPARE(widget.listWidget()->selectionModel()->selectedRows().size(), 2);
        QCOMPARE(widget.listWidget()->currentRow(), 2);

        // Everything listed: the tree is empty; cancelling adds nothing.
        int rowCount = -1;
        whenModal([&](QDialog *dialog) {
            rowCount = dialog->findChild<ModelDataTypeTreeView *>()->model()->rowCount();
            dialog->reject();
        });
        widget.addButton()->click();
        QCOMPARE(rowCount, 0);
        QCOMPARE(widget.dataTypes().size(), 3);
    }
};

QTEST_MAIN(tst_DataTypePickers)
#include "tst_datatypepickers.moc"
