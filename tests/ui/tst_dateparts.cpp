#include "TestEnvironment.h"
#include "ui/DatePartClicks.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>

namespace {

// The middle of the character at `index` of the field's text.
QPoint pointAt(QLineEdit* text, int index)
{
    const int y = text->height() / 2;
    // The cursor goes before a character over its left half, after it over
    // its right half: one pixel left of the first point that puts it after.
    for (int x = 0; x < text->width(); ++x) {
        if (text->cursorPositionAt(QPoint(x, y)) == index + 1)
            return QPoint(x - 1, y);
    }
    return QPoint(0, y);
}

} // namespace

class DatePartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickSelectsThePart_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("clickOn");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const QString date = QStringLiteral("M/d/yy");
        QTest::newRow("day, two digits") << date << "12" << "18" << "2026-03-18 09:05";
        QTest::newRow("day, one digit") << date << "12" << "4" << "2026-03-04 09:05";
        QTest::newRow("month") << date << "3/" << "7" << "2026-07-12 09:05";
        QTest::newRow("year") << date << "/26" << "27" << "2027-03-12 09:05";
        const QString time = QStringLiteral("M/d/yy HH:mm");
        QTest::newRow("hour of a date and time") << time << " 09" << "17" << "2026-03-12 17:05";
        QTest::newRow("minute of a date and time") << time << ":05" << "45" << "2026-03-12 09:45";
    }
    // A click on the day, month, year, hour or minute, then digits typed:
    // they replace that part.
    void clickSelectsThePart()
    {
        QFETCH(QString, format);
        QFETCH(QString, clickOn);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QDateTimeEdit field;
        field.setDisplayFormat(format);
        field.setDateTime(QDateTime(QDate(2026, 3, 12), QTime(9, 5)));
        DatePartClicks::install(&field);
        field.resize(200, 30);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        auto* text = field.findChild<QLineEdit*>();
        QVERIFY(text);
        // The part's last character (the separator before it is skipped).
        const int index = int(text->text().indexOf(clickOn)) + int(clickOn.size()) - 1
                          - (clickOn.endsWith(QLatin1Char('/')) ? 1 : 0);
        QVERIFY(index >= 0);
        QTest::mouseClick(text, Qt::LeftButton, {}, pointAt(text, index));
        QVERIFY(text->hasSelectedText());
        for (QChar c : typed)
            QTest::keyClick(&field, Qt::Key(c.unicode()));
        QCOMPARE(field.dateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), expected);
    }

    // A selection the user drags out stays as it is.
    void ownSelectionStays()
    {
        QDateTimeEdit field;
        field.setDisplayFormat(QStringLiteral("M/d/yy"));
        field.setDate(QDate(2026, 3, 12));
        DatePartClicks::install(&field);
        field.resize(200, 30);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        auto* text = field.findChild<QLineEdit*>();
        text->setSelection(0, 4); // as a drag over two parts leaves it
        QTest::mouseRelease(text, Qt::LeftButton, {}, pointAt(text, 3));
        QCOMPARE(text->selectedText(), QStringLiteral("3/12"));
    }
};

QTEST_MAIN(DatePartsTest)
#include "tst_dateparts.moc"
