#pragma once

#include <QList>

#include "app/operations/modeloperation.h"

// Adds files to the file table.
class ModelInsertOperation : public ModelOperation
{
    Q_OBJECT
public:
    explicit ModelInsertOperation(const AudioFileSelection &selection, QObject *parent = nullptr);

    // Not owned: the loaded-file store owns loaded files.
    QList<AudioFile *> files;

    void apply() override;
    void undo() override;
    void redo() override;
    QSet<AudioFile *> referencedAudioFiles() const override;
};
