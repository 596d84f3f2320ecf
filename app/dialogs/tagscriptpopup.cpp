#include "app/dialogs/tagscriptpopup.h"

#include <QHeaderView>
#include <QScrollBar>

#include "app/model/datatypemodel.h"
#include "app/model/modeldatatype.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/textmatching.h"
#include "libgui/itemviews/extsortfilterproxymodel.h"
#include "libgui/layout/layoututil.h"

namespace {

// Letters and digits of ASCII, and the characters that may stand inside a script token.
bool isTokenChar(quint32 c)
{
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    switch (c) {
    case '_': case ' ': case '!': case '&': case '|': case '<': case '>': case '=':
    case '+': case '-': case '*': case '/':
        return true;
    default:
        return false;
    }
}

bool isSeparator(quint32 c)
{
    switch (c) {
    case ' ': case '-': case '_': case '(': case ')': case '[': case ']': case ',':
        return true;
    default:
        return false;
    }
}

bool matches(const QStandardItem *item, const QString &prefix, bool singleSymbol, bool number)
{
    if (singleSymbol)
        return item->text().startsWith(prefix, Qt::CaseInsensitive);
    if (number)
        return false;
    return item->text().contains(prefix, Qt::CaseInsensitive)
           || item->data(DataTypeModel::KeyRole).toString().contains(prefix, Qt::CaseInsensitive);
}

// Marks the rows below and at the item; true when the item is visible.
bool mark(QStandardItem *item, const QString &prefix, bool singleSymbol, bool number)
{
    bool childVisible = false;
    for (int row = 0; row < item->rowCount(); ++row) {
        if (QStandardItem *child = item->child(row, 0))
            childVisible = mark(child, prefix, singleSymbol, number) || childVisible;
    }
    const bool visible = childVisible || (item->isSelectable() && matches(item, prefix, singleSymbol, number));
    item->setData(visible, TagScriptPopup::VisibleRole);
    return visible;
}

} // namespace

TagScriptPopup::TagScriptPopup(int kind, QWidget *parent)
    : QTreeView(parent), m_kind(kind), m_proxy(new ExtSortFilterProxyModel(this))
{
    m_proxy->setFilterRole(VisibleRole);
    m_proxy->setFilterKeyColumn(0);
    m_proxy->setRecursiveFilteringEnabled(false);
    m_proxy->setFilterValue(true);
    setModel(m_proxy);
    if (kind == 0) {
        m_sourceModel = new DataTypeModel(allDataTypes(),
                                          DataTypeModel::DataTypeSnippets | DataTypeModel::SpecialVariables
                                              | DataTypeModel::ScriptFunctions,
                                          this);
    } else {
        m_sourceModel = new DataTypeModel(dataTypesOfCategories({ModelDataType::CategoryTagItem}), {}, this);
    }
    m_proxy->setSourceModel(m_sourceModel);
    header()->setStretchLastSection(false);
    setHeaderHidden(true);
    filter(QString());
}

TagScriptPopup::~TagScriptPopup() = default;

QSize TagScriptPopup::sizeHint() const
{
    return QSize(qMax(100, minimumWidth()), QAbstractScrollArea::sizeHint().height());
}

int TagScriptPopup::completionRole()
{
    return DataTypeModel::KeyRole;
}

void TagScriptPopup::updateContentAssist(const QString &text, int cursorPosition)
{
    m_replaceStart = cursorPosition;
    m_replaceLength = 0;
    CodePointIterator it(text);
    const int end = qMin(int(text.size()), cursorPosition);
    const auto nextIs = [&](quint32 c) { return it.hasNext() && it.current().value() == c; };
    while (it.position < end) {
        const quint32 c = it.next().value();
        if (c == '\'') {
            if (!it.hasNext())
                break;
            if (nextIs('\'')) {
                it.next();
                continue;
            }
            // A literal, closed or not, holds no token.
            while (it.hasNext() && it.next().value() != '\'') {
            }
        } else if (c == '%') {
            if (nextIs('%')) {
                it.next();
                continue;
            }
            m_replaceStart = it.position - 1;
            while (it.hasNext()) {
                const quint32 d = it.current().value();
                if (!isTokenChar(d) && d != '%')
                    break;
                it.next();
                if (d == '%')
                    break;
            }
            m_replaceLength = it.position - m_replaceStart;
        } else if (c == '$') {
            if (nextIs('$')) {
                it.next();
                continue;
            }
            m_replaceStart = it.position - 1;
            while (it.hasNext() && isTokenChar(it.current().value()))
                it.next();
            m_replaceLength = it.position - m_replaceStart;
        } else if (isSeparator(c)) {
            m_replaceStart = it.position;
            m_replaceLength = 0;
        } else if (isTokenChar(c)) {
            m_replaceStart = it.position - 1;
            while (it.hasNext() && isTokenChar(it.current().value()) && !isSeparator(it.current().value()))
                it.next();
            m_replaceLength = it.position - m_replaceStart;
        }
    }
    filter(text.mid(m_replaceStart, qMin(cursorPosition - m_replaceStart, m_replaceLength)));
}

void TagScriptPopup::filter(const QString &prefix)
{
    const QList<uint> codePoints = prefix.toUcs4();
    const bool singleSymbol = codePoints.size() == 1 && !QChar::isLetterOrNumber(char32_t(codePoints.first()))
                              && codePoints.first() != '%' && codePoints.first() != '$';
    const bool number = !singleSymbol && isDecimalNumber(prefix);
    QStandardItem *root = m_sourceModel->invisibleRootItem();
    for (int row = 0; row < root->rowCount(); ++row) {
        if (QStandardItem *item = root->child(row, 0))
            mark(item, prefix, singleSymbol, number);
    }
    m_proxy->invalidate();

    if (!currentIndex().isValid()) {
        QModelIndex index = m_proxy->index(0, 0);
        while (index.isValid() && !(index.flags() & Qt::ItemIsSelectable))
            index = m_proxy->index(0, 0, index);
        if (index.isValid())
            setCurrentIndex(index);
    }

    expandAll();
    fitViewColumnsToContents(this);
    const QScrollBar *bar = verticalScrollBar();
    setMinimumWidth(header()->length()
                    + (bar->minimum() != bar->maximum() ? bar->sizeHint().width() : 0));
}
