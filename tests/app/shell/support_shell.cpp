#include "app/shell/support_shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "app/model/support_model.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/tageditorrouting.h"
#include "libgui/icons/icons.h"
#include "libcore/io/filetree.h"
#include "libcore/io/paths.h"
#include "libcore/settings/settingsstore.h"
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
        TagEditorRouting::installEventFilter();
        return AppMainWindow::instance();
    }();
    return window;
}

QLineEdit *inPlaceLine(QTableView *view, const QModelIndex &cell)
{
    QWidget *editor = view->indexWidget(cell);
    return editor ? editor->findChild<QLineEdit *>() : nullptr;
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
