#include "TestEnvironment.h"
#include "wordproc/WPWindowPlacement.h"

#include <QTest>

// The first document window opens centred on the screen's free area, in
// the screen's own units, so that it opens at the same place whatever the
// scale factor.
class WindowPlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstFrame_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        // 980 × 921, 32 for the title bar.
        QTest::newRow("fits: centred") << QRect(0, 0, 1920, 1200) << QRect(470, 123, 980, 921);
        QTest::newRow("under a top panel") << QRect(0, 30, 1920, 1170) << QRect(470, 138, 980, 921);
        QTest::newRow("second screen") << QRect(1920, 0, 2560, 1440) << QRect(1920 + 790, 243, 980, 921);
        QTest::newRow("twice the scale: wide enough, too low")
            << QRect(0, 0, 1280, 720) << QRect(150, 0, 980, 921);
        QTest::newRow("smaller than the window") << QRect(10, 20, 700, 400) << QRect(10, 20, 980, 921);
        QTest::newRow("no screen") << QRect() << QRect(0, 0, 980, 921);
    }
    void firstFrame()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(WPWindowPlacement::firstFrame(QSize(980, 921), available, QSize(0, 32)), expected);
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "tst_windowplacement.moc"
