// The focus window by keyboard: the to-do row the keyboard is on is drawn
// as such, and only while the list has the keyboard; a stepper is one
// control that a click hands the keyboard to and the arrows step.
#include "FocusFakes.h"
#include "TestEnvironment.h"
#include "planner/views/FocusStepper.h"
#include "planner/views/FocusTaskDelegate.h"
#include "planner/views/FocusTaskList.h"
#include "planner/FocusTaskListModel.h"
#include "planner/views/FocusView.h"
#include "ui/SpellLineEdit.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace {

// Whether the left edge of a shown row carries the focus ring's colour.
bool ringOn(FocusView& v, int row)
{
    const QImage image = v.list()->viewport()->grab().toImage();
    const QRect rect = v.list()->visualRect(v.listModel()->index(row));
    const QColor ring = v.list()->palette().color(QPalette::Active, QPalette::Highlight);
    // Down the middle of the ring's left side.
    const int x = rect.left() + 1 + FocusTaskDelegate::kFocusRingWidth / 2;
    const QColor seen = image.pixelColor(QPoint(x, rect.center().y()) * image.devicePixelRatio());
    return qAbs(seen.red() - ring.red()) + qAbs(seen.green() - ring.green()) + qAbs(seen.blue() - ring.blue()) < 60;
}

} // namespace

class FocusKeysTest : public QObject {
    Q_OBJECT
    FocusFakes f;

private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void focusedRowIsDrawn_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("ringed");
        QTest::newRow("list reached by Tab") << "" << 0;
        QTest::newRow("down one row") << "D" << 1;
        QTest::newRow("down to the last") << "DDD" << 2;
        QTest::newRow("down and up") << "DDU" << 1;
        QTest::newRow("keyboard leaves the list") << "DL" << -1;
    }
    // The row the keyboard is on carries a ring; no other row does, and no
    // row once the keyboard has left the list.
    void focusedRowIsDrawn()
    {
        QFETCH(QString, keys);
        QFETCH(int, ringed);
        FocusModel m(f.services());
        for (const char* title : {"a", "b", "c"})
            m.addTask(QString::fromLatin1(title));
        FocusView v(m);
        v.resize(760, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.list()->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(v.list()->hasFocus());
        for (QChar k : keys) {
            if (k == QLatin1Char('L'))
                v.newTaskField()->setFocus(Qt::TabFocusReason);
            else
                QTest::keyClick(v.list(), k == QLatin1Char('D') ? Qt::Key_Down : Qt::Key_Up);
        }
        for (int row = 0; row < 3; ++row)
            QVERIFY2(ringOn(v, row) == (row == ringed), qPrintable(QString::number(row)));
    }

    void steppersByKeyboard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qint64>("shortBreak");
        QTest::addColumn<int>("focused");
        // c: a click on the "Short break" stepper's up button; u, d: Up and
        // Down; t, b: Tab and Shift+Tab.
        QTest::newRow("click") << "c" << qint64(6) << 1;
        QTest::newRow("click, then Up twice") << "cuu" << qint64(8) << 1;
        QTest::newRow("click, then Down") << "cd" << qint64(5) << 1;
        QTest::newRow("click, then Shift+Tab") << "cb" << qint64(6) << 0;
        QTest::newRow("click, then Tab") << "ct" << qint64(6) << 2;
        QTest::newRow("back and forth, then Up") << "cbtu" << qint64(7) << 1;
        QTest::newRow("down to the least and past it") << "cdddddddd" << qint64(1) << 1;
    }
    // A click on a stepper gives it the keyboard: the arrows step it, and Tab
    // and Shift+Tab go on from it, one stop for each stepper.
    void steppersByKeyboard()
    {
        QFETCH(QString, keys);
        QFETCH(qint64, shortBreak);
        QFETCH(int, focused);
        FocusModel m(f.services());
        FocusView v(m);
        v.resize(760, 560);
        v.show();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.newTaskField()->setFocus();
        QCOMPARE(m.config().shortBreakMinutes, qint64(5));
        QWindow* window = v.windowHandle();
        for (QChar k : keys) {
            switch (k.unicode()) {
            case 'c':
                QTest::mouseClick(v.stepper(1)->upButton(), Qt::LeftButton);
                break;
            case 'u':
                QTest::keyClick(window, Qt::Key_Up);
                break;
            case 'd':
                QTest::keyClick(window, Qt::Key_Down);
                break;
            case 't':
                QTest::keyClick(window, Qt::Key_Tab);
                break;
            case 'b':
                QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
                break;
            }
        }
        QCOMPARE(m.config().shortBreakMinutes, shortBreak);
        QCOMPARE(QApplication::focusWidget(), v.stepper(focused));
        QVERIFY(!v.newTaskField()->hasFocus());
    }
};

QTEST_MAIN(FocusKeysTest)
#include "tst_focuskeys.moc"
