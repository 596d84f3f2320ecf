#pragma once

#include <QHash>
#include <QSet>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include "app/identification/idversionsummary.h"

class AudioFile;
class AudioTag;
class IdInterpretationResult;
class IdSegment;
class IdSegmentGroup;
class IdStringList;

// What the identification knows of one audio file: the texts that describe it (its base
// name, the names of its folders and six tag values) as string lists, and what the stages
// find. Derives from QObject only so that a run's files go with the run's owner.
class IdAudioFile : public QObject
{
public:
    // While one lives on the thread, each folder's sub-folders are counted once and the views
    // made meanwhile share the count: every file of a folder looks at the same folders, and
    // listing a folder of n files for each of them took time growing with n squared.
    class FolderScope
    {
    public:
        FolderScope();
        ~FolderScope();
        FolderScope(const FolderScope &) = delete;
        FolderScope &operator=(const FolderScope &) = delete;

        QHash<QString, bool> manySubfolders;
        // Folders that hold a collection (the user's music folder, a library's root): never
        // read as an artist or an album, nor anything above them. Clean paths.
        QSet<QString> collectionRoots;

    private:
        FolderScope *m_outer = nullptr;
    };

    // The user's music folder (XDG's, else ~/Music), as a clean path; empty when there is no home.
    static QString musicFolder();

    // Reads the file's path and its combined tag; the file must have its tags read.
    explicit IdAudioFile(AudioFile *file, QObject *parent = nullptr);
    ~IdAudioFile() override;

    AudioFile *audioFile() const { return m_audioFile; }
    // The combined tag at construction; null when the file has none.
    AudioTag *tag() const { return m_tag; }
    const QList<IdStringList *> &stringLists() const { return m_stringLists; }
    // The first list of that kind, or null.
    IdStringList *stringList(int kind) const;

    // The segments stage 3 cut the strings into; the file becomes their parent. Segments that
    // drop out of the list stay children of the file.
    const QList<IdSegment *> &segments() const { return m_segments; }
    void setSegments(const QList<IdSegment *> &segments);
    // The segment groups of the interpretation scoring; the file becomes their parent.
    const QList<IdSegmentGroup *> &segmentGroups() const { return m_segmentGroups; }
    void setSegmentGroups(const QList<IdSegmentGroup *> &groups);
    // The first scoring pass's interpretation of each field; the file becomes the parent of
    // the results. Results that drop out stay children of the file.
    const QMap<int, IdInterpretationResult *> &results() const { return m_results; }
    void setResults(const QMap<int, IdInterpretationResult *> &results);

    const QMap<int, QVariant> &values() const { return m_values; }
    QVariant value(int field) const { return m_values.value(field); }
    // An invalid variant removes the value and its confidence.
    void setValue(int field, const QVariant &value);
    const QMap<int, int> &valueConfidences() const { return m_valueConfidences; }
    // 0 removes the confidence.
    void setValueConfidence(int field, int confidence);

    IdVersionSummary versionSummary;
    bool pickedForSequence = false;
    bool inGroup = false;

private:
    void addStringList(const QStringList &texts, int kind);
    void addTagValues(int itemType, int kind);

    AudioFile *m_audioFile;
    AudioTag *m_tag = nullptr;
    QList<IdStringList *> m_stringLists;
    QList<IdSegment *> m_segments;
    QList<IdSegmentGroup *> m_segmentGroups;
    QMap<int, IdInterpretationResult *> m_results;
    QMap<int, QVariant> m_values;
    QMap<int, int> m_valueConfidences;
};
