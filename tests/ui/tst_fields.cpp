#include "TestEnvironment.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"
#include "ui/NumberField.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <QLabel>
#include <QFile>
#include <QTemporaryDir>
#include <limits>

Q_DECLARE_METATYPE(AlertStyle)

namespace {

// Answers the next modal alert with `action` once it is up.
void whenAlertShows(std::function<void(QMessageBox*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(box);
        }
    });
    timer->start();
}

QPushButton* buttonTitled(QMessageBox* box, const QString& title)
{
    for (QAbstractButton* b : box->buttons())
        if (b->text() == title)
            return qobject_cast<QPushButton*>(b);
    return nullptr;
}

// A shown window holding a number field and an ordinary input after it.
struct FieldWindow {
    QWidget window;
    NumberField* field;
    QLineEdit* other = new QLineEdit;
    FieldWindow(double value, const QString& format)
        : field(new NumberField(QStringLiteral("Amount"), value, 120, format))
    {
        auto* l = new QVBoxLayout(&window);
        l->addWidget(field);
        l->addWidget(other);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QApplication::setActiveWindow(&window);
    }
    // Focuses the field's text and selects it all, ready for typing over.
    bool focusField()
    {
        field->lineEdit()->setFocus();
        const bool focused = QTest::qWaitFor([this] { return field->lineEdit()->hasFocus(); });
        field->lineEdit()->selectAll();
        return focused;
    }
};

} // namespace

class FieldsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppLook::apply(*qApp); }

    void format_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2.5") << "%.2f" << 2.5 << "2.5";
        QTest::newRow("3") << "%.2f" << 3.0 << "3";
        QTest::newRow("0.1") << "%.2f" << 0.1 << "0.1";
        QTest::newRow("10 at one place") << "%.1f" << 10.0 << "10";
        QTest::newRow("no point keeps zeros") << "%.0f" << 1000.0 << "1000";
        QTest::newRow("negative tiny") << "%.2f" << -0.001 << "-0";
        QTest::newRow("rounds") << "%.3f" << 6.12549 << "6.125";
        // A value exactly halfway between two shown values goes to the even
        // digit, as printf rounds.
        QTest::newRow("half down to even") << "%.2f" << 0.125 << "0.12";
        QTest::newRow("half up to even") << "%.2f" << 0.375 << "0.38";
        QTest::newRow("half of a whole") << "%.0f" << 2.5 << "2";
        QTest::newRow("half at one place") << "%.1f" << -12.25 << "-12.2";
        QTest::newRow("long text") << "%.3f" << std::ldexp(1.0, 500) << QStringLiteral(
            "3273390607896141870013189696827599152216642046043064789483291368096133796404674554883270092325904157150886684127560071009217256545885393053328527589376");
        QTest::newRow("text around") << "$%.2f each" << 2.5 << "$2.50 each";
        QTest::newRow("text after keeps zeros") << "%.2f%%" << 4.5 << "4.50%";
        QTest::newRow("exponent keeps its zeros") << "%.2e" << 1e10 << "1.00e+10";
        QTest::newRow("infinity") << "%.2f" << std::numeric_limits<double>::infinity() << "inf";
        // Formats that are not one floating conversion never reach printf.
        QTest::newRow("string conversion") << "%s" << 2.5 << "2.5";
        QTest::newRow("two conversions") << "%f %f" << 2.5 << "2.5";
        QTest::newRow("store conversion") << "%n" << 2.5 << "2.5";
        QTest::newRow("integer conversion") << "%d" << 2.5 << "2.5";
        QTest::newRow("giant width") << "%999999999f" << 2.5 << "2.5";
        QTest::newRow("three-digit width") << "%100f" << 2.5 << "2.5";
        QTest::newRow("three-digit precision") << "%.100f" << 2.5 << "2.5";
        QTest::newRow("escaped percent, no conversion") << "%%f" << 2.5 << "2.5";
        QTest::newRow("lone percent") << "%" << 2.5 << "2.5";
        QTest::newRow("flags, width, precision") << "%+07.2f" << 2.5 << "+002.5";
        QTest::newRow("empty") << "" << 2.5 << "2.5";
    }
    void format()
    {
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(NumberField::fmt(format, value), expected);
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected"); // NaN: does not convert
        const double no = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("grouping") << "1,250.50" << 1250.5;
        QTest::newRow("dollar") << "$300" << 300.0;
        QTest::newRow("percent") << "4.5%" << 4.5;
        QTest::newRow("spaces") << "  7  " << 7.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("only signs and separators") << "$,%" << 0.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("sign") << "-2.5" << -2.5;
        QTest::newRow("comma is grouping") << "3,5" << 35.0;
        QTest::newRow("letter after") << "12a" << no;
        QTest::newRow("only sign") << "-" << no;
        QTest::newRow("newline is not blank") << "7\n" << no;
        QTest::newRow("inner space") << "1 000" << no;
        QTest::newRow("hex") << "0x10" << no;
        QTest::newRow("inf") << "inf" << no;
        QTest::newRow("too large") << "1e999" << no;
        QTest::newRow("too small reads as zero") << "1e-400" << 0.0;
        QTest::newRow("too small with sign and separators") << "-$2,5e-330" << 0.0;
        QTest::newRow("smallest that holds") << "5e-324" << 5e-324;
        QTest::newRow("two points") << "1.2.3" << no;
    }
    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const std::optional<double> v = NumberField::parse(text);
        if (std::isnan(expected)) {
            QVERIFY(!v.has_value());
        } else {
            QVERIFY(v.has_value());
            QCOMPARE(*v, expected);
        }
    }

    // Every keystroke sets the value when the text so far converts.
    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("expected");
        QTest::newRow("grouping") << "1,250.50" << 1250.5;
        QTest::newRow("letter after keeps the last number") << "12a" << 12.0;
        QTest::newRow("junk from the start keeps the old value") << "abc" << 42.0;
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(double, expected);
        FieldWindow w(42, QStringLiteral("%.2f"));
        QVERIFY(w.focusField());
        QTest::keyClicks(w.field->lineEdit(), typed);
        QCOMPARE(w.field->text(), typed); // the text stays as typed while focused
        QCOMPARE(w.field->value(), expected);
    }

    void clearingSetsZeroAndLeavesTheFieldEmpty()
    {
        FieldWindow w(6.5, QStringLiteral("%.3f"));
        QCOMPARE(w.field->text(), QStringLiteral("6.5"));
        QSignalSpy changed(w.field, &NumberField::valueChanged);
        QVERIFY(w.focusField());
        QTest::keyClick(w.field->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(w.field->value(), 0.0);
        QCOMPARE(w.field->text(), QString());
        QCOMPARE(changed.count(), 1);
    }

    void outsideChangesShowOnlyWhileUnfocused()
    {
        FieldWindow w(1, QStringLiteral("%.2f"));
        NumberField* field = w.field;
        w.other->setFocus();
        QTRY_VERIFY(w.other->hasFocus());
        field->setValue(2.126);
        QCOMPARE(field->text(), QStringLiteral("2.13"));
        // The shown rounding does not change the value behind it.
        QCOMPARE(field->value(), 2.126);
        QVERIFY(w.focusField());
        QTest::keyClicks(field->lineEdit(), QStringLiteral("1,000.50"));
        QCOMPARE(field->value(), 1000.5);
        field->setValue(99);
        QCOMPARE(field->text(), QStringLiteral("1,000.50"));
        QCOMPARE(field->value(), 99.0);
        // Leaving the field does not reformat it.
        w.other->setFocus();
        QTRY_VERIFY(w.other->hasFocus());
        QCOMPARE(field->text(), QStringLiteral("1,000.50"));
        // Handing the field its own value again (any other change of the
        // tool does) is no change.
        field->setValue(99);
        QCOMPARE(field->text(), QStringLiteral("1,000.50"));
        field->setValue(3);
        QCOMPARE(field->text(), QStringLiteral("3"));
    }

    void alertAnswersByPosition_data()
    {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("press"); // title, or "Return"/"Escape"
        QTest::addColumn<int>("expected");
        const QStringList deleteCancel{QStringLiteral("Delete"), QStringLiteral("Cancel")};
        QTest::newRow("first") << deleteCancel << "Delete" << 1000;
        QTest::newRow("return presses the first") << deleteCancel << "Return" << 1000;
        QTest::newRow("escape is cancel") << deleteCancel << "Escape" << 1001;
        QTest::newRow("third") << QStringList{"Save", "Don't Save", "Cancel"} << "Cancel" << 1002;
        QTest::newRow("empty list gives OK") << QStringList{} << "OK" << 1000;
    }
    void alertAnswersByPosition()
    {
        QFETCH(QStringList, buttons);
        QFETCH(QString, press);
        QFETCH(int, expected);
        QString shownTitle, shownInfo;
        whenAlertShows([&](QMessageBox* box) {
            shownTitle = box->text();
            shownInfo = box->informativeText();
            if (press == QLatin1String("Return"))
                QTest::keyClick(box, Qt::Key_Return);
            else if (press == QLatin1String("Escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (QPushButton* b = buttonTitled(box, press))
                b->click();
        });
        const int answer = runAlert(QStringLiteral("Delete this note?"), QStringLiteral("This can’t be undone."),
                                    AlertStyle::Warning, buttons);
        QCOMPARE(answer, expected);
        QCOMPARE(shownTitle, QStringLiteral("Delete this note?"));
        QCOMPARE(shownInfo, QStringLiteral("This can’t be undone."));
    }

    void alertShowsItsWholeTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("close prompt") << QStringLiteral(
            "Do you want to save the changes made to the document “Quarterly report for the garden club committee.docx”?");
        QTest::newRow("one long name") << QStringLiteral(
            "Do you want to save the changes made to the document “AnnualFinancialStatementAndBudgetForecast2026.docx”?");
        QTest::newRow("short name") << QStringLiteral("Do you want to save the changes made to “letter.docx”?");
    }
    // The title wraps inside the alert: every character can be read.
    void alertShowsItsWholeTitle()
    {
        QFETCH(QString, title);
        QLabel* label = nullptr;
        QRect inside;
        QString shown;
        whenAlertShows([&](QMessageBox* box) {
            label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (label) {
                inside = QRect(label->mapTo(box, QPoint(0, 0)), label->size());
                // Each line of the title fits the label.
                const QFontMetrics metrics(label->font());
                for (const QString& line : label->text().split(QLatin1Char('\n'))) {
                    if (metrics.horizontalAdvance(line) > label->contentsRect().width() + 1)
                        shown = QStringLiteral("line wider than the label: ") + line;
                }
                if (label->text().simplified().remove(QLatin1Char(' ')) != title.simplified().remove(QLatin1Char(' ')))
                    shown = QStringLiteral("title changed: ") + label->text();
                if (shown.isEmpty() && !box->rect().contains(inside))
                    shown = QStringLiteral("label outside the alert");
                const QString png = qEnvironmentVariable("BW_ALERT_PNG");
                if (!png.isEmpty())
                    box->grab().save(png);
            }
            box->reject();
        });
        runAlert(title, QStringLiteral("Your changes will be lost if you don’t save them."), AlertStyle::Warning,
                 {QStringLiteral("Save"), QStringLiteral("Don’t Save"), QStringLiteral("Cancel")});
        QVERIFY(label);
        QVERIFY2(shown.isEmpty(), qPrintable(shown));
    }

    void alertWithoutCancelIgnoresEscape()
    {
        whenAlertShows([](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            QTimer::singleShot(50, box, [box] { buttonTitled(box, QStringLiteral("Keep"))->click(); });
        });
        QCOMPARE(runAlert(QStringLiteral("Replace?"), QString(), AlertStyle::Critical,
                          {QStringLiteral("Replace"), QStringLiteral("Keep")}),
                 1001);
    }

    void handlerAnswersInsteadOfTheDialog()
    {
        QList<AlertRequest> seen;
        const AlertHandler previous = setAlertHandler([&seen](const AlertRequest& r) {
            seen.append(r);
            return 1000 + int(r.buttons.size()) - 1;
        });
        QCOMPARE(runAlert(QStringLiteral("Bibliography copied"), QString(), AlertStyle::Informational), 1000);
        QCOMPARE(seen.last().buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(seen.last().style, AlertStyle::Informational);
        QCOMPARE(runAlert(QStringLiteral("a"), QStringLiteral("b"), AlertStyle::Warning,
                          {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}),
                 1002);
        setAlertHandler(previous);
        QVERIFY(!previous);
    }
};

// Alerts size their lines by the screen's width: test on a desktop-sized
// screen rather than the small default of the offscreen platform.
int main(int argc, char** argv)
{
    QTemporaryDir screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.isValid()) {
        QFile config(screens.filePath(QStringLiteral("screens.json")));
        if (config.open(QIODevice::WriteOnly)
            && config.write(R"({"screens":[{"name":"desk","x":0,"y":0,"width":1600,"height":1000}]})") > 0) {
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
        }
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    FieldsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fields.moc"
