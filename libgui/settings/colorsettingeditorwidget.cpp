#include "libgui/settings/colorsettingeditorwidget.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/itemviews/colors.h"

enum ColorSettingEditorTextId : quint32 {
    ColorSettingChangeTextId = 2625058322u,
};

ColorSettingEditorWidget::ColorSettingEditorWidget(const QString &key, QWidget *parent)
    : SettingEditorWidget(key, parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    swatch = new QLabel();
    swatch->setBackgroundRole(QPalette::Window);
    swatch->setAutoFillBackground(true);
    swatch->setFrameStyle(QFrame::StyledPanel);
    layout->addWidget(swatch);

    static const QIcon icon = loadIcon(QStringLiteral("color"));
    changeButton = new QToolButton();
    changeButton->setIcon(icon);
    changeButton->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    changeButton->setToolTip(upperCaseFirst(textForId(ColorSettingChangeTextId)));
    connect(changeButton, &QToolButton::clicked, this, &ColorSettingEditorWidget::onChangeColor);
    layout->addWidget(changeButton);
}

QColor ColorSettingEditorWidget::color() const
{
    return swatch->palette().color(QPalette::Window);
}

void ColorSettingEditorWidget::setColor(const QColor &color)
{
    QPalette palette = swatch->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(color));
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(contrastColor(color)));
    swatch->setPalette(palette);
    Q_EMIT valueChanged();
}

void ColorSettingEditorWidget::onChangeColor()
{
    const QColor chosen = QColorDialog::getColor(color(), this);
    if (chosen.isValid())
        setColor(chosen);
}

void ColorSettingEditorWidget::load()
{
    const QColor stored = QColor::fromString(SettingsStore::value(key()));
    if (stored.isValid())
        setColor(stored);
}

void ColorSettingEditorWidget::store()
{
    SettingsStore::setValue(key(), color().name());
}
