#pragma once

#include <QColor>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class AudioFile;
class AudioFileSelection;
class BufferedLogger;
class QWidget;

// What the rename and the copy-and-move dialogs share: the files they work on, how a taken
// name is numbered, and the offer to save unsaved changes first.
namespace NamingTargets {

// The colour of entries that were numbered because of a collision.
QColor collisionColor();

// A copy of the main window's current selection (empty without a main window).
AudioFileSelection currentSelection();

// The files of the selection, each once, by path: the order decides which of two files
// that want one name keeps it, so it must not depend on a hash's order.
QList<AudioFile *> filesInOrder(const AudioFileSelection &selection);

// base for i 1, else "base-without-suffix (i).suffix".
QString numberedCandidate(const QString &base, int i);
// A path as a key, lower-cased where the file system ignores case.
QString pathKey(const QString &path);

// Parts shared from the start by every list, never a list's last part (the file name).
int commonPrefixLength(const QList<QStringList> &lists);

// A new file at the path carrying copies of the old file's tags; touches no disk.
AudioFile *cloneAt(AudioFile *file, const QString &path);

// Offers to save the files among `files` that have unsaved changes. False when the user
// cancelled (nothing shown) or saving failed (the logger's messages shown).
bool saveModifiedFirst(const QList<AudioFile *> &files, const QString &title, BufferedLogger &logger);

// The dialogs' texts shared by both.
enum TextId : quint32 {
    CollisionWarningTextId = 720077022u,
    EffectInformationTextId = 960272412u,   // [what is done, what follows]
    RenamingOrMovingTextId = 3121334915u,
    NewPathsShownTextId = 1825531769u,
    SaveFirstQuestionTextId = 1885837078u,  // [number of files]
    PreviewTitleTextId = 473477883u,
};

} // namespace NamingTargets
