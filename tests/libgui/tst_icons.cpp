#include <QtTest>

#include <QApplication>
#include <QImage>
#include <QResource>
#include <QTemporaryDir>

#include "libcore/log/bufferedlogger.h"
#include "libgui/icons/icons.h"

namespace {
void writePng(const QString &path, int size, QRgb colour)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
}

QList<int> edges(const QIcon &icon)
{
    QList<int> list;
    for (const QSize &s : icon.availableSizes())
        list.append(s.width());
    std::sort(list.begin(), list.end());
    return list;
}
} // namespace

class TestIcons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void findIconDirectory_data();
    void findIconDirectory();
    void loadIconSizes();
    void missingIconWarnsOnce();
    void iconUrl();
    void iconDataUrlOfNullIcon();
    void applicationIcons();
    void defaultIconSize_data();
    void defaultIconSize();
    void standardMessageIcon_data();
    void standardMessageIcon();

private:
    QTemporaryDir m_dir;
    QString m_first;
    QString m_second;
};

void TestIcons::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_first = m_dir.filePath(QStringLiteral("gui/icons"));
    m_second = m_dir.filePath(QStringLiteral("app/icons/")); // a trailing slash on purpose
    writePng(m_first + QStringLiteral("/shared/16.png"), 16, qRgb(255, 0, 0));
    writePng(m_first + QStringLiteral("/plat/16.png"), 16, qRgb(255, 0, 0));
    writePng(m_first + QStringLiteral("/plat/unix/32.png"), 32, qRgb(0, 0, 255));
    writePng(m_second + QStringLiteral("shared/16.png"), 16, qRgb(0, 255, 0));
    for (int size : {16, 24, 32})
        writePng(m_second + QStringLiteral("ok/%1.png").arg(size), size, qRgb(0, 128, 0));
    QVERIFY(QResource::registerResource(QStringLiteral("melotaxonic.rcc"), QStringLiteral("/app")));
    iconRootDirectories() << m_first << m_second << QStringLiteral(":/app/icons");
}

void TestIcons::findIconDirectory_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder"); // relative to the temporary folder; "-" for none
    QTest::newRow("only in the second root") << "ok" << "app/icons/ok";
    QTest::newRow("first root wins") << "shared" << "gui/icons/shared";
    QTest::newRow("platform subfolder") << "plat" << "gui/icons/plat/unix";
    QTest::newRow("nowhere") << "absent" << "-";
    QTest::newRow("resource root") << "appIcon" << ":/app/icons/appIcon";
}

void TestIcons::findIconDirectory()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    const QString found = ::findIconDirectory(name);
    if (folder == QLatin1String("-"))
        QVERIFY(found.isNull());
    else if (folder.startsWith(QLatin1Char(':')))
        QCOMPARE(found, folder);
    else
        QCOMPARE(found, m_dir.filePath(folder));
}

void TestIcons::loadIconSizes()
{
    QCOMPARE(edges(loadIcon(QStringLiteral("ok"))), (QList<int>{16, 24, 32}));
    // The platform folder replaces the icon's folder: its 16.png is not used.
    QCOMPARE(edges(loadIcon(QStringLiteral("plat"))), (QList<int>{32}));
    QCOMPARE(loadIcon(QStringLiteral("shared")).pixmap(16).toImage().pixel(8, 8), qRgb(255, 0, 0));
}

void TestIcons::missingIconWarnsOnce()
{
    BufferedLogger logger;
    logger.setRegistered(true);
    QVERIFY(loadIcon(QStringLiteral("nothing")).isNull());
    QVERIFY(loadIcon(QStringLiteral("nothing")).isNull());
    QCOMPARE(logger.messages().size(), 1);
    QCOMPARE(logger.lastWarning().code, quint32(IconMissingWarningId));
    QCOMPARE(logger.lastWarning().arguments, QVariantList{QStringLiteral("nothing")});
    QVERIFY(::iconUrl(QStringLiteral("nothing"), 16).isNull());
}

void TestIcons::iconUrl()
{
    QCOMPARE(::iconUrl(QStringLiteral("ok"), 24), m_second + QStringLiteral("ok/24.png"));
    const QString url = ::iconUrl(QStringLiteral("ok"), 48);
    const QString prefix = QStringLiteral("data:image/png;base64,");
    QVERIFY(url.startsWith(prefix));
    const QImage image = QImage::fromData(QByteArray::fromBase64(url.mid(prefix.size()).toLatin1()), "PNG");
    QCOMPARE(image.size(), QSize(32, 32)); // the largest file; a pixmap is never scaled up
    QCOMPARE(image.pixel(16, 16), qRgb(0, 128, 0));
}

void TestIcons::iconDataUrlOfNullIcon()
{
    QVERIFY(iconDataUrl(QIcon(), 16).isNull());
}

void TestIcons::applicationIcons()
{
    const QIcon icon = loadIcon(QStringLiteral("appIcon"));
    QCOMPARE(edges(icon), (QList<int>{16, 24, 32, 48}));
    QCOMPARE(::iconUrl(QStringLiteral("appIcon"), 32), QStringLiteral(":/app/icons/appIcon/32.png"));
}

void TestIcons::defaultIconSize_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("size");
    QTest::newRow("full hd") << QSize(1920, 1080) << 24;
    QTest::newRow("qhd") << QSize(2560, 1440) << 32;
    QTest::newRow("wider, not higher") << QSize(2560, 1080) << 24;
    QTest::newRow("higher, not wider") << QSize(1920, 1200) << 24;
}

void TestIcons::defaultIconSize()
{
    QFETCH(QSize, screen);
    QFETCH(int, size);
    QCOMPARE(defaultIconSizeForScreen(screen), size);
    QCOMPARE(::defaultIconSize(),
             defaultIconSizeForScreen(QGuiApplication::primaryScreen()->geometry().size()));
}

void TestIcons::standardMessageIcon_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("null");
    QTest::newRow("information") << 0 << false;
    QTest::newRow("warning") << 1 << false;
    QTest::newRow("critical") << 2 << false;
    QTest::newRow("question") << 3 << false;
    QTest::newRow("no level") << 4 << true;
    QTest::newRow("negative") << -1 << true;
}

void TestIcons::standardMessageIcon()
{
    QFETCH(int, level);
    QFETCH(bool, null);
    QCOMPARE(::standardMessageIcon(level).isNull(), null);
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
