#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class AudioFile;
class DuplicateResolutionCondition;

// Files that would end up as the same file of a library: the planned files first, then the
// library's files; one of them is kept.
struct DuplicateSet {
    QList<AudioFile *> files;
    AudioFile *keptFile = nullptr;
};

// The duplicates of one kind of place (for files: one target folder), as the duplicate page
// shows them.
class DuplicateGroup : public QObject
{
    Q_OBJECT
public:
    explicit DuplicateGroup(QObject *parent = nullptr);
    ~DuplicateGroup() override;

    // Chooses the kept file of every set.
    virtual void resolve(const QList<DuplicateResolutionCondition *> &conditions, const QList<AudioFile *> &newFiles) = 0;
    virtual QIcon icon() const;

    // Whether the first set holding the file keeps another file.
    bool isDiscarded(AudioFile *file) const;
    bool isDiscarded(const QString &path) const;

    QString label;
    // Owned.
    QList<DuplicateSet *> sets;
};
