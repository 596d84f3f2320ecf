#include "app/dialogs/textprocessingdialog.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QSpacerItem>
#include <QTableView>
#include <QVBoxLayout>

#include "app/dialogs/howtoremovegroupbox.h"
#include "app/dialogs/whattoinsertgroupbox.h"
#include "app/dialogs/whattoremovegroupbox.h"
#include "app/dialogs/wheretoinsertgroupbox.h"
#include "app/model/extmimedata.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/iappmainwindow.h"
#include "app/tagscript/scriptvariables.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/text/codepoint.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

bool isBlank(const CodePoint &c)
{
    return c.isSpace();
}

} // namespace

TextProcessingDialog::TextProcessingDialog(TextProcessingMode::Id mode, const AudioFileSelection &selection,
                                           OperationQueue *queue, QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags), m_mode(mode), m_selection(selection), m_queue(queue)
{
    static const char *const icons[] = {"addText", "overwriteText", "removeText"};
    static const quint32 titles[] = {InsertTextActionTextId, OverwriteTextActionTextId, RemoveTextActionTextId};
    const int m = qBound(0, int(mode), 2);
    setWindowIcon(loadIcon(QLatin1String(icons[m])));
    setWindowTitle(upperCaseFirst(textForId(titles[m])));

    setSizeFixed(true);
    auto *layout = new QVBoxLayout;
    if (mode != TextProcessingMode::Remove)
        layout->addItem(new QSpacerItem(600, 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
    m_whereToInsert = new WhereToInsertGroupBox;
    m_howToRemove = new HowToRemoveGroupBox;
    m_whatToRemove = new WhatToRemoveGroupBox;
    m_whatToInsert = new WhatToInsertGroupBox;
    layout->addWidget(m_whereToInsert);
    layout->addWidget(m_howToRemove);
    layout->addWidget(m_whatToRemove);
    layout->addWidget(m_whatToInsert);
    m_whereToInsert->setVisible(mode == TextProcessingMode::Insert);
    m_howToRemove->setVisible(mode == TextProcessingMode::Remove);
    m_whatToRemove->setVisible(mode != TextProcessingMode::Insert);
    m_whatToInsert->setVisible(mode != TextProcessingMode::Remove);
    if (mode == TextProcessingMode::Overwrite)
        m_whatToRemove->setTitle(upperCaseFirst(textForId(WhatToOverwriteTitleTextId)));
    else if (mode == TextProcessingMode::Remove)
        m_whatToRemove->setTitle(upperCaseFirst(textForId(WhatToRemoveInRemoveModeTitleTextId)));
    setContentLayout(layout);

    connect(m_whatToInsert, &WhatToInsertGroupBox::insertModeChanged, this, &TextProcessingDialog::updateGui);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TextProcessingDialog::updateGui);
    updateGui();
}

TextProcessingDialog::~TextProcessingDialog() = default;

void TextProcessingDialog::updateGui()
{
    // The clipboard's own object belongs to the clipboard; one built from its text is ours.
    if (m_clipboardData && m_clipboardData->parent() == this)
        delete m_clipboardData;
    m_clipboardData = clipboardMimeData(this);
    updateDialogGui();
}

QItemSelection TextProcessingDialog::cellRanges() const
{
    IAppMainWindow *window = IAppMainWindow::instance();
    QTableView *view = window ? window->tableView() : nullptr;
    if (!view || !view->selectionModel())
        return QItemSelection();
    return normalizeSelection(view->selectionModel()->selection());
}

ValidationResult TextProcessingDialog::validate()
{
    ValidationResult result;
    if (m_mode == TextProcessingMode::Remove)
        return result;
    result.messages = m_whatToInsert->validate(cellRanges(), m_clipboardData);
    for (const ValidationMessage &message : std::as_const(result.messages)) {
        if (message.level == LogLevel::Error)
            result.valid = false;
    }
    return result;
}

QString TextProcessingDialog::processText(const QString &text, AudioFile *file, int rowOffset, int columnOffset) const
{
    QString result = text;
    if (m_mode == TextProcessingMode::Insert) {
        const int p = m_whereToInsert->position(text);
        QString s = m_whatToInsert->textToInsert(file, m_clipboardData, rowOffset, columnOffset);
        if (m_whatToInsert->insertsClipboardText() && !s.isEmpty()) {
            const int n = codePointLength(text);
            if (p > 0 && !isBlank(codePointAt(s, 0)) && !isBlank(codePointAt(text, p - 1)))
                s.prepend(u' ');
            if (p < n && !isBlank(lastCodePoint(s)) && !isBlank(codePointAt(text, p)))
                s.append(u' ');
        }
        insertCodePoints(result, p, s);
    } else {
        const int a = m_whatToRemove->rangeStart(text);
        const int b = m_whatToRemove->rangeEnd(text);
        if (m_mode == TextProcessingMode::Overwrite)
            replaceCodePoints(result, a, b - a, m_whatToInsert->textToInsert(file, m_clipboardData, rowOffset,
                                                                             columnOffset));
        else if (m_howToRemove->removesRange())
            removeCodePoints(result, a, b - a);
        else
            result = midCodePoints(text, a, b - a);
    }
    return result;
}

void TextProcessingDialog::processCell(const QModelIndex &index, int rowOffset, int columnOffset,
                                       ModelUpdateOperation *operation)
{
    IAudioFileModel *model = m_selection.model();
    if (!model)
        return;
    AudioFile *file = model->audioFile(index);
    const ModelDataType dataType = model->dataType(index);
    if (!file || !dataType.isTagItem() || !TagItem::isTextualType(dataType.id))
        return;
    AudioTag *tag = operation->workingTag(file);
    if (!tag)
        return;
    QStringList texts = tag->itemTexts(dataType.id, QString());
    if (texts.isEmpty())
        texts.append(QString());
    QVariantList values;
    for (const QString &text : std::as_const(texts)) {
        const QString processed = processText(text, file, rowOffset, columnOffset);
        if (!processed.isEmpty())
            values.append(processed);
    }
    tag->setItemValues(dataType.id, values, false);
}

void TextProcessingDialog::accept()
{
    try {
        QObject owner;
        auto *operation = new ModelUpdateOperation(m_selection, &owner);
        const QItemSelection ranges = cellRanges();
        resetScriptCounters();
        for (const QItemSelectionRange &range : ranges) {
            const QModelIndex parent = range.parent();
            for (int row = range.top(), k = 0; row <= range.bottom(); ++row, ++k) {
                for (int column = range.left(), c = 0; column <= range.right(); ++column, ++c)
                    processCell(range.model()->index(row, column, parent), k, c, operation);
            }
        }
        if (!operation->changedCells().isEmpty() && m_queue)
            m_queue->apply(operation);
    } catch (const Exception &) {
        // Logged where it was raised; the dialog closes as the user asked.
    }
    QDialog::accept();
}
