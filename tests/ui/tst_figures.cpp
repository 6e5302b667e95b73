#include "TestEnvironment.h"
#include "ui/Fonts.h"
#include "ui/FontsFigures.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>
#include <QTest>

#include <algorithm>
#include <optional>

namespace {

const char* const kBoldFile = "/usr/share/fonts/truetype/quicksand/Quicksand-Bold.ttf";
const char* const kRegularFile = "/usr/share/fonts/truetype/quicksand/Quicksand-Regular.ttf";

QByteArray fileBytes(const char* path)
{
    QFile f(QString::fromUtf8(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The room a figure leaves beside its ink, as a fraction of the size.
qreal spareRoom(const QRawFont& raw, QChar figure)
{
    const QList<quint32> glyphs = raw.glyphIndexesForString(QString(figure));
    const qreal advance = raw.advancesForGlyphIndexes(glyphs).constFirst().x();
    return (advance - raw.boundingRect(glyphs.constFirst()).width()) / raw.pixelSize();
}

// The figure whose room stands out from the others' (more than 1.6 times
// their median), or none.
std::optional<char> looseFigure(const QRawFont& raw)
{
    QList<qreal> room;
    for (char c = '0'; c <= '9'; ++c)
        room.append(spareRoom(raw, QLatin1Char(c)));
    QList<qreal> sorted = room;
    std::sort(sorted.begin(), sorted.end());
    const qreal median = (sorted.at(4) + sorted.at(5)) / 2;
    for (int i = 0; i < 10; ++i) {
        if (room.at(i) > 1.6 * median)
            return char('0' + i);
    }
    return std::nullopt;
}

} // namespace

class FiguresTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // No figure of the rounded face stands apart from its neighbours at any
    // weight the program draws numbers in ("44" must not read as "4 4").
    void roundedFiguresEvenlySpaced_data()
    {
        QTest::addColumn<int>("weight");
        QTest::newRow("regular") << int(QFont::Normal);
        QTest::newRow("medium") << int(QFont::Medium);
        QTest::newRow("semibold") << int(QFont::DemiBold);
        QTest::newRow("bold") << int(QFont::Bold);
        QTest::newRow("heavy") << int(QFont::ExtraBold);
        QTest::newRow("black") << int(QFont::Black);
    }
    void roundedFiguresEvenlySpaced()
    {
        QFETCH(int, weight);
        QFont f = Fonts::system(100, QFont::Weight(weight), Fonts::Design::Rounded);
        f.setPixelSize(100);
        const QRawFont raw = QRawFont::fromFont(f);
        QVERIFY(raw.isValid());
        const std::optional<char> loose = looseFigure(raw);
        QVERIFY2(!loose, qPrintable(QStringLiteral("figure %1 in %2 %3").arg(loose.value_or('-')).arg(raw.familyName(), raw.styleName())));
        // Whatever the cut, it is still the rounded face and at least as
        // heavy as asked for the bold weights.
        if (weight >= QFont::DemiBold)
            QCOMPARE(QFontInfo(f).bold(), true);
        const QFontMetricsF fm(f);
        QCOMPARE(fm.horizontalAdvance(QStringLiteral("44")), 2 * fm.horizontalAdvance(QStringLiteral("4")));
    }

    void mend_data()
    {
        QTest::addColumn<QByteArray>("font");
        QTest::addColumn<QByteArray>("family");
        QTest::addColumn<bool>("mended");
        const QByteArray bold = fileBytes(kBoldFile);
        QTest::newRow("bold cut") << bold << QByteArray("BwRounded") << true;
        QTest::newRow("regular cut: nothing to mend") << fileBytes(kRegularFile) << QByteArray("BwRounded") << false;
        QTest::newRow("name of another length") << bold << QByteArray("Other") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray("BwRounded") << false;
        QTest::newRow("not a font") << QByteArray(4096, 'x') << QByteArray("BwRounded") << false;
        QTest::newRow("cut short") << bold.left(2000) << QByteArray("BwRounded") << false;
    }
    void mend()
    {
        QFETCH(QByteArray, font);
        QFETCH(QByteArray, family);
        QFETCH(bool, mended);
        if (font.isEmpty() && QTest::currentDataTag() != QByteArray("empty"))
            QSKIP("rounded face not installed");
        const QByteArray out = Fonts::mendFigures(font, family, 1.6);
        QCOMPARE(!out.isEmpty(), mended);
        if (!mended)
            return;
        QCOMPARE(out.size(), font.size());
        const QRawFont before(font, 100);
        const QRawFont after(out, 100);
        QVERIFY(after.isValid());
        QCOMPARE(after.familyName(), QString::fromLatin1(family));
        QCOMPARE(looseFigure(before), std::optional<char>('4'));
        QCOMPARE(looseFigure(after), std::nullopt);
        for (char c = '0'; c <= '9'; ++c) {
            const QList<quint32> g = after.glyphIndexesForString(QString(QLatin1Char(c)));
            // The ink itself is untouched; only the loose figure moves.
            QCOMPARE(after.boundingRect(g[0]).width(), before.boundingRect(g[0]).width());
            if (c != '4')
                QCOMPARE(after.advancesForGlyphIndexes(g), before.advancesForGlyphIndexes(g));
        }
    }
};

QTEST_MAIN(FiguresTest)
#include "tst_figures.moc"
