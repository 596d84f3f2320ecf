#include "libgui/combos/extcombobox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QMap>
#include <QMutex>
#include <QWheelEvent>

#include "libcore/locale/localetables.h"
#include "libcore/util/listutil.h"
#include "libgui/layout/layoututil.h"

ExtComboBox::ExtComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, qOverload<int>(&QComboBox::activated), this, &ExtComboBox::onActivated);
    setFocusPolicy(Qt::StrongFocus);
}

QEvent::Type ExtComboBox::hideNotificationType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void ExtComboBox::showPopup()
{
    QComboBox::showPopup();
    Q_EMIT popupShown();
}

void ExtComboBox::hidePopup()
{
    hidePending = true;
    activatedWhileHiding = false;
    QComboBox::hidePopup();
    // Posted, so that receivers run after the activation that closed the popup.
    QCoreApplication::postEvent(this, new QEvent(hideNotificationType()));
}

bool ExtComboBox::event(QEvent *event)
{
    if (event->type() == hideNotificationType()) {
        hidePending = false;
        Q_EMIT popupHidden(activatedWhileHiding);
        return true;
    }
    return QComboBox::event(event);
}

void ExtComboBox::onActivated()
{
    if (!hidePending)
        return;
    QAbstractItemView *popupView = view();
    const QModelIndex viewRoot = popupView->rootIndex();
    setRootModelIndex(popupView->currentIndex().parent());
    popupView->setRootIndex(viewRoot);
    activatedWhileHiding = true;
}

void ExtComboBox::wheelEvent(QWheelEvent *event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void ExtComboBox::showPopupInstantly()
{
    static QMutex mutex;
    const QMutexLocker locker(&mutex);
    const bool animated = QApplication::isEffectEnabled(Qt::UI_AnimateCombo);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    showPopup();
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, animated);
}

ValidatedInputComboBox::ValidatedInputComboBox(QWidget *parent) : ExtComboBox(parent)
{
    setEditable(true);
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    setInsertPolicy(QComboBox::NoInsert);
    connect(qApp, &QApplication::focusChanged, this, &ValidatedInputComboBox::onFocusChanged);
}

ValidatedInputComboBox::~ValidatedInputComboBox()
{
    // Deleting the focused line edit moves the focus while QWidget tears this object down.
    disconnect(qApp, &QApplication::focusChanged, this, &ValidatedInputComboBox::onFocusChanged);
}

int ValidatedInputComboBox::inputIndex() const
{
    const QString typed = currentText();
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return -1;
    const int current = currentIndex();
    if (current >= 0 && itemText(current) == typed)
        return current;
    const int found = findData(trimmed, Qt::DisplayRole, Qt::MatchFixedString);
    return found >= 0 ? found : current;
}

void ValidatedInputComboBox::onFocusChanged(QWidget *old, QWidget *now)
{
    if (!isInWidgetChain(this, old) || isInWidgetChain(this, now))
        return;
    const int index = inputIndex();
    setCurrentIndex(index);
    // An unchanged index leaves the typed text alone; the text must show the item.
    setEditText(index >= 0 ? itemText(index) : QString());
}

namespace {

// Room for 25 characters whatever the items: Qt 6 leaves the minimum contents length out of
// the size hint of a combo box that adjusts to its contents.
void setTableComboWidth(QComboBox *combo)
{
    combo->setMinimumContentsLength(25);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

template<typename Row>
void addSortedItems(QComboBox *combo, QList<Row> rows, QString Row::*name, QString Row::*code)
{
    ListUtil::sort(rows, true, [name](const Row &a, const Row &b) { return a.*name < b.*name; });
    for (const Row &row : std::as_const(rows))
        combo->addItem(QIcon(), row.*name, row.*code);
}

} // namespace

ScriptComboBox::ScriptComboBox(QWidget *parent) : ValidatedInputComboBox(parent)
{
    setTableComboWidth(this);
    addSortedItems(this, scriptTable(), &ScriptInfo::name, &ScriptInfo::iso15924);
}

LanguageComboBox::LanguageComboBox(QWidget *parent) : ValidatedInputComboBox(parent)
{
    setTableComboWidth(this);
    addSortedItems(this, languageTable(), &LanguageInfo::name, &LanguageInfo::iso639_2T);
}

CountryComboBox::CountryComboBox(QWidget *parent) : ValidatedInputComboBox(parent)
{
    setTableComboWidth(this);
    addSortedItems(this, countryTable(), &CountryInfo::name, &CountryInfo::iso3166_1_A2);
}

LocaleComboBox::LocaleComboBox(QWidget *parent) : ValidatedInputComboBox(parent)
{
    setTableComboWidth(this);
    QMap<QString, QString> locales;
    const QList<QLocale> all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale &locale : all) {
        const QString name = localeDisplayName(locale);
        if (!name.isEmpty())
            locales.insert(name, locale.bcp47Name());
    }
    for (auto it = locales.constBegin(); it != locales.constEnd(); ++it)
        addItem(QIcon(), it.key(), it.value());
}

QModelIndex currentModelIndex(const QComboBox *combo)
{
    if (!combo->model())
        return QModelIndex();
    return combo->model()->index(combo->currentIndex(), combo->modelColumn(), combo->rootModelIndex());
}

void setCurrentModelIndex(QComboBox *combo, const QModelIndex &index)
{
    if (!index.isValid() || index.model() != combo->model()) {
        combo->setRootModelIndex(QModelIndex());
        combo->setCurrentIndex(-1);
    } else {
        const QModelIndex viewRoot = combo->view()->rootIndex();
        combo->setRootModelIndex(index.parent());
        combo->setCurrentIndex(index.row());
        combo->setModelColumn(index.column());
        combo->view()->setRootIndex(viewRoot);
    }
    combo->view()->setCurrentIndex(index);
}
