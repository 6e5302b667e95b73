#include "TestEnvironment.h"
#include "ui/AppLook.h"
#include "ui/ButtonArt.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/ChromePanel.h"
#include "ui/ChromeShape.h"
#include "ui/ChromeShapeStretch.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"
#include "ui/ToolIcon.h"
#include "ui/ToolScaffold.h"
#include "ui/LineLabel.h"
#include "ui/StyledLabel.h"
#include "ui/TextLine.h"
#include "ui/WrapLabel.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRawFont>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(ToolScaffold::Credit)

namespace {

// The shape painted on white, at a device pixel ratio of `scale`.
QImage renderShape(bool pressed, bool forText, QSizeF size = {120, 40}, qreal scale = 2.0)
{
    const QMarginsF room(10, 10, 10, 10);
    const QSizeF total = size + QSizeF(room.left() + room.right(), room.top() + room.bottom());
    QImage img((total * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::white);
    QPainter p(&img);
    ChromeShape::paint(p, QRectF(QPointF(room.left(), room.top()), size), ChromeShape::Outline::capsule(), pressed,
                       forText);
    p.end();
    return img;
}

// Mean lightness of a rectangle given in logical units.
qreal meanLightness(const QImage& img, const QRectF& logical)
{
    const qreal s = img.devicePixelRatio();
    const QRect r = QRectF(logical.topLeft() * s, logical.size() * s).toRect().intersected(img.rect());
    qreal sum = 0;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            sum += QColor(img.pixel(x, y)).lightnessF();
            ++n;
        }
    return n ? sum / n : 0;
}

// How many physical rows below the shape's bottom edge are darkened by the
// shadow (lightness below 0.99) in the middle column.
int shadowRows(const QImage& img, qreal shapeBottom)
{
    const qreal s = img.devicePixelRatio();
    const int x = img.width() / 2;
    int rows = 0;
    for (int y = int(std::ceil(shapeBottom * s)) + 1; y < img.height(); ++y) {
        if (QColor(img.pixel(x, y)).lightnessF() < 0.99)
            ++rows;
        else
            break;
    }
    return rows;
}

// How many pixels of the image match.
int countPixels(const QImage& img, const std::function<bool(const QColor&)>& match)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += match(QColor::fromRgba(img.pixel(x, y)));
    return n;
}

QImage solidPng(const QColor& c)
{
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

} // namespace

class ChromeTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_art;

private Q_SLOTS:
    // A panel's shadow drawn from one corner piece matches the shadow
    // blurred at the panel's own size.
    void roundedShadowMatchesTheFullBlur_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<qreal>("corner");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("panel") << QSizeF(420, 260) << 16.0 << 1.0;
        QTest::newRow("tall and narrow") << QSizeF(60, 500) << 16.0 << 1.0;
        QTest::newRow("square corners") << QSizeF(200, 120) << 0.0 << 1.0;
        QTest::newRow("high density") << QSizeF(300, 180) << 16.0 << 2.0;
        QTest::newRow("smaller than the piece") << QSizeF(30, 30) << 16.0 << 1.0;
        QTest::newRow("header bar, lower than the piece") << QSizeF(900, 45) << 22.0 << 1.0;
        QTest::newRow("capsule button") << QSizeF(120, 28) << 14.0 << 1.0;
        QTest::newRow("capsule at high density") << QSizeF(120, 28) << 14.0 << 2.0;
    }
    void roundedShadowMatchesTheFullBlur()
    {
        QFETCH(QSizeF, size);
        QFETCH(qreal, corner);
        QFETCH(qreal, scale);
        const QRectF rect(QPointF(20, 20), size);
        auto draw = [&](bool pieces) {
            QImage img((size.toSize() + QSize(40, 42)) * scale, QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(scale);
            img.fill(Qt::transparent);
            QPainter p(&img);
            if (pieces)
                ChromeShape::paintRoundedRectShadow(p, rect, corner, 3.0, 1.0, 1.0);
            else
                ChromeShape::paintShadow(p, ChromeShape::Outline::roundedRect(corner).path(rect), 3.0, 1.0, 1.0);
            return img;
        };
        const QImage whole = draw(false), pieces = draw(true);
        int worst = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                worst = qMax(worst, qAbs(qAlpha(whole.pixel(x, y)) - qAlpha(pieces.pixel(x, y))));
        QVERIFY2(worst <= 3, qPrintable(QString::number(worst)));
    }

    // Edges laid down as plain copies give the pixels of the stretched piece
    // (a millionth of a pixel off the grid takes the stretching way).
    void shadowEdgesCopiedAsStretched_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<qreal>("corner");
        QTest::addColumn<qreal>("offsetY");
        QTest::newRow("panel") << QSizeF(420, 260) << 16.0 << 1.0;
        QTest::newRow("wide and low") << QSizeF(900, 60) << 22.0 << 1.0;
        QTest::newRow("tall and narrow") << QSizeF(60, 500) << 16.0 << 1.0;
        QTest::newRow("half-pixel offset") << QSizeF(300, 120) << 14.0 << 1.5;
    }
    void shadowEdgesCopiedAsStretched()
    {
        QFETCH(QSizeF, size);
        QFETCH(qreal, corner);
        QFETCH(qreal, offsetY);
        auto draw = [&](qreal nudge) {
            QImage img(size.toSize() + QSize(40, 42), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::white);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(nudge, 0);
            ChromeShape::paintRoundedRectShadow(p, QRectF(QPointF(20, 20), size), corner, 3.0, offsetY, 0.35);
            return img;
        };
        const QImage copied = draw(0), stretched = draw(1e-6);
        int worst = 0;
        for (int y = 0; y < copied.height(); ++y)
            for (int x = 0; x < copied.width(); ++x) {
                const QRgb a = copied.pixel(x, y), b = stretched.pixel(x, y);
                worst = std::max({worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
            }
        QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
    }

    // A stretched edge laid down as a plain copy gives the very pixels of
    // the painter's own stretch: on the pixel grid and between pixels (a
    // header bar's shadow falls half a pixel down), along either axis, with
    // and without antialiasing, under a rectangular clip; what it cannot
    // copy is left to the painter.
    void stretchedCopyIsThePaintersStretch_data()
    {
        QTest::addColumn<QRect>("source");
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<QPointF>("translation");
        QTest::addColumn<bool>("antialiased");
        QTest::addColumn<QRect>("clip");
        QTest::addColumn<bool>("copied");
        const QRect acrossTop(35, 0, 2, 56), downSide(0, 30, 56, 2);
        QTest::newRow("on the grid") << acrossTop << QRectF(28, -7, 904, 56) << QPointF(10, 10) << true << QRect() << true;
        QTest::newRow("half a pixel down") << acrossTop << QRectF(28, -7, 904, 56) << QPointF(10, 11.5) << true
                                           << QRect() << true;
        QTest::newRow("between pixels both ways") << acrossTop << QRectF(27.3, -6.7, 500.6, 56) << QPointF(10.25, 11.5)
                                                  << false << QRect() << true;
        QTest::newRow("down a side, between pixels") << downSide << QRectF(-7, 24, 56, 310.5) << QPointF(13.5, 20.75)
                                                     << true << QRect() << true;
        QTest::newRow("from left of the device") << downSide << QRectF(-7, 24, 56, 310.5) << QPointF(3.5, 20.75)
                                                 << true << QRect() << false;
        QTest::newRow("under a rectangular clip") << acrossTop << QRectF(28, -7, 904, 56) << QPointF(10, 11.5) << true
                                                  << QRect(100, 20, 300, 30) << true;
        QTest::newRow("too short to copy") << acrossTop << QRectF(28, -7, 9.5, 56) << QPointF(10, 11.5) << true
                                           << QRect() << false;
        QTest::newRow("varying along the stretch") << QRect(0, 0, 30, 56) << QRectF(0, 0, 400, 56)
                                                   << QPointF(10, 11.5) << true << QRect() << false;
    }
    void stretchedCopyIsThePaintersStretch()
    {
        QFETCH(QRect, source);
        QFETCH(QRectF, target);
        QFETCH(QPointF, translation);
        QFETCH(bool, antialiased);
        QFETCH(QRect, clip);
        QFETCH(bool, copied);
        // A piece whose rows (and columns) all differ, uniform across the
        // middle two columns and down the middle two rows.
        QImage piece(72, 62, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < piece.height(); ++y)
            for (int x = 0; x < piece.width(); ++x) {
                const int u = (x >= 35 && x <= 36) ? 35 : x, v = (y >= 30 && y <= 31) ? 30 : y;
                const int a = (u * 7 + v * 13) % 256;
                piece.setPixel(x, y, qPremultiply(qRgba((u * 3) % 256, (v * 5) % 256, 90, a)));
            }
        QImage background(980, 420, QImage::Format_ARGB32_Premultiplied);
        // Besides the row's own placing, the same at every quarter (and a
        // few odd fractions) of a pixel either way.
        QList<QPointF> translations{translation};
        if (copied && clip.isNull()) {
            for (const qreal fx : {0.0, 0.25, 0.5, 0.75, 0.1, 0.9})
                for (const qreal fy : {0.0, 0.25, 0.5, 0.75, 0.3, 0.6})
                    translations.append(QPointF(std::floor(translation.x()) + fx, std::floor(translation.y()) + fy));
        }
        for (int y = 0; y < background.height(); ++y)
            for (int x = 0; x < background.width(); ++x)
                background.setPixel(x, y, qRgb((x * 11) % 256, (y * 7) % 256, (x + y) % 256));
        int copies = 0;
        auto draw = [&](bool copy, qsizetype t) {
            QImage img = background;
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, antialiased);
            p.translate(translations.at(t));
            if (!clip.isNull())
                p.setClipRect(clip);
            p.setOpacity(0.35);
            const ChromeShapeStretch::Copy strip
                = copy ? ChromeShapeStretch::stretchedCopy(piece, QRectF(source), target, p) : ChromeShapeStretch::Copy();
            if (copy && t == 0)
                [&] { QCOMPARE(!strip.image.isNull(), copied); }();
            copies += strip.image.isNull() ? 0 : 1;
            if (strip.image.isNull())
                p.drawImage(target, piece, QRectF(source));
            else
                p.drawImage(strip.at, strip.image);
            return img;
        };
        for (qsizetype t = 0; t < translations.size(); ++t) {
            const QImage stretched = draw(false, t), laid = draw(true, t);
            QVERIFY(stretched != background);
            QVERIFY2(laid == stretched, qPrintable(QStringLiteral("at %1, %2").arg(translations.at(t).x()).arg(translations.at(t).y())));
        }
        // Most placings are copied (some, where the painter reads a line
        // beside the source, are left to it).
        QVERIFY(copies >= (copied ? translations.size() / 2 : 0));
    }

    // Leaving out, between the corners, the whole rectangle an opaque fill
    // on whole pixels covers changes no pixel once the fill is laid: panels
    // of several shapes, above a patterned ground.
    void shadowLeavesOutTheFilledEdges_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<qreal>("corner");
        QTest::newRow("loan panel") << QRect(3, 2, 294, 263) << 16.0;
        QTest::newRow("schedule panel") << QRect(3, 2, 634, 596) << 16.0;
        QTest::newRow("low panel") << QRect(3, 2, 400, 44) << 16.0;
        QTest::newRow("narrow panel") << QRect(5, 4, 50, 300) << 12.0;
    }
    void shadowLeavesOutTheFilledEdges()
    {
        QFETCH(QRect, rect);
        QFETCH(qreal, corner);
        const QRectF r(rect);
        const QRect hidden = r.adjusted(corner + 2, corner + 2, -corner - 2, -corner - 2).toRect();
        auto draw = [&](bool edges) {
            QImage img(rect.size() + QSize(12, 12), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    img.setPixel(x, y, qRgb((x * 13) % 256, (y * 7) % 256, 200));
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            ChromeShape::paintRoundedRectShadow(p, r, corner, 3.0, 1.0, 0.12, hidden.isValid() ? hidden : QRect(),
                                                edges ? rect : QRect());
            p.fillPath(ChromeShape::Outline::roundedRect(corner).path(r), QColor(246, 241, 230));
            return img;
        };
        QCOMPARE(draw(true), draw(false));
    }

    // Leaving out what a panel's fill covers changes no pixel around it:
    // the same as drawing the whole shadow under a clip that leaves the
    // covered part out, for shapes whose covered part cuts pieces in
    // different ways.
    void shadowLeavesOutOnlyTheCoveredPart_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QRect>("covered");
        QTest::addColumn<qreal>("scale");
        // Panels cover their rectangle inset by 18.
        QTest::newRow("panel") << QSizeF(420, 260) << QRect(38, 38, 384, 224) << 1.0;
        QTest::newRow("panel at high density") << QSizeF(300, 180) << QRect(38, 38, 264, 144) << 2.0;
        QTest::newRow("low panel, no stretched rows") << QSizeF(400, 44) << QRect(38, 38, 364, 8) << 1.0;
        QTest::newRow("covering a corner only") << QSizeF(200, 200) << QRect(0, 0, 40, 40) << 1.0;
        QTest::newRow("covering a middle band") << QSizeF(200, 200) << QRect(0, 100, 300, 10) << 1.0;
        QTest::newRow("covering everything") << QSizeF(200, 120) << QRect(0, 0, 400, 400) << 1.0;
    }
    void shadowLeavesOutOnlyTheCoveredPart()
    {
        QFETCH(QSizeF, size);
        QFETCH(QRect, covered);
        QFETCH(qreal, scale);
        const QRectF rect(QPointF(20, 20), size);
        auto draw = [&](bool leaveOut) {
            QImage img((size.toSize() + QSize(40, 42)) * scale, QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(scale);
            img.fill(Qt::transparent);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            if (leaveOut) {
                ChromeShape::paintRoundedRectShadow(p, rect, 16.0, 3.0, 1.0, 0.12, covered);
            } else {
                p.setClipRegion(QRegion(QRect(QPoint(0, 0), size.toSize() + QSize(40, 42))).subtracted(covered));
                ChromeShape::paintRoundedRectShadow(p, rect, 16.0, 3.0, 1.0, 0.12);
            }
            return img;
        };
        const QImage clipped = draw(false), leftOut = draw(true);
        int worst = 0;
        for (int y = 0; y < clipped.height(); ++y)
            for (int x = 0; x < clipped.width(); ++x)
                worst = qMax(worst, qAbs(qAlpha(clipped.pixel(x, y)) - qAlpha(leftOut.pixel(x, y))));
        QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
    }

    void initTestCase()
    {
        AppLook::apply(*qApp);
        QVERIFY(m_art.isValid());
    }

    // A wrapping label keeps its answers, and they are a label's own: for
    // every width asked, and again after its text or its font changed.
    void wrapLabelAnswersAsALabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        const QString hint = QStringLiteral("Type numbers and + − * / on your keyboard • Enter = • Esc clears");
        QTest::newRow("hint") << hint << 10;
        QTest::newRow("larger face") << hint << 15;
        QTest::newRow("one word") << QStringLiteral("Calculations") << 10;
        QTest::newRow("empty") << QString() << 10;
    }
    void wrapLabelAnswersAsALabel()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        WrapLabel kept(QStringLiteral("Your calculations appear here. Click one to reuse it."));
        QLabel plain;
        plain.setTextFormat(Qt::PlainText);
        plain.setWordWrap(true);
        auto same = [&](const char* when) {
            QCOMPARE(kept.sizeHint(), plain.sizeHint());
            QCOMPARE(kept.minimumSizeHint(), plain.minimumSizeHint());
            for (const int width : {0, 40, 120, 180, 333, 120})
                QVERIFY2(kept.heightForWidth(width) == plain.heightForWidth(width), when);
        };
        kept.setFont(Fonts::system(10));
        plain.setText(kept.text());
        plain.setFont(kept.font());
        same("first text");
        kept.setText(text);
        plain.setText(text);
        same("new text");
        kept.setFont(Fonts::system(size));
        plain.setFont(Fonts::system(size));
        same("new font");
    }

    // A one-line label measured once answers as a label does: in several
    // faces, alignments and margins, with a minimum size, and after its
    // text, font or margins changed; a wrapping one is a label's own.
    void lineLabelAnswersAsALabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("size");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("margin");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<bool>("wrap");
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("title") << QStringLiteral("AMORTIZATION SCHEDULE") << 10.5 << left << 0 << QMargins() << QSize()
                               << false;
        QTest::newRow("figure, right") << QStringLiteral("$24,646.27") << 30.0 << int(Qt::AlignRight | Qt::AlignVCenter)
                                       << 0 << QMargins() << QSize() << false;
        QTest::newRow("centred, margins") << QStringLiteral("60 payments • Dec 2031") << 12.5 << int(Qt::AlignCenter)
                                          << 3 << QMargins(1, 2, 5, 4) << QSize() << false;
        QTest::newRow("minimum size") << QStringLiteral("Loan") << 11.0 << left << 0 << QMargins() << QSize(90, 30)
                                      << false;
        QTest::newRow("empty") << QString() << 13.0 << left << 0 << QMargins() << QSize() << false;
        QTest::newRow("two lines") << QStringLiteral("Loan\namount ($)") << 11.0 << int(Qt::AlignRight | Qt::AlignBottom)
                                   << 0 << QMargins() << QSize() << false;
        QTest::newRow("right to left") << QStringLiteral("שלום עולם") << 13.0 << left << 0 << QMargins() << QSize()
                                       << false;
        QTest::newRow("wrapping") << QStringLiteral("Extra payment each month, and what it saves") << 11.0 << left
                                  << 0 << QMargins() << QSize() << true;
    }
    void lineLabelAnswersAsALabel()
    {
        QFETCH(QString, text);
        QFETCH(qreal, size);
        QFETCH(int, alignment);
        QFETCH(int, margin);
        QFETCH(QMargins, margins);
        QFETCH(QSize, minimum);
        QFETCH(bool, wrap);
        LineLabel kept(QStringLiteral("First payment"));
        QLabel plain(kept.text());
        plain.setTextFormat(Qt::PlainText);
        QCOMPARE(kept.sizeHint(), plain.sizeHint());
        for (QLabel* l : {static_cast<QLabel*>(&kept), &plain}) {
            l->setText(text);
            l->setFont(Fonts::system(size, QFont::DemiBold, Fonts::Design::Rounded));
            l->setAlignment(Qt::Alignment(alignment));
            l->setMargin(margin);
            l->setContentsMargins(margins);
            l->setWordWrap(wrap);
            if (minimum.isValid())
                l->setMinimumSize(minimum);
        }
        QCOMPARE(kept.sizeHint(), plain.sizeHint());
        QCOMPARE(kept.minimumSizeHint(), plain.minimumSizeHint());
        for (QLabel* l : {static_cast<QLabel*>(&kept), &plain}) {
            l->setText(text + QStringLiteral(" and more"));
            l->setFont(Fonts::system(size + 4));
            l->setContentsMargins(QMargins(2, 2, 2, 2));
        }
        QCOMPARE(kept.sizeHint(), plain.sizeHint());
        QCOMPARE(kept.minimumSizeHint(), plain.minimumSizeHint());
    }

    // A label of one line lays it out once yet measures and paints as
    // QLabel, with an indent, a margin, any alignment, squeezed or right to
    // left; framed, selectable or other texts are measured as QLabel does.
    void lineLabelMeasuresAndPaintsAsALabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("indent");
        QTest::addColumn<int>("margin");
        QTest::addColumn<bool>("framed");
        QTest::addColumn<QSize>("size");
        const int right = int(Qt::AlignRight | Qt::AlignVCenter);
        QTest::newRow("empty") << QString() << 0 << -1 << 0 << false << QSize();
        QTest::newRow("figure, right aligned") << QStringLiteral("1609344000 \u00B5m") << right << -1 << 0 << false
                                               << QSize(181, 23);
        QTest::newRow("bottom, indented") << QStringLiteral("Kilometers") << int(Qt::AlignBottom) << 7 << 0 << false
                                          << QSize(120, 40);
        QTest::newRow("centred with margin") << QStringLiteral("0.8689762419 nmi") << int(Qt::AlignCenter) << -1 << 3
                                             << false << QSize(157, 31);
        QTest::newRow("framed: QLabel's own") << QStringLiteral("\u221E") << right << -1 << 3 << true << QSize();
        QTest::newRow("squeezed: clipped") << QStringLiteral("Nautical miles") << 0 << -1 << 0 << false
                                           << QSize(40, 12);
        QTest::newRow("right to left") << QStringLiteral("\u05DE\u05D8\u05E8 12") << 0 << -1 << 0 << false
                                       << QSize(90, 20);
        QTest::newRow("trailing space: QLabel's own") << QStringLiteral("5 ") << right << -1 << 0 << false << QSize();
        QTest::newRow("two lines: QLabel's own") << QStringLiteral("a\nb") << 0 << -1 << 0 << false << QSize();
    }

    void lineLabelMeasuresAndPaintsAsALabel()
    {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(int, indent);
        QFETCH(int, margin);
        QFETCH(bool, framed);
        QFETCH(QSize, size);
        const QFont font = Fonts::system(12, QFont::DemiBold, Fonts::Design::Rounded);
        std::unique_ptr<QLabel> made(styledLabel(QStringLiteral("x"), font, QColor(Qt::darkRed)));
        QLabel& label = *made;
        QLabel reference(QStringLiteral("x"));
        reference.setTextFormat(Qt::PlainText);
        reference.setFont(font);
        QPalette red = reference.palette();
        red.setColor(QPalette::WindowText, QColor(Qt::darkRed));
        reference.setPalette(red);
        for (QLabel* l : {&label, &reference}) {
            QCOMPARE(l->sizeHint(), reference.sizeHint()); // measured before a change
            l->setText(text);
            if (alignment)
                l->setAlignment(Qt::Alignment(alignment));
            l->setIndent(indent);
            l->setMargin(margin);
            if (framed)
                l->setFrameShape(QFrame::Box);
        }
        label.resize(size.isValid() ? size : reference.sizeHint());
        reference.resize(label.size());
        QCOMPARE(label.sizeHint(), reference.sizeHint());
        QCOMPARE(label.minimumSizeHint(), reference.minimumSizeHint());
        auto picture = [](QLabel& l) {
            QImage image(l.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(244, 240, 230));
            l.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            return image;
        };
        QVERIFY2(picture(label) == picture(reference), "the label paints otherwise than QLabel");
        // Turned selectable, it is QLabel's text document that measures.
        label.setTextInteractionFlags(Qt::TextSelectableByMouse);
        reference.setTextInteractionFlags(Qt::TextSelectableByMouse);
        QCOMPARE(label.sizeHint(), reference.sizeHint());
    }

    // Menu bars are given their overflow button's icon as they are made; it
    // is the style's own once drawn.
    void barOverflowIconIsTheStyles()
    {
        QCOMPARE(AppLook::styleName(), QStringLiteral("fusion"));
        const auto* look = qobject_cast<const QProxyStyle*>(QApplication::style());
        QVERIFY(look && look->baseStyle());
        for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
            const QIcon deferred = QApplication::style()->standardIcon(which);
            const QIcon own = look->baseStyle()->standardIcon(which);
            QVERIFY(!deferred.isNull());
            QCOMPARE(deferred.availableSizes(), own.availableSizes());
            QCOMPARE(deferred.pixmap(QSize(16, 16)).toImage(), own.pixmap(QSize(16, 16)).toImage());
            // A copy shares what was read.
            const QIcon copy = deferred;
            QCOMPARE(copy.pixmap(QSize(8, 16)).toImage(), own.pixmap(QSize(8, 16)).toImage());
        }
        QMenuBar bar;
        auto* overflow = bar.findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(overflow);
        QVERIFY(!overflow->icon().isNull());
    }

    void goalColorsWrapAround_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("seventh wraps") << 6 << 0;
        QTest::newRow("minus one") << -1 << 5;
        QTest::newRow("most negative") << std::numeric_limits<int>::min() << ((std::numeric_limits<int>::min() % 6) + 6) % 6;
    }
    void goalColorsWrapAround()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        QCOMPARE(Chrome::goalColor(index), Chrome::goalColors().at(expected));
    }

    // The dark band of the bumper lies at the middle, under a light top.
    void bumperHasItsDarkBandAtTheMiddle()
    {
        const QImage img = renderShape(false, false, {120, 40}, 1.0);
        const qreal band = meanLightness(img, QRectF(60, 10 + 19.5, 10, 1));
        const qreal lower = meanLightness(img, QRectF(60, 10 + 32, 10, 1));
        QVERIFY2(band < 0.45, qPrintable(QString::number(band)));
        QVERIFY(lower > band + 0.25);
    }

    void pressedSurfaceDimsGlossAndTightensShadow()
    {
        const QImage up = renderShape(false, true);
        const QImage down = renderShape(true, true);
        // The gloss covers the upper part: bright when released, dull pressed.
        const QRectF glossArea(10 + 40, 10 + 4, 40, 6);
        const qreal upGloss = meanLightness(up, glossArea);
        const qreal downGloss = meanLightness(down, glossArea);
        QVERIFY2(upGloss > downGloss + 0.15, qPrintable(QStringLiteral("%1 vs %2").arg(upGloss).arg(downGloss)));
        // The shadow reaches further below a released shape.
        const int upRows = shadowRows(up, 50);
        const int downRows = shadowRows(down, 50);
        QVERIFY2(upRows >= downRows + 3, qPrintable(QStringLiteral("%1 vs %2").arg(upRows).arg(downRows)));
        QVERIFY(downRows >= 1);
        // And the pressed fill is darker at the top (bumperPressed starts at 0.55).
        QVERIFY(meanLightness(down, QRectF(60, 12.5, 10, 1)) < meanLightness(up, QRectF(60, 12.5, 10, 1)) - 0.1);
    }

    void buttonShowsPressedLookWhileMouseIsDown()
    {
        ChromeButton b(QStringLiteral("Copy"));
        b.resize(b.sizeHint());
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        const QRectF gloss(b.width() / 2.0 - 8, 5, 16, 3);
        const QImage released = b.grab().toImage();
        QTest::mousePress(&b, Qt::LeftButton, {}, b.rect().center());
        QVERIFY(b.isDown());
        const QImage pressed = b.grab().toImage();
        QTest::mouseRelease(&b, Qt::LeftButton, {}, b.rect().center());
        const QImage again = b.grab().toImage();
        QVERIFY(meanLightness(released, gloss) > meanLightness(pressed, gloss) + 0.1);
        QCOMPARE(again, released);
    }

    void clicksOutsideTheCapsuleMiss()
    {
        ChromeButton b(QStringLiteral("A long button label"));
        b.resize(b.sizeHint());
        QSignalSpy clicked(&b, &QPushButton::clicked);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(1, 1)); // the corner, outside the capsule
        QCOMPARE(clicked.count(), 0);
        QTest::mouseClick(&b, Qt::LeftButton, {}, b.rect().center());
        QCOMPARE(clicked.count(), 1);
    }

    // A button keeps its label's layout between paints: after its text or
    // size class changes it must measure and draw as a button made that way.
    void buttonFollowsItsLabel_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("compact");
        QTest::newRow("longer") << QStringLiteral("Copy") << QStringLiteral("Clear History") << false;
        QTest::newRow("shorter") << QStringLiteral("Export PDF") << QStringLiteral("OK") << false;
        QTest::newRow("compact") << QStringLiteral("Copy") << QStringLiteral("Copy") << true;
        QTest::newRow("trailing space") << QStringLiteral("Copy") << QStringLiteral("Copy  ") << false;
        QTest::newRow("emptied") << QStringLiteral("Copy") << QString() << false;
    }
    void buttonFollowsItsLabel()
    {
        QFETCH(QString, first);
        QFETCH(QString, then);
        QFETCH(bool, compact);
        ChromeButton changed(first);
        changed.resize(changed.sizeHint());
        changed.grab();
        changed.setText(then);
        changed.setCompact(compact);
        ChromeButton fresh(then, false, compact);
        QCOMPARE(changed.sizeHint(), fresh.sizeHint());
        changed.resize(fresh.sizeHint());
        fresh.resize(fresh.sizeHint());
        QCOMPARE(changed.grab().toImage(), fresh.grab().toImage());
    }

    // A prominent button draws its label in cherry, a tinted key in its tint.
    void labelColour_data()
    {
        QTest::addColumn<bool>("key");
        QTest::addColumn<bool>("coloured");
        QTest::newRow("plain button") << false << false;
        QTest::newRow("prominent button") << false << true;
        QTest::newRow("plain key") << true << false;
        QTest::newRow("tinted key") << true << true;
    }
    void labelColour()
    {
        QFETCH(bool, key);
        QFETCH(bool, coloured);
        ChromeButton button(QStringLiteral("Export"), coloured, false);
        button.resize(button.sizeHint());
        ChromeKey chromeKey(QStringLiteral("8"));
        if (coloured)
            chromeKey.setTint(QColor(0, 160, 0));
        chromeKey.resize(70, 48);
        auto red = [](const QColor& c) { return c.red() > 150 && c.green() < 90 && c.blue() < 100; };
        auto green = [](const QColor& c) { return c.green() > 110 && c.red() < 60 && c.blue() < 60; };
        const int n = key ? countPixels(chromeKey.grab().toImage(), green) : countPixels(button.grab().toImage(), red);
        QVERIFY2(coloured ? n > 5 : n == 0, qPrintable(QString::number(n)));
    }

    // A line laid out once draws the same pixels as QPainter::drawText on
    // one line in the same rectangle, whatever the face, size, alignment,
    // place within a pixel, direction, or a text too wide for its rectangle
    // (keys, picker segments, labels and recorder rows draw this way).
    void textLineDrawsAsDrawText_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("design");
        QTest::addColumn<qreal>("size");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("rightToLeft");
        const QRectF key(5, 1, 29, 53);
        const int centre = Qt::AlignCenter;
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        const int rounded = int(Fonts::Design::Rounded);
        const int plain = int(Fonts::Design::Default);
        QTest::newRow("digit, rounded") << QStringLiteral("7") << rounded << 19.0 << key << centre << false;
        QTest::newRow("two letters") << QStringLiteral("EE") << rounded << 19.0 << key.adjusted(0, 1, 0, 1) << centre
                                     << false;
        QTest::newRow("superscripts, small") << QStringLiteral("sin⁻¹") << plain << 11.2629 << key << centre << false;
        QTest::newRow("symbol") << QStringLiteral("⌫") << plain << 19.0 << QRectF(5, 1, 74, 53) << centre << false;
        QTest::newRow("half pixels") << QStringLiteral("log₂") << plain << 12.5 << QRectF(4.5, 0.5, 30.5, 40.25)
                                     << centre << false;
        QTest::newRow("too wide, clipped") << QStringLiteral("Clear everything") << rounded << 19.0 << key << centre
                                           << false;
        QTest::newRow("line break") << QStringLiteral("a\nb") << rounded << 15.0 << key << centre << false;
        QTest::newRow("spaces at the ends, centred") << QStringLiteral("Área ") << plain << 12.0
                                                     << QRectF(3, 2, 61, 20) << centre << true;
        QTest::newRow("left, clipped") << QStringLiteral("Lecture notes 12 — cell biology") << plain << 13.0
                                       << QRectF(40, 7, 90, 13) << left << false;
        QTest::newRow("right") << QStringLiteral("1609344000 µm") << rounded << 12.0 << QRectF(2, 3, 181, 23)
                               << int(Qt::AlignRight | Qt::AlignVCenter) << false;
        QTest::newRow("bottom, right to left") << QStringLiteral("מטר 12") << plain << 12.0 << QRectF(0, 0, 90, 40)
                                               << int(Qt::AlignLeft | Qt::AlignBottom) << true;
        QTest::newRow("top, mixed scripts") << QStringLiteral("Notiz über Zellen — клетки 細胞 ✓") << plain << 12.0
                                            << QRectF(5, 5, 300, 30) << int(Qt::AlignLeft | Qt::AlignTop) << false;
    }
    void textLineDrawsAsDrawText()
    {
        QFETCH(QString, label);
        QFETCH(int, design);
        QFETCH(qreal, size);
        QFETCH(QRectF, rect);
        QFETCH(int, alignment);
        QFETCH(bool, rightToLeft);
        const QFont font = Fonts::system(size, QFont::Bold, Fonts::Design(design));
        const Qt::LayoutDirection direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
        auto render = [&](bool laidOut) {
            QImage image(48 + int(rect.width()), 64, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.setLayoutDirection(direction);
            p.setFont(font);
            TextLine shown;
            shown.setText(label, p.font(), direction, &image);
            for (const auto& [offset, colour] : {std::pair{1.0, QColor(255, 255, 255, 230)}, std::pair{0.0, QColor(20, 40, 160)}}) {
                p.setPen(colour);
                if (laidOut)
                    shown.draw(p, rect.translated(0, offset), Qt::Alignment(alignment));
                else
                    p.drawText(rect.translated(0, offset), alignment | Qt::AlignAbsolute | Qt::TextSingleLine, label);
            }
            return image;
        };
        QCOMPARE(render(true), render(false));
    }

    // A key keeps its label laid out between paints; after any change the
    // key draws what a key made in the new state draws.
    void keyLabelFollowsChanges_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("text") << 0;
        QTest::newRow("label face") << 1;
        QTest::newRow("width") << 2;
        QTest::newRow("direction") << 3;
    }
    void keyLabelFollowsChanges()
    {
        QFETCH(int, change);
        const QFont small = Fonts::system(12, QFont::Bold);
        auto apply = [change, &small](ChromeKey& k) {
            switch (change) {
            case 0: k.setText(QStringLiteral("EE")); break;
            case 1: k.setLabelFont(small, 12); break;
            case 2: k.resize(40, 48); break;
            default: k.setLayoutDirection(Qt::RightToLeft); break;
            }
        };
        ChromeKey changed(QStringLiteral("7"));
        changed.resize(70, 48);
        (void)changed.grab();
        apply(changed);
        ChromeKey fresh(QStringLiteral("7"));
        fresh.resize(70, 48);
        apply(fresh);
        QCOMPARE(changed.grab().toImage(), fresh.grab().toImage());
    }

    void keyLabelShrinksBeforeEliding_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<bool>("shrunk");
        QTest::addColumn<bool>("elided");
        QTest::newRow("fits") << QStringLiteral("7") << 60.0 << false << false;
        QTest::newRow("shrinks") << QStringLiteral("sinh⁻¹") << 40.0 << true << false;
        QTest::newRow("too long even at 0.45") << QStringLiteral("a very long key label") << 30.0 << true << true;
    }
    void keyLabelShrinksBeforeEliding()
    {
        QFETCH(QString, label);
        QFETCH(qreal, width);
        QFETCH(bool, shrunk);
        QFETCH(bool, elided);
        bool e = false;
        const QFont f = ChromeKey::fittedFont(label, width, &e);
        const qreal full = ChromeKey::fittedFont(QStringLiteral("x"), 1000).pointSizeF();
        QCOMPARE(f.pointSizeF() < full - 0.01, shrunk);
        QVERIFY(f.pointSizeF() >= full * ChromeKey::minimumScale - 0.01);
        QCOMPARE(e, elided);
        if (!elided)
            QVERIFY(QFontMetricsF(f).horizontalAdvance(label) <= width + 0.01);
    }

    // The fitted label is as large as fits, within one 0.01 step of what
    // trying every step down from the exact proportion finds, asked once
    // or again (the second answer comes from what was kept).
    void keyLabelFitIsWithinAStepOfTheBest_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<qreal>("size");
        QTest::addColumn<qreal>("width");
        QTest::newRow("slightly too wide") << QStringLiteral("sinh⁻¹") << 19.0 << 52.0;
        QTest::newRow("half the room") << QStringLiteral("tanh⁻¹") << 19.0 << 33.0;
        QTest::newRow("function pad size") << QStringLiteral("log₁₀") << 15.0 << 29.5;
        QTest::newRow("digits") << QStringLiteral("1234567890") << 19.0 << 61.0;
        QTest::newRow("odd width") << QStringLiteral("Rand") << 15.0 << 27.3;
        QTest::newRow("floor reached") << QStringLiteral("a very long key label") << 19.0 << 30.0;
    }
    void keyLabelFitIsWithinAStepOfTheBest()
    {
        QFETCH(QString, label);
        QFETCH(qreal, size);
        QFETCH(qreal, width);
        const QFont base = Fonts::system(size, QFont::Bold, Fonts::Design::Rounded);
        auto widthAt = [&](qreal scale) {
            QFont f = base;
            Fonts::setSize(f, size * scale);
            return QFontMetricsF(f).horizontalAdvance(label);
        };
        qreal best = qMax(ChromeKey::minimumScale, width / widthAt(1.0));
        while (best > ChromeKey::minimumScale && widthAt(best) > width)
            best = qMax(ChromeKey::minimumScale, best - 0.01);
        QFont reference = base;
        Fonts::setSize(reference, size * best);
        QFont step = base;
        Fonts::setSize(step, size * qMax(ChromeKey::minimumScale, best - 0.01));
        for (int ask = 0; ask < 2; ++ask) {
            bool elided = true;
            const QFont f = ChromeKey::fittedFont(label, width, base, size, &elided);
            QVERIFY(f.pointSizeF() <= reference.pointSizeF() + 1e-9);
            QVERIFY(f.pointSizeF() >= step.pointSizeF() - 1e-6);
            QCOMPARE(elided, QFontMetricsF(f).horizontalAdvance(label) > width + 0.01);
            if (best > ChromeKey::minimumScale)
                QVERIFY(!elided);
        }
    }

    void panelWithoutTitleHasNoTitleRow()
    {
        QWidget host;
        auto* layout = new QVBoxLayout(&host);
        auto* titled = new ChromePanel(QStringLiteral("Loan"));
        auto* a = new QLabel(QStringLiteral("a"));
        titled->contentLayout()->addWidget(a);
        auto* untitled = new ChromePanel;
        auto* b = new QLabel(QStringLiteral("b"));
        untitled->contentLayout()->addWidget(b);
        layout->addWidget(titled);
        layout->addWidget(untitled);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(titled->titleLabel()->text(), QStringLiteral("LOAN"));
        QVERIFY(titled->titleLabel()->isVisible());
        QVERIFY(!untitled->titleLabel()->isVisible());
        // 12 of padding inside the drawn panel, and no gap above the content.
        QVERIFY(b->y() <= 12 + 4);
        QVERIFY(b->y() >= 12);
        QVERIFY(a->y() > titled->titleLabel()->geometry().bottom() + 6);
    }

    // The credit goes first as the window narrows, then the title shrinks
    // down to 0.7 and finally is cut short.
    void scaffoldFitsItsWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<ToolScaffold::Credit>("credit");
        QTest::addColumn<qreal>("scale"); // 0: shrunk, but not below 0.7
        QTest::addColumn<bool>("elided");
        QTest::newRow("wide") << 760 << ToolScaffold::Credit::Long << 1.0 << false;
        QTest::newRow("narrow") << 540 << ToolScaffold::Credit::Short << 1.0 << false;
        QTest::newRow("narrower") << 440 << ToolScaffold::Credit::None << 1.0 << false;
        QTest::newRow("title shrinks") << 330 << ToolScaffold::Credit::None << 0.0 << false;
        QTest::newRow("title cut short") << 200 << ToolScaffold::Credit::None << 0.7 << true;
    }
    void scaffoldFitsItsWidth()
    {
        QFETCH(int, width);
        QFETCH(ToolScaffold::Credit, credit);
        QFETCH(qreal, scale);
        QFETCH(bool, elided);
        ToolScaffold s(Tool::passwords, new QLabel(QStringLiteral("x")));
        s.resize(width, 200);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.shownCredit(), credit);
        if (scale > 0)
            QCOMPARE(s.titleScale(), scale);
        else
            QVERIFY(s.titleScale() < 1.0 && s.titleScale() >= 0.7);
        QCOMPARE(s.titleElided(), elided);
    }

    void scaffoldStaysLightWhateverThePalette()
    {
        QPalette dark;
        dark.setColor(QPalette::Window, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        QWidget host;
        host.setPalette(dark);
        auto* s = new ToolScaffold(Tool::calculator, new QLabel(QStringLiteral("x")), &host);
        QCOMPARE(s->palette().color(QPalette::Window), AppLook::lightPalette().color(QPalette::Window));
        s->resize(400, 200);
        const QImage img = s->grab().toImage();
        QVERIFY(QColor(img.pixel(200, 190)).lightnessF() > 0.8);
    }

    // Only widgets that can show a selection look different in an inactive
    // window (grey selection); every other widget is the same in both
    // states, so activating a window repaints nothing else.
    void onlySelectionsChangeWhenTheWindowIsInactive_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("greyWhenInactive");
        QTest::newRow("scaffold") << 0 << false;
        QTest::newRow("label") << 1 << true;
        QTest::newRow("button") << 2 << false;
        QTest::newRow("line edit") << 3 << true;
        QTest::newRow("text edit") << 4 << true;
        QTest::newRow("list") << 5 << true;
    }

    void onlySelectionsChangeWhenTheWindowIsInactive()
    {
        QFETCH(int, which);
        QFETCH(bool, greyWhenInactive);
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        const QList<QWidget*> widgets{new QLabel(QStringLiteral("x")), new QPushButton(QStringLiteral("x")),
                                      new QLineEdit, new QTextEdit, new QListView};
        for (QWidget* w : widgets)
            layout->addWidget(w);
        ToolScaffold s(Tool::calculator, content);
        const QWidget* w = which == 0 ? &s : widgets.at(which - 1);
        const QPalette& p = w->palette();
        QCOMPARE(p.isEqual(QPalette::Active, QPalette::Inactive), !greyWhenInactive);
        QCOMPARE(p.color(QPalette::Active, QPalette::Highlight), QColor(0, 99, 225));
        QCOMPARE(p.color(QPalette::Inactive, QPalette::Highlight),
                 greyWhenInactive ? QColor(210, 210, 210) : QColor(0, 99, 225));
    }

    // What a user sees: a selection is blue in the active window and grey
    // in an inactive one.
    void selectionGreysWhenItsWindowIsInactive()
    {
        auto* edit = new QLineEdit(QStringLiteral("MMMMMMMM"));
        ToolScaffold window(Tool::calculator, edit);
        QWidget other;
        window.resize(300, 120);
        other.resize(100, 100);
        window.show();
        other.show();
        edit->setFocus();
        edit->selectAll();
        auto shows = [edit](QColor colour) {
            const QImage img = edit->grab().toImage();
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (QColor(img.pixel(x, y)) == colour)
                        return true;
            return false;
        };
        const QColor blue(0, 99, 225), grey(210, 210, 210);
        QApplication::setActiveWindow(&window);
        QTRY_VERIFY(window.isActiveWindow());
        QVERIFY(shows(blue));
        QVERIFY(!shows(grey));
        QApplication::setActiveWindow(&other);
        QTRY_VERIFY(!window.isActiveWindow());
        QVERIFY(shows(grey));
        QVERIFY(!shows(blue));
    }

    // A selectable label shows its selection grey once it has lost the
    // focus, in an active window too.
    void labelSelectionGreysWithoutTheFocus()
    {
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        auto* label = new QLabel(QStringLiteral("MMMMMMMM"));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        auto* edit = new QLineEdit;
        layout->addWidget(label);
        layout->addWidget(edit);
        ToolScaffold window(Tool::calculator, content);
        window.resize(300, 160);
        window.show();
        QApplication::setActiveWindow(&window);
        QTRY_VERIFY(window.isActiveWindow());
        label->setSelection(0, 8);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        const QImage img = label->grab().toImage();
        bool grey = false, blue = false;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                grey = grey || QColor(img.pixel(x, y)) == QColor(210, 210, 210);
                blue = blue || QColor(img.pixel(x, y)) == QColor(0, 99, 225);
            }
        QVERIFY(grey);
        QVERIFY(!blue);
    }

    // The rim of an art icon is size/22 wide, at least 1.
    void artIconRimWidth_data()
    {
        QTest::addColumn<qreal>("size");
        QTest::addColumn<qreal>("rim");
        QTest::newRow("44") << 44.0 << 2.0;
        QTest::newRow("26") << 26.0 << 26.0 / 22.0;
        QTest::newRow("20") << 20.0 << 1.0;
    }
    void artIconRimWidth()
    {
        QFETCH(qreal, size);
        QFETCH(qreal, rim);
        QVERIFY(solidPng(QColor(255, 0, 0)).save(m_art.filePath(QStringLiteral("calculator.png"))));
        ButtonArt::setExtraFolderForTesting(m_art.path());
        QVERIFY(ButtonArt::image(Tool::calculator).has_value());
        const qreal scale = 10.0;
        QImage img(QSize(int(size * scale), int(size * scale)), QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        img.fill(Qt::white);
        QPainter p(&img);
        ToolIcon::paint(p, Tool::calculator, QRectF(0, 0, size, size));
        p.end();
        // Along the middle row from the left: white outside, rim, then red art.
        const int y = img.height() / 2;
        int x = 0;
        while (x < img.width() && QColor(img.pixel(x, y)) == QColor(Qt::white))
            ++x;
        const int rimStart = x;
        while (x < img.width()) {
            const QColor c = img.pixel(x, y);
            if (c.red() > 240 && c.green() < 15 && c.blue() < 15)
                break;
            ++x;
        }
        const qreal measured = (x - rimStart) / scale;
        QVERIFY2(std::abs(measured - rim) <= 0.25, qPrintable(QStringLiteral("rim %1, want %2").arg(measured).arg(rim)));
        ButtonArt::setExtraFolderForTesting(QString());
    }

    void artIsReadOncePerRun()
    {
        QTemporaryDir dir;
        ButtonArt::setExtraFolderForTesting(dir.path());
        QVERIFY(!ButtonArt::image(Tool::bingo).has_value());
        // Added while running: still absent until the next start.
        QVERIFY(solidPng(Qt::blue).save(dir.filePath(QStringLiteral("bingo.png"))));
        QVERIFY(!ButtonArt::image(Tool::bingo).has_value());
        ButtonArt::clearCacheForTesting(); // "the next start"
        QVERIFY(ButtonArt::image(Tool::bingo).has_value());
        ButtonArt::setExtraFolderForTesting(QString());
    }

    void unreadableArtFallsBackToTheSymbol()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("word.png")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x89PNG\r\n\x1a\n garbage that is no image");
        f.close();
        ButtonArt::setExtraFolderForTesting(dir.path());
        QVERIFY(!ButtonArt::image(Tool::wordProcessor).has_value());
        // The symbol variant paints the tint (a blue) over the chrome circle.
        QImage img(QSize(88, 88), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        QPainter p(&img);
        ToolIcon::paint(p, Tool::wordProcessor, QRectF(0, 0, 88, 88));
        p.end();
        const int blue
            = countPixels(img, [](const QColor& c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 30; });
        QVERIFY2(blue > 40, qPrintable(QString::number(blue)));
        ButtonArt::setExtraFolderForTesting(QString());
    }

    void everySymbolHasAGlyph()
    {
        const QStringList names = Symbols::knownNames();
        QVERIFY(names.size() > 40);
        for (Tool t : Tool::allCases())
            QVERIFY2(Symbols::isKnown(t.symbol()), qPrintable(t.symbol()));
        // The names the windows ask for.
        for (const char* n : {"wrench.and.screwdriver", "ellipsis.circle.fill", "ellipsis.circle", "minus.circle",
                              "arrow.left.arrow.right", "bold", "italic", "underline", "strikethrough", "text.alignleft",
                              "text.aligncenter", "text.alignright", "text.justify", "list.bullet", "list.number",
                              "decrease.indent", "increase.indent", "arrow.up.and.down.text.horizontal", "tablecells",
                              "photo", "doc", "rectangle.topthird.inset.filled", "magnifyingglass",
                              "arrow.left.arrow.right.square", "textformat.abc.dottedunderline", "printer",
                              "doc.richtext", "pin", "pin.fill", "plus", "trash", "stop.fill", "play.fill",
                              "minus.magnifyingglass", "plus.magnifyingglass", "checkmark.circle.fill", "circle",
                              "target", "scope"})
            QVERIFY2(Symbols::isKnown(QString::fromLatin1(n)), n);
        for (const QString& n : names) {
            const QRawFont raw = QRawFont::fromFont(Symbols::font(n, 24));
            const auto g = Symbols::glyph(n);
            QVERIFY(g.has_value());
            QVERIFY2(raw.supportsCharacter(uint(g->code)), qPrintable(n));
            QVERIFY2(!Symbols::path(n, 24, QRectF(0, 0, 24, 24)).isEmpty(), qPrintable(n));
        }
    }

    void glyphRunShowsWhatALabelShows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<QFont::HintingPreference>("hinting");
        QTest::newRow("zoom out, unhinted") << QStringLiteral("minus.magnifyingglass") << 16 << QFont::PreferNoHinting;
        QTest::newRow("zoom in, unhinted") << QStringLiteral("plus.magnifyingglass") << 16 << QFont::PreferNoHinting;
        QTest::newRow("trash, default hinting") << QStringLiteral("trash") << 24 << QFont::PreferDefaultHinting;
        QTest::newRow("pin, odd size") << QStringLiteral("pin") << 15 << QFont::PreferNoHinting;
    }

    void glyphRunShowsWhatALabelShows()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QFont::HintingPreference, hinting);
        QLabel label;
        QFont f = Symbols::font(name, size);
        f.setHintingPreference(hinting);
        label.setFont(f);
        label.setText(Symbols::text(name));
        label.resize(label.sizeHint());
        QImage expected(label.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::white);
        label.render(&expected, QPoint(), QRegion(), QWidget::DrawChildren);

        const QGlyphRun run = Symbols::glyphRun(name, size, hinting);
        QCOMPARE(run.glyphIndexes().size(), 1);
        const QRawFont face = run.rawFont();
        QCOMPARE(label.sizeHint(),
                 QSize(int(std::ceil(face.advancesForGlyphIndexes(run.glyphIndexes()).value(0).x())),
                       int(std::ceil(face.ascent() + face.descent()))));
        QImage drawn(label.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::white);
        QPainter p(&drawn);
        p.setPen(label.palette().color(QPalette::WindowText));
        p.drawGlyphRun(QPointF(0, (label.height() - face.ascent() - face.descent()) / 2 + face.ascent()), run);
        p.end();
        QCOMPARE(drawn, expected);
    }

    void glyphRunOnlyForIconFaceSymbols()
    {
        QVERIFY(Symbols::glyphRun(QStringLiteral("no.such.symbol"), 16, QFont::PreferNoHinting).glyphIndexes().isEmpty());
        // A character of the text faces has no glyph in the icon face.
        QVERIFY(Symbols::glyphRun(QStringLiteral("suit.spade.fill"), 16, QFont::PreferNoHinting).glyphIndexes().isEmpty());
        QVERIFY(Symbols::glyphRun(QStringLiteral("trash"), 0, QFont::PreferNoHinting).glyphIndexes().isEmpty());
    }

    void unknownSymbolDrawsNothing()
    {
        const QString name = QStringLiteral("no.such.symbol");
        QVERIFY(!Symbols::isKnown(name));
        QVERIFY(Symbols::icon(name, Qt::black).isNull());
        const QPixmap pm = Symbols::pixmap(name, Qt::black, 20);
        QCOMPARE(countPixels(pm.toImage(), [](const QColor& c) { return c.alpha() > 0; }), 0);
        ChromeButton b(QStringLiteral("x"));
        b.setSymbol(name);
        b.resize(b.sizeHint());
        QVERIFY(!b.grab().isNull());
    }

    void symbolIconIsCrispAtHighDensity()
    {
        const QIcon icon = Symbols::icon(QStringLiteral("trash"), Qt::black);
        const QPixmap pm = icon.pixmap(QSize(16, 16), 2.0);
        QCOMPARE(pm.size(), QSize(32, 32));
        QCOMPARE(pm.devicePixelRatio(), 2.0);
    }
};

QTEST_MAIN(ChromeTest)
#include "tst_chrome.moc"
