#include "app/dialogs/whattoinsertgroupbox.h"

#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/simplepatterneditorwidget.h"
#include "app/model/extmimedata.h"
#include "app/model/mimedataentry.h"
#include "app/tagscript/tagscript.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/extlineedit.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libgui/layout/layoututil.h"
#include "libgui/numbers/extspinbox.h"
#include "libtagging/model/tagitem.h"

namespace {

QRadioButton *addRadioButton(QVBoxLayout *layout, quint32 textId, QWidget *box)
{
    auto *button = new QRadioButton(upperCaseFirst(textForId(textId)), box);
    layout->addWidget(button);
    QObject::connect(button, SIGNAL(clicked(bool)), box, SLOT(updateGui()));
    return button;
}

void addIndented(QVBoxLayout *layout, QWidget *widget)
{
    auto *indent = new QVBoxLayout;
    indent->setContentsMargins(radioButtonIndent());
    indent->addWidget(widget);
    layout->addLayout(indent);
}

ExtSpinBox *addCounterRow(QGridLayout *grid, int row, quint32 textId, int minimum, int maximum, int value,
                          QWidget *box)
{
    grid->addWidget(new QLabel(upperCaseFirst(textForId(textId)), box), row, 0);
    auto *spinBox = new ExtSpinBox(box);
    spinBox->setRange(minimum, maximum);
    spinBox->setValue(value);
    grid->addWidget(spinBox, row, 1);
    return spinBox;
}

} // namespace

WhatToInsertGroupBox::WhatToInsertGroupBox(QWidget *parent) : QGroupBox(parent)
{
    setTitle(upperCaseFirst(textForId(WhatToInsertTitleTextId)));
    auto *layout = new QVBoxLayout(this);

    textButton = addRadioButton(layout, InsertTextTextId, this);
    textButton->setChecked(true);
    textEdit = new ExtLineEdit(this);
    addIndented(layout, textEdit);

    simplePatternButton = addRadioButton(layout, InsertSimplePatternTextId, this);
    simplePatternEditor = new SimplePatternEditorWidget(false, this);
    simplePatternEditor->addRow();
    addIndented(layout, simplePatternEditor);

    advancedPatternButton = addRadioButton(layout, InsertAdvancedPatternTextId, this);
    advancedPatternEditor = new AdvancedPatternEditorWidget(false, this);
    advancedPatternEditor->addRow();
    addIndented(layout, advancedPatternEditor);

    clipboardButton = addRadioButton(layout, InsertClipboardTextId, this);

    counterButton = addRadioButton(layout, InsertCounterTextId, this);
    auto *grid = new QGridLayout;
    grid->setAlignment(Qt::AlignLeft);
    grid->setContentsMargins(radioButtonIndent());
    const int intMin = std::numeric_limits<int>::min(), intMax = std::numeric_limits<int>::max();
    counterStartSpinBox = addCounterRow(grid, 0, CounterStartTextId, intMin, intMax, 1, this);
    counterStepSpinBox = addCounterRow(grid, 1, CounterStepTextId, intMin, intMax, 1, this);
    counterDigitsSpinBox = addCounterRow(grid, 2, CounterDigitsTextId, 1, 10, 2, this);
    layout->addLayout(grid);

    updateGui();
}

WhatToInsertGroupBox::~WhatToInsertGroupBox() = default;

void WhatToInsertGroupBox::updateGui()
{
    textEdit->setEnabled(textButton->isChecked());
    simplePatternEditor->setEnabled(simplePatternButton->isChecked());
    advancedPatternEditor->setEnabled(advancedPatternButton->isChecked());
    const bool counter = counterButton->isChecked();
    counterStartSpinBox->setEnabled(counter);
    counterStepSpinBox->setEnabled(counter);
    counterDigitsSpinBox->setEnabled(counter);
    Q_EMIT insertModeChanged();
}

bool WhatToInsertGroupBox::insertsClipboardText() const
{
    return clipboardButton->isChecked();
}

QString WhatToInsertGroupBox::patternScript() const
{
    const PatternEditorWidget *editor = simplePatternButton->isChecked()
                                            ? static_cast<const PatternEditorWidget *>(simplePatternEditor)
                                            : advancedPatternEditor;
    QString script;
    for (const QStringList &level : editor->pattern().levels)
        script += level.join(QString());
    return script;
}

QString WhatToInsertGroupBox::counterText(qint64 value, int digits)
{
    // QString::arg would pad "-1" to "0-1"; the sign goes first and only the digits are padded.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString text = QString::number(magnitude).rightJustified(qMax(0, digits), u'0');
    return value < 0 ? u'-' + text : text;
}

QString WhatToInsertGroupBox::clipboardTextAt(const QMimeData *clipboard, int rowOffset, int columnOffset)
{
    const auto *data = qobject_cast<const ExtMimeData *>(clipboard);
    if (!data || !data->entry())
        return QString();
    const MimeDataEntry *entry = data->entry();
    const int rows = entry->rows(), columns = entry->columns();
    if (rows > 0 && columns > 0) {
        const qint64 index = qint64(columns) * (rowOffset % qMax(rows, 1)) + columnOffset % qMax(columns, 1);
        entry = entry->entry(int(index));
        if (!entry)
            return QString();
    }
    return entry->data(MimeFormat::PlainText, 0).toString();
}

QString WhatToInsertGroupBox::textToInsert(AudioFile *file, const QMimeData *clipboard, int rowOffset,
                                           int columnOffset) const
{
    if (simplePatternButton->isChecked() || advancedPatternButton->isChecked()) {
        try {
            QObject owner;
            return evaluateToText(parseTagScript(patternScript(), &owner), file);
        } catch (const Exception &) {
            return QString();
        }
    }
    if (clipboardButton->isChecked())
        return clipboardTextAt(clipboard, rowOffset, columnOffset);
    if (counterButton->isChecked()) {
        const qint64 value = qint64(counterStartSpinBox->value()) + qint64(rowOffset) * counterStepSpinBox->value();
        return counterText(value, counterDigitsSpinBox->value());
    }
    return textEdit->text();
}

QList<ValidationMessage> WhatToInsertGroupBox::validate(const QItemSelection &cells, const QMimeData *clipboard) const
{
    QList<ValidationMessage> messages;
    const auto error = [&messages](quint32 textId) {
        messages.append(ValidationMessage(LogLevel::Error, upperCaseFirst(textForId(textId))));
    };
    if (clipboardButton->isChecked()) {
        const auto *data = qobject_cast<const ExtMimeData *>(clipboard);
        if (!clipboard) {
            error(NoClipboardTextTextId);
        } else if (clipboard->hasFormat(MimeFormat::ExtendedData) && data && data->entry()
                   && data->entry()->rows() * data->entry()->columns() < 2) {
            // Artwork on the clipboard is no text to insert.
            bool artwork = false;
            try {
                QObject owner;
                artwork = !data->entry()->createTagItems(TagItemType::Artwork, &owner).isEmpty();
            } catch (const Exception &) {
            }
            if (artwork)
                error(NoClipboardTextTextId);
        } else if (!clipboard->hasFormat(MimeFormat::ExtendedData) && clipboard->hasImage()) {
            error(NoClipboardTextTextId);
        }
        if (messages.isEmpty() && data && data->entry() && !isRectangularSelection(cells)
            && (data->entry()->rows() > 1 || data->entry()->columns() > 1))
            error(ClipboardNeedsRectangleTextId);
    } else if (counterButton->isChecked()) {
        if (!isRectangularSelection(cells) || selectionBoundingRect(cells).width() != 1)
            error(CounterNeedsColumnTextId);
    }
    return messages;
}
