#pragma once

#include "app/model/iaudiofilemodel.h"
#include "libgui/itemviews/extsortfilterproxymodel.h"

// The file table in the order the user chose by clicking a column header, with row numbers
// as vertical headers. Every interface operation maps its rows to the wrapped model, calls
// it there and maps the results back; nothing is filtered out. Sorting happens when sort()
// is called, not when values change.
class AudioFileProxyModel : public ExtSortFilterProxyModel, public IAudioFileModel
{
    Q_OBJECT
public:
    explicit AudioFileProxyModel(IAudioFileModel *source, QObject *parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QList<ModelDataType> dataTypes() const override;
    void setDataTypes(const QList<ModelDataType> &dataTypes) override;
    void applyInsertOperation(ModelInsertOperation *operation, int mode) override;
    void applyUpdateOperation(ModelUpdateOperation *operation, int mode) override;
    void applyRemoveOperation(ModelRemoveOperation *operation, int mode) override;
    QAbstractItemModel *itemModel() override { return this; }
    AudioFileModelData *modelData() const override;
    QList<AudioFile *> audioFiles() const override;
    AudioFile *audioFile(const QModelIndex &index) const override;
    ModelDataType dataType(const QModelIndex &index) const override;
    MimeDataEntry *createMimeDataEntry(const QModelIndex &index, QObject *parent) const override;
    bool isEditable(const QModelIndex &index) const override;
    AudioFileSelection cellSelection(const QItemSelection &selection) override;
    QItemSelection itemSelection(const AudioFileSelection &selection) const override;
    void setHighlightedCells(int kind, const QItemSelection &selection) override;

signals:
    void modelChanged() override;
    void selectionChanged(const QItemSelection &selection) override;
    void selectionUpdated() override;

private slots:
    void onSelectionChanged(const QItemSelection &selection);

private:
    // The source's cells in this model's rows and columns, as maximal rectangles.
    QItemSelection mergedFromSource(const QItemSelection &selection) const;

    IAudioFileModel *m_source = nullptr;
};
