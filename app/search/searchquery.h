#pragma once

#include <QObject>
#include <QVariant>

#include "app/search/searchpattern.h"
#include "app/search/searchscope.h"

class ModelUpdateOperation;
class SearchResult;
class SearchResultEntry;

// How a query compares a cell with its value.
namespace ComparisonOperator {
enum Id : int {
    Contains = 0,
    Equals = 1,
    NotEquals = 2,
    StartsWith = 3,
    EndsWith = 4,
    LessThan = 5,
    GreaterThan = 6,
    LessThanOrEqual = 7,
    GreaterThanOrEqual = 8,
};
}

enum SearchTextId : quint32 {
    ContainsTextId = 1332415205u,
    EqualsTextId = 2009365569u,
    NotEqualsTextId = 3799667564u,
    StartsWithTextId = 1273613249u,
    EndsWithTextId = 3282439843u,
    LessThanTextId = 4111684975u,
    GreaterThanTextId = 1465746582u,
    LessThanOrEqualTextId = 2922402222u,
    GreaterThanOrEqualTextId = 2645870992u,
    NothingFoundTextId = 4254258600u,     // [search text]
    ReplaceOperationTextId = 317097605u,
};

QString comparisonOperatorDisplayName(int comparisonOperator);

// One find (and optionally replace) request: a text pattern or a number, the cells to
// visit, the comparison and the replacement. It steps its scope's cursor to matching
// cells, collects all of them into a result and writes replacements into the working tags
// of an update operation.
class SearchQuery : public QObject
{
    Q_OBJECT
public:
    enum State : int {
        NoResultNoReplacement = 1,
        ResultOnly = 2,
        ReplacementOnly = 3,
        ResultAndReplacement = 4,
    };

    // The value is a SearchPattern or an integer; anything else matches nothing.
    SearchQuery(const QVariant &value, const SearchScope &scope, int comparisonOperator, QObject *parent = nullptr);
    SearchQuery(const SearchPattern &pattern, const SearchScope &scope, int comparisonOperator,
                QObject *parent = nullptr);
    SearchQuery(qint64 number, const SearchScope &scope, int comparisonOperator, QObject *parent = nullptr);

    QVariant value() const { return m_value; }
    SearchScope &scope() { return m_scope; }
    const SearchScope &scope() const { return m_scope; }
    int comparisonOperator() const { return m_comparisonOperator; }
    bool wrapAround() const { return m_wrapAround; }
    void setWrapAround(bool wrapAround) { m_wrapAround = wrapAround; }
    bool hasReplacement() const { return m_hasReplacement; }
    QString replacementText() const { return m_replacementText; }
    void setReplacementText(const QString &text);
    SearchResult *result() const { return m_result; }
    int state() const;

    // The matches of a cell with this text and number (hasNumber false: no number).
    QList<SearchMatch> matchCell(const QString &text, bool hasNumber, qint64 number) const;

    SearchResultEntry *match(QObject *parent);
    SearchResultEntry *findForward(bool includeCurrent, QObject *parent);
    SearchResultEntry *findBackward(bool includeCurrent, QObject *parent);
    int run();

    // The text with the replacement put in at every match.
    QString replacedText(const QString &text, const QList<SearchMatch> &matches) const;
    QString replacedText(const SearchResultEntry *entry) const;
    // Replaces in the cell as it is now: the cell is read and matched again, and a cell
    // that no longer matches is left alone (false), so that edits and undos made since the
    // search are never overwritten.
    bool replaceEntry(const SearchResultEntry *entry, ModelUpdateOperation *operation);
    int replaceAll(ModelUpdateOperation *operation);
    bool replaceCurrent(ModelUpdateOperation *operation);
    void updateForModel();

private:
    QList<SearchMatch> matchText(const SearchPattern &pattern, const QString &text) const;
    QString insertedText(const SearchMatch &match) const;
    void connectStore();

    QVariant m_value;
    SearchScope m_scope;
    int m_comparisonOperator;
    bool m_wrapAround = true;
    bool m_hasReplacement = false;
    QString m_replacementText;
    SearchResult *m_result = nullptr;
};
