#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/model/iaudiofilemodel.h"
#include "app/model/modeldatatype.h"
#include "app/operations/operationqueue.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/support_shell.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

// A user's road through the program on real files made by Debian's encoders: empty
// configuration folders, a folder with sub-folders dropped on the table, a title edited in
// place, undone and redone, saved at the close, and read back by another program.
class TestJourney : public QObject
{
    Q_OBJECT
private:
    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

private Q_SLOTS:
    void journey()
    {
        for (const char *tool : {"lame", "flac", "oggenc"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("an encoder is missing");
        }
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
            QSKIP("python3 is missing");
        QTemporaryDir music;
        const QString wav = music.filePath(QStringLiteral("tone.wav"));
        QVERIFY(run(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"),
                     QStringLiteral("import wave,struct,math\nw=wave.open('%1','wb');w.setnchannels(1);w.setsampwidth(2);"
                                    "w.setframerate(22050)\nw.writeframes(b''.join(struct.pack('<h',int(8000*math.sin(i/8))) "
                                    "for i in range(22050)))\nw.close()").arg(wav)}));
        QDir(music.path()).mkpath(QStringLiteral("Album/Disc 2"));
        const QString mp3 = music.filePath(QStringLiteral("Album/one.mp3"));
        QVERIFY(run(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("--tt"), QStringLiteral("First"),
                                            wav, mp3}));
        QVERIFY(run(QStringLiteral("flac"), {QStringLiteral("--silent"), QStringLiteral("-T"), QStringLiteral("TITLE=Second"),
                                            QStringLiteral("-o"), music.filePath(QStringLiteral("Album/Disc 2/two.flac")), wav}));
        QVERIFY(run(QStringLiteral("oggenc"), {QStringLiteral("--quiet"), QStringLiteral("-t"), QStringLiteral("Third"),
                                              QStringLiteral("-o"), music.filePath(QStringLiteral("three.ogg")), wav}));
        QFile::remove(wav);

        AppMainWindow *w = testMainWindow();
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QList<ModelDataType> columns = w->model()->dataTypes();
        const int titleColumn = int(columns.indexOf(ModelDataType(TagItemType::Title)));
        QVERIFY(titleColumn >= 0);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(music.path())});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->tableView()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->tableView()->viewport(), &drop);
        QTRY_COMPARE(w->model()->audioFiles().size(), 3);

        AudioFile *first = nullptr;
        for (AudioFile *file : w->model()->audioFiles()) {
            if (file->filePath().endsWith(QLatin1String("one.mp3")))
                first = file;
        }
        QVERIFY(first);
        QCOMPARE(first->combinedTag()->itemTexts(TagItemType::Title), QStringList({"First"}));
        const QModelIndex cell =
            w->model()->itemModel()->index(int(w->model()->audioFiles().indexOf(first)), titleColumn);
        w->tableView()->setFocus();
        w->tableView()->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents();
        QTest::keyClick(w->tableView(), Qt::Key_F2);
        QLineEdit *line = inPlaceLine(w->tableView(), cell);
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("Erste Straße"));
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!w->tableView()->indexWidget(cell));
        QCOMPARE(first->combinedTag()->itemTexts(TagItemType::Title), QStringList({"Erste Straße"}));
        w->operationQueue()->undo();
        QCOMPARE(first->combinedTag()->itemTexts(TagItemType::Title), QStringList({"First"}));
        w->operationQueue()->redo();
        QCOMPARE(first->combinedTag()->itemTexts(TagItemType::Title), QStringList({"Erste Straße"}));

        QStringList asked;
        answerNextModal(QMessageBox::Save, &asked);
        QVERIFY(w->close());
        QCOMPARE(asked.size(), 1);

        QProcess mutagen;
        mutagen.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral("-c"), QStringLiteral("import sys,mutagen\nf=mutagen.File(sys.argv[1],easy=True)\n"
                                                            "sys.stdout.buffer.write(f['title'][0].encode())"),
                       first->filePath()});
        QVERIFY(mutagen.waitForFinished(60000));
        if (mutagen.exitCode() != 0 && mutagen.readAllStandardError().contains("No module named"))
            QSKIP("python3-mutagen is missing");
        QCOMPARE(QString::fromUtf8(mutagen.readAllStandardOutput()), QStringLiteral("Erste Straße"));
    }
};

QTEST_MAIN(TestJourney)
#include "tst_journey.moc"
