#include "app/dialogs/filenamesplitting.h"

#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>

#include "app/identification/idaudiofile.h"
#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/idsegment.h"
#include "app/identification/idtexttests.h"
#include "app/model/modeldatatype.h"
#include "app/tagscript/scriptvariables.h"
#include "libcore/io/paths.h"
#include "libcore/text/codepointiterator.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/tagitem.h"

namespace {

// Split and match expressions are greedy, Unicode-aware and case sensitive.
QRegularExpression nameExpression(const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

// Splitting never looks further up than three folders above the file.
constexpr int SplitLevelCount = 4;

} // namespace

QStringList fileNameLevels(const QString &path)
{
    QStringList levels = path.split(u'/', Qt::SkipEmptyParts);
    if (levels.isEmpty())
        return levels;
    levels.last() = QFileInfo(withoutTrailingSlash(levels.last())).completeBaseName();
    std::reverse(levels.begin(), levels.end());
    return levels;
}

QString separatorExpression(const QString &separator)
{
    if (separator.isEmpty())
        return QString();
    QString escaped = separator;
    escaped.replace(u'\\', QLatin1String("\\\\"));
    escaped.replace(u'-', QLatin1String("\\-"));
    escaped.replace(u'^', QLatin1String("\\^"));
    escaped.replace(u'[', QLatin1String("\\["));
    escaped.replace(u']', QLatin1String("\\]"));
    return u'[' + escaped + u']';
}

QStringList splitNameLevels(const QStringList &levels, const QString &expression)
{
    const QRegularExpression re = nameExpression(expression);
    const bool splits = !expression.isEmpty() && re.isValid();
    QStringList parts;
    const int used = int(qMin<qsizetype>(levels.size(), SplitLevelCount));
    for (int level = used - 1; level >= 0; --level) {
        if (splits)
            parts += levels.at(level).split(re, Qt::KeepEmptyParts);
        else
            parts.append(levels.at(level));
    }
    return parts;
}

FileNamePattern fileNamePattern(const QString &pattern)
{
    FileNamePattern result;
    bool inVariable = false;
    QString name;
    QString level;
    CodePointIterator it(pattern);
    while (it.hasNext()) {
        const CodePoint c = it.next();
        if (c.value() == '%') {
            if (!inVariable) {
                inVariable = true;
                name.clear();
                continue;
            }
            inVariable = false;
            const ModelDataType type = variableNames().value(name.toLower());
            if (!name.isEmpty() && type.isTagItem()) {
                result.itemTypes.append(type.id);
                level += TagItem::dataTypeOf(type.id) == TagItemDataType::Integer ? QLatin1String("(\\d*)")
                                                                                : QLatin1String("(.*)");
            } else {
                level += QLatin1String(".*");
            }
        } else if (inVariable) {
            name += c.toString();
        } else if (c.value() == '/' || c.value() == '\\') {
            result.levelExpressions.append(level);
            level.clear();
        } else {
            level += QRegularExpression::escape(c.toString());
        }
    }
    result.levelExpressions.append(level);
    return result;
}

QStringList matchExpressionLevels(const QString &expression)
{
    QStringList levels;
    QString level;
    bool escaped = false;
    int depth = 0;
    CodePointIterator it(expression);
    while (it.hasNext()) {
        const CodePoint c = it.next();
        const quint32 v = c.value();
        if (escaped) {
            escaped = false;
            // An escaped backslash outside brackets is the path separator of the expression.
            if (depth == 0 && v == '\\') {
                levels.append(level);
                level.clear();
            } else {
                level += u'\\' + c.toString();
            }
        } else if (v == '\\') {
            escaped = true;
        } else if (v == '/' && depth == 0) {
            levels.append(level);
            level.clear();
        } else {
            if (v == '(' || v == '[' || v == '{')
                ++depth;
            else if ((v == ')' || v == ']' || v == '}') && depth > 0)
                --depth;
            level += c.toString();
        }
    }
    levels.append(level);
    return levels;
}

QStringList matchNameLevels(const QStringList &levels, const QStringList &levelExpressions)
{
    QList<QRegularExpression> expressions;
    for (auto it = levelExpressions.crbegin(); it != levelExpressions.crend(); ++it)
        expressions.append(nameExpression(*it));
    QList<QStringList> perLevel;
    for (int j = 0; j < expressions.size() && j < levels.size(); ++j) {
        const QRegularExpression &re = expressions.at(j);
        QStringList captures;
        if (re.isValid()) {
            const QRegularExpressionMatch match = re.match(levels.at(j));
            if (match.hasMatch()) {
                for (int group = 1; group <= re.captureCount(); ++group)
                    captures.append(match.captured(group));
            }
        }
        perLevel.append(captures);
    }
    QStringList parts;
    for (auto it = perLevel.crbegin(); it != perLevel.crend(); ++it)
        parts += *it;
    return parts;
}

QList<QStringList> automaticFileNameParts(const QList<AudioFile *> &files)
{
    QObject owner;
    QList<IdAudioFile *> idFiles;
    idFiles.reserve(files.size());
    for (AudioFile *file : files)
        idFiles.append(new IdAudioFile(file, &owner));
    const QList<IdGroup *> groups = groupBySegmentation(idFiles, &owner);
    normalizeIdStrings(idFiles, groups);

    QList<QStringList> result;
    result.reserve(files.size());
    for (const IdAudioFile *file : std::as_const(idFiles)) {
        QStringList parts;
        for (const IdSegment *segment : file->segments()) {
            if (segment->sourceKind() == 0)
                parts.prepend(trimSpacesAndDashes(segment->text()));
        }
        for (const IdSegment *segment : file->segments()) {
            if (segment->sourceKind() == 1)
                parts.append(trimSpacesAndDashes(segment->text()));
        }
        result.append(parts);
    }
    return result;
}

int trimFileNameParts(QList<QStringList> &parts)
{
    int count = 0;
    for (QStringList &fileParts : parts) {
        for (QString &part : fileParts)
            part = part.trimmed();
        count = qMax(count, int(fileParts.size()));
    }
    return count;
}
