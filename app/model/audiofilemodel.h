#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QMap>
#include <QPersistentModelIndex>
#include <QSet>

#include "app/model/iaudiofilemodel.h"

enum AudioFileModelTextId : quint32 {
    InsertOperationOfAnotherStore = 1629049547u,
    RemoveOperationOfAnotherStore = 3577138933u,
    UpdateOperationOfAnotherStore = 2233189793u,
};

// The file table over the loaded-file store: a row per displayed file, a column per data
// type. It adds headers, flags and the in-place editability rule, the colours of highlighted
// cells, and the conversions between item selections and cell selections; it is the one
// place where model operations change the store. Every change of the displayed files or
// of the columns is a model reset.
class AudioFileModel : public QAbstractTableModel, public IAudioFileModel
{
    Q_OBJECT
public:
    explicit AudioFileModel(AudioFileModelData *modelData, QObject *parent = nullptr);
    ~AudioFileModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QList<ModelDataType> dataTypes() const override { return m_dataTypes; }
    void setDataTypes(const QList<ModelDataType> &dataTypes) override;
    void applyInsertOperation(ModelInsertOperation *operation, int mode) override;
    void applyUpdateOperation(ModelUpdateOperation *operation, int mode) override;
    void applyRemoveOperation(ModelRemoveOperation *operation, int mode) override;
    QAbstractItemModel *itemModel() override { return this; }
    AudioFileModelData *modelData() const override { return m_modelData; }
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
    void onDisplayedFilesAboutToBeChanged();
    void onDisplayedFilesChanged();

private:
    QVariant background(const QModelIndex &index) const;
    // The colours of the two configured kinds, read again only after the settings changed.
    void updateHighlightColors() const;
    // The whole rows of the files, every column.
    QItemSelection rowSelection(const QList<AudioFile *> &files) const;
    void checkStore(const AudioFileSelection &selection, quint32 code) const;

    AudioFileModelData *m_modelData = nullptr;
    QList<ModelDataType> m_dataTypes;
    QMap<int, QSet<QPersistentModelIndex>> m_highlightedCells;

    mutable quint64 m_colorSettingsVersion = ~quint64(0);
    mutable QColor m_searchResultColor;
    mutable QColor m_modifiedColor;
};
