#include "app/shell/support_shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "app/model/support_model.h"
#include "app/shell/appmainwindow.h"
#include "libcore/icons/icons.h"
#include "libcore/io/filetree.h"
#include "libcore/io/paths.h"
#include "libcore/settings/settingsstore.h"
#include "libgui/edits/extlineedit.h"
#include "libtagging/model/tagitem.h"

AppMainWindow *testMainWindow()
{
    static AppMainWindow *window = [] {
        static QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("HOME", home.path().toLocal8Bit());
        QCoreApplication::setApplicationName(QStringLiteral("Melotaxonic"));
        loadModelTexts();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        registerTagItemTypes();
        for (const QString &root : {QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")}) {
            if (!iconRootDirectories().contains(root))
                iconRootDirectories().append(root);
        }
        SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
        makePath(parentPath(SettingsStore::filePath(0)));
        return AppMainWindow::instance();
    }();
    return window;
}

LineTestEditor::LineTestEditor(int itemType, int mode, QWidget *parent) : TagEditorWidget(itemType, mode, parent)
{
    line = new ExtLineEdit(this);
    if (!layout())
        new QVBoxLayout(this);
    layout()->setContentsMargins(0, 0, 0, 0);
    layout()->addWidget(line);
    setFocusProxy(line);
    line->installEventFilter(this);
}

void LineTestEditor::updateGui()
{
    TagEditorWidget::updateGui();
    loadedText.clear();
    for (const TagItem *item : itemsAtRow(0)) {
        if (item) {
            loadedText = item->toString();
            break;
        }
    }
    line->setText(loadedText);
}

bool LineTestEditor::isRowModified(AudioFile *, int) const
{
    return line->text() != loadedText;
}

bool LineTestEditor::isRowEmpty(AudioFile *, int) const
{
    return line->text().isEmpty();
}

void LineTestEditor::writeRow(TagItem *item, AudioFile *, int)
{
    item->fromVariant(line->text());
}

bool LineTestEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == line && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT editingFinished(this);
            return true;
        }
        if (key == Qt::Key_Escape) {
            Q_EMIT editingCanceled(this);
            return true;
        }
    }
    return TagEditorWidget::eventFilter(watched, event);
}

void registerLineTestEditor()
{
    static TagEditorWidget::DataTypeTagEditorFactory<LineTestEditor> factory;
    static const bool registered = [] {
        TagEditorWidget::registerTagEditorFactory(false, TagItemDataType::String, &factory, true, true);
        return true;
    }();
    Q_UNUSED(registered)
}

void answerNextModal(QMessageBox::StandardButton button, QStringList *texts, int withinMs)
{
    auto *timer = new QTimer(qApp);
    QElapsedTimer clock;
    clock.start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, button, texts, withinMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (clock.elapsed() > withinMs) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (texts)
                texts->append(box->text());
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                box->reject();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            if (texts)
                texts->append(dialog->windowTitle());
            dialog->reject();
        }
    });
    timer->start();
}
