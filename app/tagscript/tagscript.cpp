#include "app/tagscript/tagscript.h"

#include "app/model/datatypevalues.h"
#include "app/tagscript/tsconditional.h"
#include "app/tagscript/tsfunction.h"
#include "app/tagscript/tsliteral.h"
#include "app/tagscript/tsoperation.h"
#include "app/tagscript/tsvariable.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/codepointiterator.h"

namespace {

[[noreturn]] void raiseSyntaxError(quint32 code, const QVariantList &arguments = {})
{
    throw Exception(code, arguments, false);
}

// The characters of variable and function names: ASCII letters and digits, '_', ' ' and
// the operator characters of the function names ("$+", "$<=", "$&&").
bool isNameCharacter(CodePoint c)
{
    const quint32 v = c.value();
    if ((v >= '0' && v <= '9') || (v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z'))
        return true;
    switch (v) {
    case '_': case ' ': case '!': case '&': case '|': case '<': case '>': case '=':
    case '+': case '-': case '*': case '/':
        return true;
    default:
        return false;
    }
}

TsExpression *parseTagScriptSequence(CodePointIterator &input, bool inArguments, QObject *parent, int depth);

// Turns the pending text into a literal node; an empty buffer adds nothing, so no sequence
// ever holds two literals in a row.
void appendLiteral(QList<TsExpression *> &nodes, QString &text, QObject *parent)
{
    if (text.isEmpty())
        return;
    nodes.append(new TsLiteral(QVariant(text), parent));
    text = QString();
}

// Reads a name up to the terminator, which is consumed and not part of it.
QString parseVariableName(CodePointIterator &input, CodePoint terminator)
{
    QString name;
    while (input.hasNext()) {
        const CodePoint c = input.next();
        if (c == terminator)
            return name;
        if (!isNameCharacter(c))
            raiseSyntaxError(InvalidNameCharacterTextId, {c.toString()});
        name += QChar(char16_t(c.value()));
    }
    raiseSyntaxError(UnterminatedNameTextId);
}

// Called right after the '('; leaves the ')' unread.
QList<TsExpression *> parseFunctionArguments(CodePointIterator &input, QObject *parent, int depth)
{
    QObject scratchParent;
    QList<TsExpression *> arguments;
    if (!input.hasNext() || input.current() == CodePoint(')'))
        return arguments;
    for (;;) {
        arguments.append(parseTagScriptSequence(input, true, &scratchParent, depth));
        if (!input.hasNext() || input.current() != CodePoint(','))
            break;
        input.next();
    }
    for (TsExpression *argument : std::as_const(arguments))
        argument->setParent(parent);
    return arguments;
}

// One level of text, variables, calls and conditionals. It ends at the end of the text, at
// a ']' and, inside arguments, at ',' or ')', leaving that character unread for the
// enclosing construct. Nodes hang on a scratch parent until the level is complete, so an
// error deletes whatever the level had built.
TsExpression *parseTagScriptSequence(CodePointIterator &input, bool inArguments, QObject *parent, int depth)
{
    if (depth > MaxScriptNesting)
        raiseSyntaxError(NestingTooDeepTextId, {MaxScriptNesting});
    QObject scratchParent;
    QList<TsExpression *> nodes;
    QString text;
    while (input.hasNext()) {
        const CodePoint c = input.next();
        if (c == CodePoint('\'')) {
            if (!input.hasNext())
                raiseSyntaxError(QuoteAtEndTextId);
            if (input.current() == CodePoint('\'')) {
                input.next();
                text += u'\'';
                continue;
            }
            for (;;) {
                if (!input.hasNext())
                    raiseSyntaxError(UnterminatedQuoteTextId);
                const CodePoint quoted = input.next();
                if (quoted == CodePoint('\''))
                    break;
                text += quoted.toString();
            }
        } else if (c == CodePoint('%')) {
            if (!input.hasNext())
                raiseSyntaxError(PercentAtEndTextId);
            if (input.current() == CodePoint('%')) {
                input.next();
                text += u'%';
                continue;
            }
            appendLiteral(nodes, text, &scratchParent);
            nodes.append(new TsVariable(parseVariableName(input, CodePoint('%')), &scratchParent));
        } else if (c == CodePoint('$')) {
            if (!input.hasNext())
                raiseSyntaxError(DollarAtEndTextId);
            if (input.current() == CodePoint('$')) {
                input.next();
                text += u'$';
                continue;
            }
            appendLiteral(nodes, text, &scratchParent);
            const QString name = parseVariableName(input, CodePoint('('));
            const QList<TsExpression *> arguments = parseFunctionArguments(input, &scratchParent, depth + 1);
            if (!input.hasNext() || input.next() != CodePoint(')'))
                raiseSyntaxError(MissingClosingParenthesisTextId);
            nodes.append(new TsFunction(name, arguments, &scratchParent));
        } else if (c == CodePoint('[')) {
            appendLiteral(nodes, text, &scratchParent);
            TsExpression *inner = parseTagScriptSequence(input, inArguments, &scratchParent, depth + 1);
            if (!input.hasNext() || input.next() != CodePoint(']'))
                raiseSyntaxError(MissingClosingBracketTextId);
            nodes.append(new TsConditional(inner, &scratchParent));
        } else if (c == CodePoint(']') || (inArguments && (c == CodePoint(',') || c == CodePoint(')')))) {
            input.previous();
            break;
        } else {
            text += c.toString();
        }
    }
    appendLiteral(nodes, text, &scratchParent);
    if (nodes.size() == 1) {
        nodes.first()->setParent(parent);
        return nodes.first();
    }
    return new TsOperation(TsOperation::Concatenation, nodes, parent);
}

QString evaluateToDisplayText(TsExpression *expression, AudioFile *context, int mode)
{
    QString text = scriptDisplayText(expression->evaluate(context, mode));
    checkScriptTextLength(text);
    return text;
}

} // namespace

TsExpression *parseTagScript(const QString &text, QObject *parent)
{
    CodePointIterator input(text);
    try {
        QObject scratchParent;
        TsExpression *root = parseTagScriptSequence(input, false, &scratchParent, 0);
        // The sequence stopped before the end only at a ']' that closes no '['.
        if (input.hasNext()) {
            input.next();
            raiseSyntaxError(UnmatchedClosingBracketTextId);
        }
        root->setParent(parent);
        return root;
    } catch (const Exception &e) {
        throw Exception(ScriptSyntaxErrorTextId, {e.message(), input.position}, false);
    }
}

QString evaluateToText(TsExpression *expression, AudioFile *context)
{
    return evaluateToDisplayText(expression, context, TextMode);
}

QString evaluateToFileName(TsExpression *expression, AudioFile *context)
{
    // Variables already lose separators and dot levels; functions can still produce
    // "../" (a replacement, a character code), and that must not leave the target folder.
    return withoutDotComponents(evaluateToDisplayText(expression, context, FileNameMode));
}

bool hasValuedVariable(TsExpression *expression, AudioFile *context, int mode)
{
    if (auto *variable = dynamic_cast<TsVariable *>(expression)) {
        if (variable->evaluate(context, mode).isValid())
            return true;
    }
    const QList<TsExpression *> children = expression->children();
    for (TsExpression *child : children) {
        if (hasValuedVariable(child, context, mode))
            return true;
    }
    return false;
}

QString scriptDisplayText(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return *static_cast<const QString *>(value.constData());
    return formatValue(value, Qt::DisplayRole, PlainFormat).toString();
}

void appendDisplayText(QString &text, const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        text += *static_cast<const QString *>(value.constData());
    else
        text += scriptDisplayText(value);
}

void checkScriptTextLength(qsizetype length)
{
    if (length > MaxScriptTextLength)
        throw Exception(ScriptResultTooLongTextId, {MaxScriptTextLength}, false);
}

void checkScriptTextLength(const QString &text)
{
    checkScriptTextLength(text.size());
}
