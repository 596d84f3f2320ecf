#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <QUrl>

#include "app/model/artworktempfile.h"
#include "app/model/extmimedata.h"
#include "app/model/support_model.h"
#include "app/model/tagitemmimedataentry.h"
#include "app/model/variantmimedataentry.h"
#include "libcore/image/codedimage.h"
#include "libcore/io/paths.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libtagging/model/tagitem.h"

namespace {

CodedImage pngImage(QColor color, int width = 8, int height = 8)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return CodedImage(image, QStringLiteral("PNG"));
}

// A table copy cell of tag items: a 1 x n grid of item entries.
MimeDataEntry *itemCell(const QList<TagItem *> &items)
{
    auto *cell = new MimeDataEntry(1, int(items.size()));
    for (int i = 0; i < items.size(); ++i)
        cell->setEntry(i, new TagItemMimeDataEntry(items.at(i), cell));
    return cell;
}

MimeDataEntry *textCell(const QString &text)
{
    return new VariantMimeDataEntry(text, PlainFormat);
}

// A grid of rows of cells (null for an empty cell).
MimeDataEntry *grid(const QList<QList<MimeDataEntry *>> &rows)
{
    const int columns = rows.isEmpty() ? 0 : int(rows.first().size());
    auto *result = new MimeDataEntry(int(rows.size()), columns);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns; ++c)
            result->setEntry(r * columns + c, rows.at(r).at(c));
    }
    return result;
}

} // namespace

class TestMimeData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadModelTexts();
        QCoreApplication::setApplicationName(QStringLiteral("melotaxonic-test-%1").arg(QCoreApplication::applicationPid()));
    }

    void cleanupTestCase()
    {
        QDir(QDir::tempPath() + u'/' + QCoreApplication::applicationName()).removeRecursively();
    }

    void gridSlots()
    {
        MimeDataEntry grid(2, 2);
        QCOMPARE(grid.entry(-1), nullptr);
        QCOMPARE(grid.entry(4), nullptr);
        QPointer<MimeDataEntry> first = textCell(QStringLiteral("a"));
        grid.setEntry(1, first);
        QCOMPARE(first->parent(), &grid);
        grid.setEntry(1, first); // the same child again: kept
        QVERIFY(first);
        QScopedPointer<MimeDataEntry> outside(textCell(QStringLiteral("ignored")));
        grid.setEntry(9, outside.data()); // outside the grid: ignored
        QCOMPARE(outside->parent(), nullptr);
        grid.setEntry(1, textCell(QStringLiteral("b")));
        QVERIFY(!first); // the previous occupant is deleted
        grid.setEntry(1, nullptr);
        QCOMPARE(grid.entry(1), nullptr);
    }

    void gridText_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("text");
        QTest::newRow("2 x 2") << "2x2" << "a\tb\nc\td";
        QTest::newRow("empty first cell") << "empty first" << "b\nc\td";
        QTest::newRow("tabs and line feeds inside cells") << "inner breaks" << "a b\tc d";
        QTest::newRow("items of one cell show the first non-blank one") << "items" << "Second\tx";
        QTest::newRow("all empty") << "all empty" << QString();
    }

    void gridText()
    {
        QFETCH(QString, shape);
        QFETCH(QString, text);
        QObject owner;
        MimeDataEntry *top = nullptr;
        if (shape == "2x2") {
            top = grid({{textCell("a"), textCell("b")}, {textCell("c"), textCell("d")}});
        } else if (shape == "empty first") {
            top = grid({{nullptr, textCell("b")}, {textCell("c"), textCell("d")}});
        } else if (shape == "inner breaks") {
            top = grid({{textCell("a\tb"), textCell("c\nd")}});
        } else if (shape == "items") {
            top = grid({{itemCell({makeModelItem(TagItemType::Artist, QStringLiteral(" "), &owner),
                                   makeModelItem(TagItemType::Artist, QStringLiteral("Second"), &owner),
                                   makeModelItem(TagItemType::Artist, QStringLiteral("Third"), &owner)}),
                         textCell("x")}});
        } else {
            top = grid({{nullptr, textCell(" ")}});
        }
        ExtMimeData data(top);
        QCOMPARE(data.hasText(), !text.isNull());
        QCOMPARE(data.text(), text.isNull() ? QString() : text);
        QCOMPARE(top->data(MimeFormat::PlainText, 0).isValid(), !text.isNull());
    }

    void tagItemEntries()
    {
        QObject owner;
        TagItem *title = makeModelItem(TagItemType::Title, QStringLiteral("Song"), &owner);
        TagItemMimeDataEntry entry(title);
        QCOMPARE(entry.formats(0), QStringList({MimeFormat::ExtendedData, MimeFormat::RawData, MimeFormat::TagItemData,
                                                MimeFormat::PlainText}));
        // The entry holds its own copy: a later edit of the source does not reach it.
        title->fromVariant(QStringLiteral("Edited"));
        auto *copied = static_cast<TagItem *>(entry.data(MimeFormat::TagItemData, 0).value<void *>());
        QVERIFY(copied && copied != title);
        QCOMPARE(copied->toString(), QStringLiteral("Song"));
        QCOMPARE(entry.data(MimeFormat::RawData, 0).toString(), QStringLiteral("Song"));
        QCOMPARE(entry.data(MimeFormat::PlainText, 0).toString(), QStringLiteral("Song"));
        QVERIFY(!entry.data(MimeFormat::Image, 0).isValid());
        QVERIFY(!entry.data(MimeFormat::UriList, 0).isValid());
        QVERIFY(!entry.data(MimeFormat::ExtendedData, 0).isValid());

        TagItem *artwork = makeModelItem(TagItemType::Artwork, QVariant::fromValue(pngImage(Qt::red)), &owner);
        TagItemMimeDataEntry picture(artwork);
        QVERIFY(picture.formats(0).contains(MimeFormat::Image));
        QVERIFY(picture.formats(0).contains(MimeFormat::UriList));
        QVERIFY(!picture.formats(0).contains(MimeFormat::PlainText));
        QCOMPARE(picture.data(MimeFormat::Image, 0).value<QImage>().size(), QSize(8, 8));
    }

    void artworkCells()
    {
        QObject owner;
        const auto artworkCell = [&](QColor color) {
            return itemCell({makeModelItem(TagItemType::Artwork, QVariant::fromValue(pngImage(color)), &owner)});
        };
        ExtMimeData one(grid({{artworkCell(Qt::red)}}));
        QVERIFY(one.hasImage());
        QVERIFY(one.hasUrls());
        QCOMPARE(one.imageData().value<QImage>().pixelColor(0, 0), QColor(Qt::red));
        const QList<QUrl> urls = one.urls();
        QCOMPARE(urls.size(), 1);
        QVERIFY(urls.first().toLocalFile().endsWith(QStringLiteral("/folder.png")));
        QCOMPARE(CodedImage(urls.first().toLocalFile()), pngImage(Qt::red));

        ExtMimeData two(grid({{artworkCell(Qt::red), artworkCell(Qt::blue)}}));
        QVERIFY(!two.hasImage());
        QVERIFY(!two.hasUrls());
        QVERIFY(two.hasFormat(MimeFormat::ExtendedData));
    }

    void variantEntries()
    {
        VariantMimeDataEntry empty{QVariant(), PlainFormat};
        QCOMPARE(empty.formats(0), QStringList({MimeFormat::ExtendedData}));

        VariantMimeDataEntry blank(QStringLiteral("  "), PlainFormat);
        QCOMPARE(blank.formats(0), QStringList({MimeFormat::ExtendedData, MimeFormat::RawData}));

        VariantMimeDataEntry size(qint64(2048), ByteSizeFormat);
        QCOMPARE(size.data(MimeFormat::PlainText, 0).toString(), formatByteSize(2048, true));
        QCOMPARE(size.data(MimeFormat::RawData, 0), QVariant(qint64(2048)));

        VariantMimeDataEntry image(QVariant::fromValue(pngImage(Qt::green, 40, 20)), PlainFormat);
        QCOMPARE(image.formats(0), QStringList({MimeFormat::ExtendedData, MimeFormat::RawData, MimeFormat::Image,
                                                MimeFormat::UriList}));
        QCOMPARE(image.data(MimeFormat::Image, 0).value<QImage>().size(), QSize(40, 20)); // full size
        QVERIFY(!image.data(MimeFormat::PlainText, 0).isValid());

        QImage pasted(3, 3, QImage::Format_RGB32);
        pasted.fill(Qt::black);
        VariantMimeDataEntry foreignImage(pasted, PlainFormat);
        QVERIFY(foreignImage.formats(0).contains(MimeFormat::Image));
        QVERIFY(!foreignImage.data(MimeFormat::UriList, 0).isValid()); // no encoded bytes to put in a file
    }

    void pastedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows"); // -1: no grid
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("2 x 2 with a final line feed") << "a\tb\nc\td\n" << 2 << 2 << QStringList{"a", "b", "c", "d"};
        QTest::newRow("not rectangular") << "a\tb\nc" << -1 << 0 << QStringList();
        QTest::newRow("one word") << "word" << 1 << 1 << QStringList{"word"};
        QTest::newRow("empty middle line") << "a\n\nc" << 3 << 1 << QStringList{"a", "", "c"};
        QTest::newRow("lone line feed") << "\n" << 1 << 1 << QStringList{""};
        QTest::newRow("carriage returns stay") << "a\r\nb" << 2 << 1 << QStringList{"a\r", "b"};
    }

    void pastedText()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QStringList, cells);
        QGuiApplication::clipboard()->setText(text);
        QObject owner;
        ExtMimeData *data = clipboardMimeData(&owner);
        if (rows < 0) {
            QCOMPARE(data, nullptr);
            return;
        }
        QVERIFY(data);
        QCOMPARE(data->parent(), &owner);
        QCOMPARE(data->entry()->rows(), rows);
        QCOMPARE(data->entry()->columns(), columns);
        QStringList actual;
        for (int i = 0; i < rows * columns; ++i)
            actual.append(static_cast<VariantMimeDataEntry *>(data->entry()->entry(i))->value().toString());
        QCOMPARE(actual, cells);
    }

    void pastedImage()
    {
        QImage image(5, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(image);
        QObject owner;
        ExtMimeData *data = clipboardMimeData(&owner);
        QVERIFY(data);
        auto *entry = qobject_cast<VariantMimeDataEntry *>(data->entry());
        QVERIFY(entry);
        QCOMPARE(entry->value().value<QImage>().size(), QSize(5, 4));
        const QList<TagItem *> items = entry->createTagItems(TagItemType::Artwork, &owner);
        QCOMPARE(items.size(), 1); // artwork takes a plain image
        QCOMPARE(items.first()->toVariant().value<CodedImage>().width, 5);

        QGuiApplication::clipboard()->clear();
        QCOMPARE(clipboardMimeData(&owner), nullptr);
    }

    void ownDataComesBackAsItIs()
    {
        QObject owner;
        TagItem *artist = makeModelItem(TagItemType::Artist, QStringLiteral("Copied"), &owner);
        auto *copied = new ExtMimeData(grid({{itemCell({artist})}}));
        QGuiApplication::clipboard()->setMimeData(copied);
        artist->fromVariant(QStringLiteral("Edited since"));
        ExtMimeData *pasted = clipboardMimeData(&owner);
        QCOMPARE(pasted, copied);
        const QList<TagItem *> items = pasted->entry()->createTagItems(TagItemType::Artist, &owner);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first()->toString(), QStringLiteral("Copied"));
        QGuiApplication::clipboard()->clear();
    }

    void tagItemsFromEntries()
    {
        QObject owner;
        const auto artists = [&] {
            return itemCell({makeModelItem(TagItemType::Artist, QStringLiteral("A"), &owner),
                             makeModelItem(TagItemType::Artist, QStringLiteral("B"), &owner)});
        };
        // Two artists into an artist cell: clones.
        QScopedPointer<MimeDataEntry> cell(artists());
        QList<TagItem *> items = cell->createTagItems(TagItemType::Artist, &owner);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0)->toString(), QStringLiteral("A"));
        QCOMPARE(items.at(1)->toString(), QStringLiteral("B"));
        QCOMPARE(items.at(0)->parent(), &owner);
        // Into a title cell: new titles made from the text.
        items = cell->createTagItems(TagItemType::Title, &owner);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(1)->type(), int(TagItemType::Title));
        QCOMPARE(items.at(1)->toString(), QStringLiteral("B"));

        // Rows and columns of one line convert in slot order; a block does not.
        QScopedPointer<MimeDataEntry> row(grid({{textCell("1"), textCell("2"), textCell("3")}}));
        QScopedPointer<MimeDataEntry> column(grid({{textCell("1")}, {textCell("2")}, {textCell("3")}}));
        for (MimeDataEntry *entry : {row.data(), column.data()}) {
            items = entry->createTagItems(TagItemType::Title, &owner);
            QCOMPARE(items.size(), 3);
            QCOMPARE(items.at(2)->toString(), QStringLiteral("3"));
        }
        QScopedPointer<MimeDataEntry> block(grid({{textCell("1"), textCell("2")}, {textCell("3"), textCell("4")}}));
        try {
            block->createTagItems(TagItemType::Title, &owner);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 0u);
            QVERIFY(!e.logged);
        }
        // Text that no artwork item takes fails; the other cells are still converted.
        QScopedPointer<MimeDataEntry> mixed(grid({{textCell("not an image"), new VariantMimeDataEntry(
            QVariant::fromValue(pngImage(Qt::red)), PlainFormat)}}));
        QObject scratch;
        try {
            mixed->createTagItems(TagItemType::Artwork, &scratch);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 0u);
        }
        QCOMPARE(scratch.children().size(), 1);
    }

    void temporaryArtworkFile()
    {
        const CodedImage red = pngImage(Qt::red);
        const QString path = artworkTempFileUrl(red).toLocalFile();
        QVERIFY(!path.isEmpty());
        // Same bytes again: not written again (a marker put into the file survives).
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("marker");
        file.close();
        QCOMPARE(artworkTempFileUrl(red).toLocalFile(), path);
        QCOMPARE(CodedImage(path).data, QByteArray("marker"));
        // Another image of the same format overwrites the same file.
        const CodedImage blue = pngImage(Qt::blue);
        QCOMPARE(artworkTempFileUrl(blue).toLocalFile(), path);
        QCOMPARE(CodedImage(path), blue);
        // A file cleaned away meanwhile is written again.
        QVERIFY(QFile::remove(path));
        QCOMPARE(artworkTempFileUrl(blue).toLocalFile(), path);
        QCOMPARE(CodedImage(path), blue);
        QVERIFY(artworkTempFileUrl(CodedImage()).isEmpty());
    }

    // The files live in a folder of this process alone, and a link planted at a file's path
    // is never written through.
    void temporaryArtworkFileIsPrivate()
    {
        const QString path = artworkTempFileUrl(pngImage(Qt::green)).toLocalFile();
        const QFileInfo folder(parentPath(path));
        QCOMPARE(folder.absoluteFilePath(), QFileInfo(artworkTempFolder()).absoluteFilePath());
        QVERIFY(folder.absoluteFilePath() != QFileInfo(QDir::tempPath()).absoluteFilePath());
        QCOMPARE(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                         | QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(QStringLiteral("victim"));
        QFile victimFile(victim);
        QVERIFY(victimFile.open(QIODevice::WriteOnly));
        victimFile.write("precious");
        victimFile.close();
        const QString planted = withTrailingSlash(artworkTempFolder()) + QStringLiteral("folder.jpg");
        QVERIFY(QFile::link(victim, planted));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        const CodedImage jpeg(image, QStringLiteral("JPG"));
        QCOMPARE(jpeg.suffix(), QStringLiteral("jpg"));
        QVERIFY(artworkTempFileUrl(jpeg).isEmpty());
        QCOMPARE(readFile(victim), QByteArray("precious"));
        QVERIFY(QFileInfo(planted).isSymLink());
    }
};

QTEST_MAIN(TestMimeData)
#include "tst_mimedata.moc"
