#include "TestEnvironment.h"
#include "app/views/WindowManager.h"
#include "planner/FocusModel.h"
#include "planner/views/FocusTaskList.h"
#include "planner/views/TimelineView.h"
#include "ui/ChromeButton.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

namespace {

QString describe(const QWidget* w)
{
    if (!w)
        return QStringLiteral("(nothing)");
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        name += QLatin1Char('#') + w->objectName();
    if (!w->accessibleName().isEmpty())
        name += QStringLiteral(" “") + w->accessibleName() + QStringLiteral("”");
    if (w->parentWidget() && !w->parentWidget()->accessibleName().isEmpty())
        name += QStringLiteral(" in “") + w->parentWidget()->accessibleName() + QStringLiteral("”");
    return name;
}

QStringList describe(const QList<QWidget*>& widgets)
{
    QStringList lines;
    for (const QWidget* w : widgets)
        lines << describe(w);
    return lines;
}

// The controls of `window` that Tab may stop at.
int tabStops(QWidget* window)
{
    int n = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isEnabled() && w->isVisibleTo(window))
            ++n;
    }
    return n;
}

void pressTab(QWidget* window, bool forward)
{
    if (forward)
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    else
        QTest::keyClick(window->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
}

// Presses Tab (or Shift+Tab) in `window` until the keyboard comes back to
// where it started, and lists the controls it went to, the start first. A
// date field takes Tab to move between its parts first, as a date field
// does. Empty when the keyboard gets stuck or wanders off.
QList<QWidget*> walk(QWidget* window, bool forward, QString* problem)
{
    const QString key = forward ? QStringLiteral("Tab") : QStringLiteral("Shift+Tab");
    QWidget* start = QApplication::focusWidget();
    QList<QWidget*> visited{start};
    for (int step = 0; step < 300; ++step) {
        QWidget* before = QApplication::focusWidget();
        pressTab(window, forward);
        QWidget* now = QApplication::focusWidget();
        for (int part = 0; now == before && qobject_cast<QAbstractSpinBox*>(now) && part < 8; ++part) {
            pressTab(window, forward);
            now = QApplication::focusWidget();
        }
        if (now == start)
            return visited;
        if (now == before || !now || now->window() != window) {
            *problem = QStringLiteral("%1 from %2 goes to %3").arg(key, describe(before), describe(now));
            return {};
        }
        if (visited.contains(now)) {
            *problem = QStringLiteral("%1 comes back to %2 without reaching %3").arg(key, describe(now), describe(start));
            return {};
        }
        visited.append(now);
    }
    *problem = QStringLiteral("no end to the chain");
    return {};
}

} // namespace

class TabOrderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameBothWays_data()
    {
        QTest::addColumn<int>("tool");
        // The focus window with a to-do row open for editing; the timeline
        // with a goal and a milestone in its editor.
        QTest::addColumn<bool>("filled");
        for (const Tool t : Tool::allCases()) {
            if (t != Tool::wordProcessor)
                QTest::newRow(qPrintable(t.rawValue())) << t.index() << false;
        }
        QTest::newRow("focus, a to-do row open") << Tool(Tool::focus).index() << true;
        QTest::newRow("timeline, a goal open") << Tool(Tool::timeline).index() << true;
    }
    // Tab and Shift+Tab visit the same controls of a tool window, one the
    // reverse of the other, and neither gets stuck in a control.
    void sameBothWays()
    {
        QFETCH(int, tool);
        QFETCH(bool, filled);
        const Tool t = Tool::allCases().at(tool);
        if (t == Tool::focus && FocusModel::shared().tasks().isEmpty()) {
            FocusModel::shared().addTask(QStringLiteral("Read chapter 4"));
            FocusModel::shared().addTask(QStringLiteral("Outline the essay"));
        }
        QWidget* w = WindowManager::shared().open(t);
        QVERIFY(QTest::qWaitForWindowActive(w));
        // From the first control of the window.
        pressTab(w, true);
        if (!tabStops(w)) {
            QVERIFY(!QApplication::focusWidget() || QApplication::focusWidget() == w);
            w->close();
            return;
        }
        if (filled && t == Tool::focus) {
            auto* list = w->findChild<FocusTaskList*>();
            QVERIFY(list);
            list->setFocus(Qt::TabFocusReason);
            QTest::keyClick(w->windowHandle(), Qt::Key_Return); // opens the row for editing
            QVERIFY(QApplication::focusWidget() != list);
        }
        if (filled && t == Tool::timeline) {
            auto* view = w->findChild<TimelineView*>();
            QVERIFY(view);
            view->addShortButton()->click();
            QTRY_VERIFY(view->editor());
            QLineEdit* entry = nullptr;
            for (QLineEdit* e : w->findChildren<QLineEdit*>()) {
                if (e->placeholderText() == QLatin1String("New milestone"))
                    entry = e;
            }
            QVERIFY(entry);
            entry->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(entry, QStringLiteral("Draft chapter"));
            QTest::keyClick(entry, Qt::Key_Return);
            QTRY_VERIFY(tabStops(w) > 12);
        }
        QVERIFY(QApplication::focusWidget());
        QString problem;
        const QList<QWidget*> forward = walk(w, true, &problem);
        QVERIFY2(!forward.isEmpty(), qPrintable(problem));
        const QList<QWidget*> backward = walk(w, false, &problem);
        QVERIFY2(!backward.isEmpty(), qPrintable(problem));
        QList<QWidget*> expected{forward.first()};
        for (qsizetype i = forward.size() - 1; i > 0; --i)
            expected.append(forward.at(i));
        QCOMPARE(describe(backward), describe(expected));
        QCOMPARE(backward, expected);
        w->close();
    }
};

QTEST_MAIN(TabOrderTest)
#include "tst_taborder.moc"
