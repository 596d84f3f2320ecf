#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class AudioFile;

// An undoable change: it performs the change, reverts it and performs it again.
class Operation : public QObject
{
    Q_OBJECT
public:
    explicit Operation(QObject *parent = nullptr);

    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }
    void clearDescription(bool clear);

    virtual void apply() = 0;
    virtual void undo() = 0;
    virtual void redo();
    virtual bool confirmUndo();
    virtual bool confirmRedo();
    // The files that must stay alive while the operation can be undone or redone.
    virtual QSet<AudioFile *> referencedAudioFiles() const;

private:
    QString m_description;
};
