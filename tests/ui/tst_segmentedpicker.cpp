#include "TestEnvironment.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "ui/SegmentedPicker.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <algorithm>

namespace {

// The picker painted with QPainter::drawText for each title: what the kept
// title lines must reproduce pixel for pixel.
class DrawTextPicker : public SegmentedPicker {
public:
    using SegmentedPicker::SegmentedPicker;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(Chrome::grey(0.7), 1));
        p.setBrush(Chrome::grey(0.86));
        p.drawRoundedRect(track, 6, 6);
        for (int i = 0; i < segments().size(); ++i) {
            const QRectF r = QRectF(segmentRect(i)).adjusted(2, 2, -2, -2);
            if (i == currentIndex()) {
                QPainterPath chosen;
                chosen.addRoundedRect(r, 4.5, 4.5);
                p.save();
                p.translate(0, 0.5);
                p.fillPath(chosen, QColor(0, 0, 0, 40));
                p.restore();
                p.fillPath(chosen, Qt::white);
            } else if (i > 0 && i - 1 != currentIndex()) {
                p.setPen(QPen(Chrome::grey(0.7), 1));
                p.drawLine(QPointF(r.left() - 2, r.top() + 3), QPointF(r.left() - 2, r.bottom() - 3));
            }
            p.setPen(Chrome::ink());
            p.drawText(r, Qt::AlignCenter, segments().at(i));
        }
    }
};

QImage render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(236, 236, 236));
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

class SegmentedPickerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paintsTitlesAsDrawText_data()
    {
        QTest::addColumn<QStringList>("segments");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("rightToLeft");
        const QStringList units{QStringLiteral("Length"), QStringLiteral("Mass"), QStringLiteral("Temperature"),
                                QStringLiteral("Volume"), QStringLiteral("Speed")};
        QTest::newRow("natural width") << units << 0 << 2 << false;
        QTest::newRow("odd width, first chosen") << units << 417 << 0 << false;
        QTest::newRow("too narrow: titles clipped") << units << 150 << 4 << false;
        QTest::newRow("two segments") << QStringList{QStringLiteral("Units"), QStringLiteral("Time Zones")} << 260
                                      << 1 << false;
        QTest::newRow("accents and spaces") << QStringList{QStringLiteral("Área "), QStringLiteral(" Größe")} << 201
                                            << 0 << false;
        QTest::newRow("right to left") << units << 0 << 1 << true;
    }

    void paintsTitlesAsDrawText()
    {
        QFETCH(QStringList, segments);
        QFETCH(int, width);
        QFETCH(int, current);
        QFETCH(bool, rightToLeft);
        SegmentedPicker picker(segments);
        DrawTextPicker reference(segments);
        for (SegmentedPicker* p : {&picker, static_cast<SegmentedPicker*>(&reference)}) {
            p->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            p->setCurrentIndex(current);
            p->resize(width > 0 ? width : p->sizeHint().width(), p->sizeHint().height());
        }
        const QImage got = render(picker);
        const QImage want = render(reference);
        QCOMPARE(got.size(), want.size());
        QVERIFY2(got == want, "the picker's titles differ from drawText's");
        // Painting again (from the kept lines) changes nothing.
        QVERIFY(render(picker) == want);
    }

    void measuresWidestTitleInItsFont()
    {
        const QStringList segments{QStringLiteral("Loan"), QStringLiteral("Mortgage"), QStringLiteral("GPA")};
        SegmentedPicker picker(segments);
        auto expected = [&] {
            const QFontMetrics fm(picker.font());
            int widest = 0;
            for (const QString& s : segments)
                widest = std::max(widest, fm.horizontalAdvance(s));
            return widest;
        };
        QCOMPARE(picker.widestTitle(), expected());
        QCOMPARE(picker.sizeHint(), QSize((expected() + 24) * 3, 24));
        QCOMPARE(picker.minimumSizeHint(), picker.sizeHint());

        // A new font is measured again.
        picker.setFont(Fonts::system(20, QFont::Bold));
        QCOMPARE(picker.widestTitle(), expected());
        QCOMPARE(picker.sizeHint(), QSize((expected() + 24) * 3, 24));
    }

    void choosesByKeyAndClick()
    {
        SegmentedPicker picker({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        picker.resize(300, 24);
        QList<int> activated;
        QList<int> changed;
        connect(&picker, &SegmentedPicker::activated, this, [&](int i) { activated << i; });
        connect(&picker, &SegmentedPicker::currentIndexChanged, this, [&](int i) { changed << i; });
        QTest::keyClick(&picker, Qt::Key_Left); // already first: nothing
        QTest::keyClick(&picker, Qt::Key_Right);
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(250, 12));
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(250, 12)); // chosen again: activated only
        QTest::keyClick(&picker, Qt::Key_Right); // already last: nothing
        QCOMPARE(activated, (QList<int>{1, 2, 2}));
        QCOMPARE(changed, (QList<int>{1, 2}));
        QCOMPARE(picker.currentIndex(), 2);
        QCOMPARE(picker.accessibleName(), QStringLiteral("A/B/C"));
    }
};

QTEST_MAIN(SegmentedPickerTest)
#include "tst_segmentedpicker.moc"
