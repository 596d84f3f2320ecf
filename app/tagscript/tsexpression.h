#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

class AudioFile;

// How a script is evaluated: as plain text, or as a component of a file name, where the
// values of variables may not bring in folder separators or folder levels.
enum EvaluationMode : int { TextMode = 0, FileNameMode = 1 };

// A node of a parsed tag script. A tree is held together by QObject parenthood, so deleting
// the root deletes the whole tree. A tree does not change after parsing and keeps no state
// between evaluations; one thread evaluates it at a time.
class TsExpression : public QObject
{
public:
    explicit TsExpression(QObject *parent = nullptr) : QObject(parent) {}

    virtual QVariant evaluate(AudioFile *context, int mode) const = 0;
    // The nodes this one evaluates, in order.
    virtual QList<TsExpression *> children() const { return {}; }
};
