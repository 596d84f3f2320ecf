#include "libgui/widgets/taskwidget.h"

#include <QAction>
#include <QActionEvent>
#include <QGridLayout>
#include <QLabel>
#include <QTextDocument>

#include "libgui/icons/icons.h"
#include "libgui/layout/layoututil.h"

namespace {

// What a row shows for the action; empty when the action gets no row.
QString taskText(const QAction *action)
{
    QString text = action->whatsThis();
    if (text.isEmpty() || Qt::mightBeRichText(text))
        text = action->text();
    if (text.isEmpty())
        text = action->toolTip();
    if (text.isEmpty())
        text = action->iconText();
    return text;
}

bool isDisabledInChain(const QObject *object)
{
    for (; object; object = object->parent()) {
        const auto *widget = qobject_cast<const QWidget *>(object);
        if (widget && widget->testAttribute(Qt::WA_Disabled))
            return true;
    }
    return false;
}

} // namespace

TaskWidget::TaskWidget(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    auto *grid = new QGridLayout(this);
    grid->setSpacing(10);
    entryLayout = new QVBoxLayout();
    grid->addLayout(entryLayout, 0, 0, Qt::AlignCenter);
    titleLabel = new QLabel(this);
    entryLayout->addWidget(titleLabel, 0, Qt::AlignHCenter);
    entryLayout->addSpacing(14);
}

QString TaskWidget::title() const
{
    return titleLabel->text();
}

void TaskWidget::setTitle(const QString &text)
{
    titleLabel->setText(text);
}

void TaskWidget::updateTasks()
{
    setWidgetConcealed(this, true);
    entryLayout->removeWidget(titleLabel);
    clearLayout(entryLayout, true);
    entryLayout->addWidget(titleLabel, 0, Qt::AlignHCenter);
    entryLayout->addSpacing(14);

    const QList<QAction *> taskActions = actions();
    for (QAction *action : taskActions) {
        if (!action->isVisible())
            continue;
        QString text = taskText(action);
        if (text.isEmpty())
            continue;
        auto *row = new QHBoxLayout();
        entryLayout->addLayout(row);
        entryLayout->setAlignment(row, Qt::AlignLeft);
        const bool enabled = action->isEnabled() && !isDisabledInChain(action->parent());
        if (!action->icon().isNull()) {
            QLabel *icon = createIconLabel(action->icon(), defaultIconSize(), this);
            icon->setEnabled(enabled);
            row->addWidget(icon);
        }
        if (enabled && !action->signalsBlocked())
            text = QStringLiteral("<a href='.'>%1</a>").arg(text);
        auto *label = new QLabel(text, this);
        label->setEnabled(enabled);
        label->setContextMenuPolicy(Qt::NoContextMenu);
        connect(label, &QLabel::linkActivated, action, &QAction::trigger);
        row->addWidget(label);
    }
    setWidgetConcealed(this, false);
}

void TaskWidget::actionEvent(QActionEvent *event)
{
    QWidget::actionEvent(event);
    if (!autoUpdate)
        return;
    for (const QObject *object = this; object; object = object->parent()) {
        const auto *widget = qobject_cast<const QWidget *>(object);
        if (!widget || !widget->layout())
            return;
    }
    updateTasks();
}
