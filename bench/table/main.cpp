#include <algorithm>
#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "app/model/audiofileloading.h"
#include "app/model/iaudiofilemodel.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/tageditorrouting.h"
#include "bench/benchoptions.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libtagging/model/tagitem.h"

// bench_table DIR
// The main window off-screen over a library loaded through the loading procedure: start-up
// to the shown window, the first paint after loading, paging through every row, sorting,
// select all (status bar and docks following) and copying every cell, and memory per file.
namespace {
qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 : 0;
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Melotaxonic"));
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() != 1)
        return Bench::fail(QStringLiteral("usage: bench_table DIR"));

    QElapsedTimer timer;
    timer.start();
    try {
        registerApplicationResources();
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    iconRootDirectories().append({QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")});
    SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
    registerTagItemTypes();
    TagEditorRouting::installEventFilter();
    AppMainWindow *window = AppMainWindow::instance();
    window->resize(1920, 1080);
    window->show();
    QApplication::processEvents();
    std::printf("start-up to a shown window: %.1f ms\n", ms(timer));

    // Loading more than 5000 files asks first: the benchmark answers Yes.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &answer, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                yes->click();
    });
    answer.start(50);
    const qint64 before = residentKiB();
    openPaths({arguments.first()}, true);
    answer.stop();
    QApplication::processEvents();
    const qint64 after = residentKiB();
    IAudioFileModel *model = window->model();
    const qsizetype rows = model->audioFiles().size();
    if (rows == 0)
        return Bench::fail(QStringLiteral("no files loaded"));
    std::printf("rows: %lld\n", qlonglong(rows));
    QTableView *table = window->tableView();
    QWidget *viewport = table->viewport();

    timer.restart();
    viewport->repaint();
    std::printf("first paint: %.2f ms\n", ms(timer));

    QList<double> pages;
    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(0);
    for (int value = 0;; value += std::max(1, bar->pageStep())) {
        bar->setValue(std::min(value, bar->maximum()));
        timer.restart();
        viewport->repaint();
        pages.append(ms(timer));
        if (bar->value() >= bar->maximum())
            break;
    }
    std::sort(pages.begin(), pages.end());
    std::printf("pages: %lld, page repaint median %.2f ms, max %.2f ms\n", qlonglong(pages.size()),
                pages.at(pages.size() / 2), pages.last());

    timer.restart();
    table->sortByColumn(2, Qt::DescendingOrder);
    std::printf("sort: %.1f ms\n", ms(timer));

    timer.restart();
    table->selectAll();
    QApplication::processEvents();
    std::printf("select all: %.1f ms, selected files %d\n", ms(timer), window->selectionFileCount());

    timer.restart();
    QString text;
    const int columns = model->itemModel()->columnCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            text += model->itemModel()->index(row, column).data().toString();
            text += column + 1 < columns ? QLatin1Char('\t') : QLatin1Char('\n');
        }
    }
    QApplication::clipboard()->setText(text);
    std::printf("copy every cell: %.1f ms, %lld characters\n", ms(timer), qlonglong(text.size()));
    std::printf("memory: %.2f KiB per loaded file\n", double(after - before) / double(rows));
    return window->selectionFileCount() == rows ? 0 : 2;
}
