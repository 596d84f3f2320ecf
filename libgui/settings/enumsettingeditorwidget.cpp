#include "libgui/settings/enumsettingeditorwidget.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "libcore/settings/settingsstore.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/buttons/wordwrappedbutton.h"
#include "libgui/icons/icons.h"

enum EnumSettingEditorTextId : quint32 {
    EnumSettingMoveUpTextId = 3975614492u,
    EnumSettingMoveDownTextId = 637798468u,
};

EnumSettingEditorWidget::EnumSettingEditorWidget(const QString &key, Style style, QWidget *parent)
    : SettingEditorWidget(key, parent), style(style)
{
    if (style == OrderedCheckList) {
        static const QSize iconSize(defaultIconSize(), defaultIconSize());
        boxLayout = new QHBoxLayout(this);
        listWidget = new QListWidget();
        listWidget->setIconSize(iconSize);
        boxLayout->addWidget(listWidget);
        connect(listWidget, &QListWidget::currentRowChanged, this, &EnumSettingEditorWidget::updateGui);
        connect(listWidget, &QListWidget::itemChanged, this, &SettingEditorWidget::valueChanged);
        auto *buttons = new QVBoxLayout();
        buttons->setAlignment(Qt::AlignTop);
        boxLayout->addLayout(buttons);
        static const QIcon upIcon = loadIcon(QStringLiteral("up"));
        static const QIcon downIcon = loadIcon(QStringLiteral("down"));
        upButton = new QToolButton();
        upButton->setIcon(upIcon);
        upButton->setIconSize(iconSize);
        upButton->setToolTip(upperCaseFirst(textForId(EnumSettingMoveUpTextId)));
        downButton = new QToolButton();
        downButton->setIcon(downIcon);
        downButton->setIconSize(iconSize);
        downButton->setToolTip(upperCaseFirst(textForId(EnumSettingMoveDownTextId)));
        buttons->addWidget(upButton);
        buttons->addWidget(downButton);
        connect(upButton, &QToolButton::clicked, this, &EnumSettingEditorWidget::onUpButtonClicked);
        connect(downButton, &QToolButton::clicked, this, &EnumSettingEditorWidget::onDownButtonClicked);
        updateGui();
    } else {
        boxLayout = new QVBoxLayout(this);
    }
    boxLayout->setContentsMargins(0, 0, 0, 0);
}

void EnumSettingEditorWidget::addOption(const QString &text, const QVariant &value)
{
    QAbstractButton *button = nullptr;
    if (style == RadioButtons) {
        auto *radio = new ExtRadioButton(text);
        radio->setWordWrap(true);
        radioButtons.append(radio);
        button = radio;
    } else if (style == CheckBoxes) {
        auto *check = new ExtCheckBox(text);
        check->setWordWrap(true);
        checkBoxes.append(check);
        button = check;
    } else {
        auto *item = new QListWidgetItem(itemIcon, text);
        item->setData(Qt::UserRole, value);
        item->setData(Qt::CheckStateRole, Qt::Unchecked);
        listWidget->addItem(item);
        updateGui();
        return;
    }
    boxLayout->addWidget(button);
    button->setProperty("value", value);
    connect(button, &QAbstractButton::toggled, this, &SettingEditorWidget::valueChanged);
}

QList<QVariant> EnumSettingEditorWidget::selectedValues() const
{
    QList<QVariant> values;
    if (style == RadioButtons) {
        for (const ExtRadioButton *button : radioButtons) {
            if (button->isChecked())
                return {button->property("value")};
        }
    } else if (style == CheckBoxes) {
        for (const ExtCheckBox *box : checkBoxes) {
            if (box->isChecked())
                values.append(box->property("value"));
        }
    } else {
        for (int row = 0; row < listWidget->count(); ++row) {
            const QListWidgetItem *item = listWidget->item(row);
            if (item->data(Qt::CheckStateRole).toInt() == Qt::Checked)
                values.append(item->data(Qt::UserRole));
        }
    }
    return values;
}

void EnumSettingEditorWidget::setSelectedValues(const QList<QVariant> &values)
{
    if (style == RadioButtons) {
        // Exclusive buttons cannot all be unchecked while the group is exclusive.
        for (ExtRadioButton *button : std::as_const(radioButtons)) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
        for (const QVariant &value : values) {
            for (ExtRadioButton *button : std::as_const(radioButtons)) {
                if (button->property("value") == value) {
                    button->setChecked(true);
                    return;
                }
            }
        }
        return;
    }
    if (style == CheckBoxes) {
        for (ExtCheckBox *box : std::as_const(checkBoxes))
            box->setChecked(false);
        for (const QVariant &value : values) {
            for (ExtCheckBox *box : std::as_const(checkBoxes)) {
                if (box->property("value") == value) {
                    box->setChecked(true);
                    break;
                }
            }
        }
        return;
    }
    for (int row = 0; row < listWidget->count(); ++row)
        listWidget->item(row)->setData(Qt::CheckStateRole, Qt::Unchecked);
    for (int position = 0; position < values.size(); ++position) {
        for (int row = 0; row < listWidget->count(); ++row) {
            if (listWidget->item(row)->data(Qt::UserRole) != values.at(position))
                continue;
            QListWidgetItem *item = listWidget->takeItem(row);
            item->setData(Qt::CheckStateRole, Qt::Checked);
            listWidget->insertItem(qMin(position, listWidget->count()), item);
            break;
        }
    }
    updateGui();
}

QString EnumSettingEditorWidget::encodeValues(const QList<QVariant> &values)
{
    QStringList parts;
    for (const QVariant &value : values) {
        QString text = value.toString();
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        text.replace(QLatin1Char(','), QStringLiteral("\\,"));
        parts.append(text);
    }
    return parts.join(QLatin1Char(','));
}

QList<QVariant> EnumSettingEditorWidget::decodeValues(const QString &text, bool isList)
{
    QStringList parts;
    if (!isList) {
        parts.append(text);
    } else {
        QString part;
        bool escaped = false;
        CodePointIterator it(text);
        while (it.hasNext()) {
            const CodePoint c = it.next();
            if (escaped) {
                part += c.toString();
                escaped = false;
            } else if (c == CodePoint('\\')) {
                escaped = true;
            } else if (c == CodePoint(',')) {
                parts.append(part);
                part.clear();
            } else {
                part += c.toString();
            }
        }
        parts.append(part);
    }
    QList<QVariant> values;
    for (const QString &part : std::as_const(parts)) {
        bool isNumber = false;
        const int number = part.toInt(&isNumber, 10);
        values.append(isNumber ? QVariant(number) : QVariant(part));
    }
    return values;
}

QList<QVariant> EnumSettingEditorWidget::settingValues(const QString &key, bool isList)
{
    return decodeValues(SettingsStore::value(key), isList);
}

void EnumSettingEditorWidget::load()
{
    setSelectedValues(settingValues(key(), style != RadioButtons));
}

void EnumSettingEditorWidget::store()
{
    const QList<QVariant> values = selectedValues();
    if (style == RadioButtons)
        SettingsStore::setValue(key(), values.isEmpty() ? QString() : values.first().toString());
    else
        SettingsStore::setValue(key(), encodeValues(values));
}

void EnumSettingEditorWidget::updateGui()
{
    if (!listWidget || !upButton || !downButton)
        return;
    const int row = listWidget->currentRow();
    const int count = listWidget->count();
    upButton->setEnabled(row > 0);
    downButton->setEnabled(row != -1 && row < count - 1);
}

void EnumSettingEditorWidget::moveCurrentRow(int offset)
{
    const int row = listWidget->currentRow();
    const int target = row + offset;
    if (row < 0 || target < 0 || target >= listWidget->count())
        return;
    QListWidgetItem *item = listWidget->takeItem(row);
    listWidget->insertItem(target, item);
    listWidget->setCurrentRow(target);
    Q_EMIT valueChanged();
}

void EnumSettingEditorWidget::onUpButtonClicked()
{
    moveCurrentRow(-1);
}

void EnumSettingEditorWidget::onDownButtonClicked()
{
    moveCurrentRow(1);
}
