#include "app/search/searchquery.h"

#include "app/model/audiofilemodeldata.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/search/searchresult.h"
#include "libcore/text/texttable.h"
#include "libcore/util/variants.h"
#include "libtagging/model/audiotag.h"

QString comparisonOperatorDisplayName(int comparisonOperator)
{
    static constexpr quint32 ids[] = {ContainsTextId,   EqualsTextId,      NotEqualsTextId,
                                      StartsWithTextId, EndsWithTextId,    LessThanTextId,
                                      GreaterThanTextId, LessThanOrEqualTextId, GreaterThanOrEqualTextId};
    if (comparisonOperator < 0 || comparisonOperator >= int(std::size(ids)))
        return QString();
    return textForId(ids[comparisonOperator]);
}

SearchQuery::SearchQuery(const QVariant &value, const SearchScope &scope, int comparisonOperator, QObject *parent)
    : QObject(parent), m_value(value), m_scope(scope), m_comparisonOperator(comparisonOperator)
{
    connectStore();
}

SearchQuery::SearchQuery(const SearchPattern &pattern, const SearchScope &scope, int comparisonOperator,
                         QObject *parent)
    : SearchQuery(QVariant::fromValue(pattern), scope, comparisonOperator, parent)
{
}

SearchQuery::SearchQuery(qint64 number, const SearchScope &scope, int comparisonOperator, QObject *parent)
    : SearchQuery(QVariant(number), scope, comparisonOperator, parent)
{
}

void SearchQuery::connectStore()
{
    IAudioFileModel *model = m_scope.model();
    AudioFileModelData *store = model ? model->modelData() : nullptr;
    if (!store)
        return;
    // The scope's grid and the result hold file pointers: neither may outlive the file.
    connect(store, &AudioFileModelData::audioFileAboutToBeDeleted, this, [this](AudioFile *file) {
        m_scope.removeAudioFile(file);
        if (m_result)
            m_result->removeAudioFile(file);
    });
}

void SearchQuery::setReplacementText(const QString &text)
{
    m_replacementText = text;
    m_hasReplacement = true;
}

int SearchQuery::state() const
{
    if (m_result)
        return m_hasReplacement ? ResultAndReplacement : ResultOnly;
    return m_hasReplacement ? ReplacementOnly : NoResultNoReplacement;
}

QList<SearchMatch> SearchQuery::matchText(const SearchPattern &pattern, const QString &text) const
{
    const qsizetype length = text.size();
    const auto whole = [&](QStringList captured) {
        return QList<SearchMatch>{SearchMatch{0, length, std::move(captured)}};
    };
    switch (m_comparisonOperator) {
    case ComparisonOperator::Contains: {
        QList<SearchMatch> matches;
        qsizetype p = 0;
        while (p < length) {
            SearchMatch m = pattern.indexIn(text, p);
            if (!m.isValid())
                break;
            p = m.position + (m.length > 0 ? m.length : 1);
            matches.append(std::move(m));
        }
        return matches;
    }
    case ComparisonOperator::Equals:
    case ComparisonOperator::NotEquals: {
        SearchMatch m = pattern.indexIn(text, 0);
        const bool equal = m.position == 0 && m.length == length;
        if (equal != (m_comparisonOperator == ComparisonOperator::Equals))
            return {};
        if (!m.isValid()) {
            // A failed search leaves every captured text empty.
            for (int i = 0; i <= pattern.captureCount(); ++i)
                m.capturedTexts.append(QString());
        }
        return whole(m.capturedTexts);
    }
    case ComparisonOperator::StartsWith: {
        SearchMatch m = pattern.indexIn(text, 0);
        if (m.position != 0)
            return {};
        return {m};
    }
    case ComparisonOperator::EndsWith: {
        SearchMatch m = pattern.lastIndexIn(text);
        if (!m.isValid() || m.position + m.length != length)
            return {};
        return {m};
    }
    case ComparisonOperator::LessThan:
    case ComparisonOperator::GreaterThan:
    case ComparisonOperator::LessThanOrEqual:
    case ComparisonOperator::GreaterThanOrEqual: {
        if (pattern.syntax() != SearchPattern::FixedString)
            return {};
        const int c = QString::localeAwareCompare(text, pattern.pattern());
        const bool matches = (m_comparisonOperator == ComparisonOperator::LessThan && c < 0)
                             || (m_comparisonOperator == ComparisonOperator::GreaterThan && c > 0)
                             || (m_comparisonOperator == ComparisonOperator::LessThanOrEqual && c <= 0)
                             || (m_comparisonOperator == ComparisonOperator::GreaterThanOrEqual && c >= 0);
        return matches ? whole(QStringList{text}) : QList<SearchMatch>();
    }
    default:
        return {};
    }
}

QList<SearchMatch> SearchQuery::matchCell(const QString &text, bool hasNumber, qint64 number) const
{
    if (m_value.metaType() == QMetaType::fromType<SearchPattern>())
        return matchText(*static_cast<const SearchPattern *>(m_value.constData()), text);
    if (!isIntegerVariant(m_value) || !hasNumber)
        return {};
    const qint64 q = m_value.toLongLong();
    bool matches = false;
    switch (m_comparisonOperator) {
    case ComparisonOperator::LessThan: matches = number < q; break;
    case ComparisonOperator::GreaterThan: matches = number > q; break;
    case ComparisonOperator::LessThanOrEqual: matches = number <= q; break;
    case ComparisonOperator::GreaterThanOrEqual: matches = number >= q; break;
    default: break;
    }
    if (!matches)
        return {};
    return {SearchMatch{0, text.size(), QStringList{text}}};
}

SearchResultEntry *SearchQuery::match(QObject *parent)
{
    AudioFile *file = m_scope.currentFile();
    if (!file)
        return nullptr;
    const ModelDataType type = m_scope.currentDataType();
    const QString text = m_scope.currentText();
    bool hasNumber = false;
    qint64 number = 0;
    // The number is read only for number queries.
    if (isIntegerVariant(m_value))
        number = m_scope.currentNumber(&hasNumber);
    QList<SearchMatch> matches = matchCell(text, hasNumber, number);
    if (matches.isEmpty())
        return nullptr;
    return new SearchResultEntry(file, type, text, matches, parent);
}

SearchResultEntry *SearchQuery::findForward(bool includeCurrent, QObject *parent)
{
    if (m_scope.hasNext()) {
        if (!includeCurrent)
            m_scope.next();
        for (;;) {
            if (SearchResultEntry *entry = match(parent))
                return entry;
            if (!m_scope.hasNext())
                break;
            m_scope.next();
        }
    } else if (includeCurrent) {
        if (SearchResultEntry *entry = match(parent))
            return entry;
    }
    if (!m_wrapAround)
        return nullptr;
    m_scope.setPosition(-1);
    while (m_scope.hasNext()) {
        m_scope.next();
        if (SearchResultEntry *entry = match(parent))
            return entry;
    }
    return nullptr;
}

SearchResultEntry *SearchQuery::findBackward(bool includeCurrent, QObject *parent)
{
    if (m_scope.hasPrevious()) {
        if (!includeCurrent)
            m_scope.previous();
        for (;;) {
            if (SearchResultEntry *entry = match(parent))
                return entry;
            if (!m_scope.hasPrevious())
                break;
            m_scope.previous();
        }
    } else if (includeCurrent) {
        if (SearchResultEntry *entry = match(parent))
            return entry;
    }
    if (!m_wrapAround)
        return nullptr;
    m_scope.setPosition(m_scope.cellCount());
    while (m_scope.hasPrevious()) {
        m_scope.previous();
        if (SearchResultEntry *entry = match(parent))
            return entry;
    }
    return nullptr;
}

int SearchQuery::run()
{
    delete m_result;
    m_result = new SearchResult(m_scope.model(), this);
    m_scope.setPosition(-1);
    while (m_scope.hasNext()) {
        m_scope.next();
        if (SearchResultEntry *entry = match(m_result))
            m_result->addEntry(entry);
    }
    return m_result->count();
}

QString SearchQuery::insertedText(const SearchMatch &match) const
{
    const bool expands = m_value.metaType() == QMetaType::fromType<SearchPattern>()
                         && static_cast<const SearchPattern *>(m_value.constData())->syntax()
                                == SearchPattern::RegularExpression;
    if (!expands)
        return m_replacementText;
    QString inserted;
    const QString &r = m_replacementText;
    inserted.reserve(r.size());
    for (qsizetype i = 0; i < r.size(); ++i) {
        const QChar c = r.at(i);
        if (c != u'\\') {
            inserted += c;
            continue;
        }
        if (++i >= r.size())
            break; // a trailing backslash is dropped
        const QChar e = r.at(i);
        switch (e.unicode()) {
        case 'a': inserted += QChar(7); break;
        case 'f': inserted += QChar(12); break;
        case 'n': inserted += QChar(10); break;
        case 'r': inserted += QChar(13); break;
        case 't': inserted += QChar(9); break;
        case 'v': inserted += QChar(11); break;
        default:
            // One digit names a captured text: "\10" is group 1 followed by '0'.
            if (e >= u'0' && e <= u'9')
                inserted += match.capturedTexts.value(e.unicode() - '0');
            else
                inserted += e;
        }
    }
    return inserted;
}

QString SearchQuery::replacedText(const QString &text, const QList<SearchMatch> &matches) const
{
    QString replaced = text;
    for (qsizetype i = matches.size() - 1; i >= 0; --i) {
        const SearchMatch &m = matches.at(i);
        replaced.replace(m.position, m.length, insertedText(m));
    }
    return replaced;
}

QString SearchQuery::replacedText(const SearchResultEntry *entry) const
{
    return entry ? replacedText(entry->text(), entry->matches()) : QString();
}

bool SearchQuery::replaceEntry(const SearchResultEntry *entry, ModelUpdateOperation *operation)
{
    if (!entry || !operation || !entry->dataType().isTagItem() || !entry->file())
        return false;
    IAudioFileModel *model = m_scope.model();
    AudioFileModelData *store = model ? model->modelData() : nullptr;
    if (!store || !store->loadedFiles().contains(entry->file()))
        return false;
    // The cell as it is now, which an edit or an undo may have changed since the search.
    const QString text = SearchScope::cellText(model, entry->file(), entry->dataType());
    bool hasNumber = false;
    qint64 number = 0;
    if (isIntegerVariant(m_value))
        number = SearchScope::cellNumber(model, entry->file(), entry->dataType(), &hasNumber);
    const QList<SearchMatch> matches = matchCell(text, hasNumber, number);
    if (matches.isEmpty())
        return false;
    AudioTag *tag = operation->workingTag(entry->file());
    if (!tag)
        return false;
    return tag->setItemValue(entry->dataType().id, QVariant(replacedText(text, matches)), 0) >= 0;
}

int SearchQuery::replaceAll(ModelUpdateOperation *operation)
{
    if (!m_result)
        return 0;
    int count = 0;
    for (const SearchResultEntry *entry : m_result->entries()) {
        if (replaceEntry(entry, operation))
            ++count;
    }
    return count;
}

bool SearchQuery::replaceCurrent(ModelUpdateOperation *operation)
{
    QObject scratch;
    return replaceEntry(match(&scratch), operation);
}

void SearchQuery::updateForModel()
{
    m_scope.update();
    if (m_result)
        m_result->updateForScope(m_scope);
}
