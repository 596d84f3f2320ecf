#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "app/identification/idscoringcontext.h"

class IdAudioFile;
class IdGroup;
class IdSegment;
class QObject;

// The identification view of a fake file at the path (it need not exist) whose combined tag
// holds the values, by tag item type; no tag at all without values. Both belong to the owner.
IdAudioFile *idTaggedFile(const QString &path, const QMap<int, QStringList> &values, QObject *owner);

// Stages 2 and 3 over the files: the groups (children of the owner), and every file's segments.
QList<IdGroup *> segmentIdFiles(const QList<IdAudioFile *> &files, QObject *owner);

// The context the scoring driver gives the file in a run of these files.
IdScoringContext idScoringContext(IdAudioFile *file, const QList<IdAudioFile *> &files, bool firstPass = true);

// The file's segment of that source kind and text; null when there is none.
IdSegment *idSegmentOf(const IdAudioFile *file, int kind, const QString &text);

// "text[kind] c<category> g<group size> f<field>=<score> ..." for every segment, for failure
// messages.
QString describeIdSegments(const IdAudioFile *file);
