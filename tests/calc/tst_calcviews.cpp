#include "TestEnvironment.h"
#include "app/SettingsStore.h"
#include "app/Tool.h"
#include "calc/CalculatorModel.h"
#include "calc/ScientificModel.h"
#include "calc/views/CalculatorView.h"
#include "calc/views/FitLabel.h"
#include "calc/views/HistoryList.h"
#include "calc/views/ScientificView.h"
#include "calc/views/SegmentedPicker.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"
#include "ui/ToolScaffold.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A top-level window holding a view and, below it, an ordinary text field.
struct Host {
    QWidget window;
    QLineEdit* field = nullptr;

    explicit Host(QWidget* view)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        field = new QLineEdit(&window);
        layout->addWidget(field);
        window.resize(420, 640);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        field->clearFocus();
    }
};

// Types a key script into the window as the platform would deliver it:
// plain characters, or {Return}, {Enter}, {Backspace}, {Delete}, {Escape},
// {Ctrl+C}, {Ctrl+V}, {Keypad5}.
void type(QWidget& window, const QString& script)
{
    QWindow* w = window.windowHandle();
    for (int i = 0; i < script.size(); ++i) {
        if (script.at(i) == QLatin1Char('{')) {
            const int end = script.indexOf(QLatin1Char('}'), i);
            const QString name = script.mid(i + 1, end - i - 1);
            i = end;
            if (name == QLatin1String("Return"))
                QTest::keyClick(w, Qt::Key_Return);
            else if (name == QLatin1String("Enter"))
                QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
            else if (name == QLatin1String("Backspace"))
                QTest::keyClick(w, Qt::Key_Backspace);
            else if (name == QLatin1String("Delete"))
                QTest::keyClick(w, Qt::Key_Delete);
            else if (name == QLatin1String("Escape"))
                QTest::keyClick(w, Qt::Key_Escape);
            else if (name == QLatin1String("Ctrl+C"))
                QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
            else if (name == QLatin1String("Ctrl+V"))
                QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
            else if (name == QLatin1String("Keypad5"))
                QTest::keyClick(w, Qt::Key_5, Qt::KeypadModifier);
            else
                QFAIL(qPrintable(QStringLiteral("unknown key ") + name));
        } else {
            QTest::keyClick(w, script.at(i).toLatin1());
        }
    }
}

void click(QWidget* w)
{
    QVERIFY(w);
    auto* b = qobject_cast<QAbstractButton*>(w);
    QVERIFY(b);
    b->click();
}

QString pngFolder()
{
    return qEnvironmentVariable("BW_CALC_PNG_DIR");
}

} // namespace

class CalcViewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keyboard_data();
    void keyboard();
    void textFieldKeepsKeys();
    void otherWindowKeepsKeys();
    void copyAndPaste_data();
    void copyAndPaste();
    void copyWinsOverWindowShortcut();
    void displaySize();
    void memoryMarker();
    void keypadLook_data();
    void keypadLook();
    void keypadClicks();

    void sciHistoryHint();
    void sciResultLine();
    void sciKeys_data();
    void sciKeys();
    void sciFunctionKeys();
    void sciMemoryKeys();
    void sciModePicker();
    void sciHistoryEntry();
    void sciReturnOutsideField();
    void sciClearHistory();

    void render();
};

void CalcViewsTest::init()
{
    TestEnvironment::clearDataFolder();
    SettingsStore::settings().remove(ScientificModel::modeKey());
    QGuiApplication::clipboard()->clear();
}

void CalcViewsTest::keyboard_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("display");

    QTest::newRow("return") << "12+3{Return}" << "15";
    QTest::newRow("keypad enter") << "2*8{Enter}" << "16";
    QTest::newRow("x multiplies") << "6x7=" << "42";
    QTest::newRow("X multiplies") << "6X7=" << "42";
    QTest::newRow("slash divides") << "9/4=" << "2.25";
    QTest::newRow("comma is a point") << "1,5+1=" << "2.5";
    QTest::newRow("minus") << "3-5=" << "-2";
    QTest::newRow("percent") << "50%" << "0.5";
    QTest::newRow("backspace") << "123{Backspace}" << "12";
    QTest::newRow("forward delete") << "123{Delete}" << "12";
    QTest::newRow("escape clears") << "12+3{Escape}" << "0";
    QTest::newRow("c clears") << "45c" << "0";
    QTest::newRow("keypad digit") << "1{Keypad5}" << "15";
    QTest::newRow("other letters pass") << "12ab" << "12";
}

void CalcViewsTest::keyboard()
{
    QFETCH(QString, script);
    QFETCH(QString, display);
    auto* view = new CalculatorView;
    Host host(view);
    type(host.window, script);
    QCOMPARE(view->model()->display(), display);
    QCOMPARE(view->displayLabel()->text(), display);
    QCOMPARE(view->displayLabel()->accessibleName(), QStringLiteral("Display ") + display);
    QVERIFY(host.field->text().isEmpty());
}

void CalcViewsTest::textFieldKeepsKeys()
{
    auto* view = new CalculatorView;
    Host host(view);
    host.field->setFocus();
    QTRY_VERIFY(host.field->hasFocus());
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    type(host.window, QStringLiteral("12+3{Return}x{Backspace}{Ctrl+V}{Escape}"));
    QCOMPARE(host.field->text(), QStringLiteral("12+377"));
    QCOMPARE(view->model()->display(), QStringLiteral("0"));
    QCOMPARE(view->model()->expressionLine(), QString());

    // A read-only field takes no typing, so the calculator does.
    host.field->setReadOnly(true);
    type(host.window, QStringLiteral("9"));
    QCOMPARE(view->model()->display(), QStringLiteral("9"));

    // Once the field lets go, keys reach the calculator again.
    host.field->setReadOnly(false);
    host.field->clearFocus();
    type(host.window, QStringLiteral("8"));
    QCOMPARE(view->model()->display(), QStringLiteral("98"));
    QCOMPARE(host.field->text(), QStringLiteral("12+377"));
}

void CalcViewsTest::otherWindowKeepsKeys()
{
    auto* view = new CalculatorView;
    Host host(view);
    QWidget other;
    auto* field = new QLineEdit(&other);
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    field->setFocus();
    field->setReadOnly(true);   // nothing there would take the keys
    QTest::keyClick(other.windowHandle(), Qt::Key_7);
    QCOMPARE(view->model()->display(), QStringLiteral("0"));
}

void CalcViewsTest::copyAndPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("display");
    QTest::newRow("grouped") << "1,234.5" << "1234.5";
    QTest::newRow("negative") << "-42" << "-42";
    QTest::newRow("exponent") << "1e5" << "100000";
    QTest::newRow("not a number") << "hello" << "15";
    QTest::newRow("too many digits") << "123456789012345678" << "15";
}

void CalcViewsTest::copyAndPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, display);
    auto* view = new CalculatorView;
    Host host(view);
    type(host.window, QStringLiteral("12+3{Return}{Ctrl+C}"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("15"));
    QCOMPARE(view->flashLabel()->text(), QStringLiteral("Copied 15"));
    QVERIFY(!view->flashLabel()->isHidden());

    QGuiApplication::clipboard()->setText(clipboard);
    type(host.window, QStringLiteral("{Ctrl+V}"));
    QCOMPARE(view->model()->display(), display);

    // The flash goes by itself.
    QTRY_VERIFY_WITH_TIMEOUT(view->flashLabel()->isHidden(), 3000);
}

void CalcViewsTest::copyWinsOverWindowShortcut()
{
    auto* view = new CalculatorView;
    Host host(view);
    int menuCopies = 0;
    auto* action = new QAction(QStringLiteral("Copy"), &host.window);
    action->setShortcut(QKeySequence::Copy);
    host.window.addAction(action);
    connect(action, &QAction::triggered, this, [&menuCopies] { ++menuCopies; });
    type(host.window, QStringLiteral("42{Ctrl+C}"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("42"));
    QCOMPARE(menuCopies, 0);

    // With a text field focused the window's shortcut works as usual.
    host.field->setFocus();
    QTRY_VERIFY(host.field->hasFocus());
    host.field->setText(QStringLiteral("abc"));
    host.field->selectAll();
    type(host.window, QStringLiteral("{Ctrl+C}"));
    QCOMPARE(view->model()->display(), QStringLiteral("42"));
}

void CalcViewsTest::displaySize()
{
    auto* view = new CalculatorView;
    Host host(view);
    auto sizeOf = [](qreal size) { return Fonts::system(size, QFont::DemiBold, Fonts::Design::Rounded).pointSizeF(); };
    type(host.window, QStringLiteral("123456789012"));
    QCOMPARE(view->displayLabel()->baseFont().pointSizeF(), sizeOf(40));
    type(host.window, QStringLiteral("3"));
    QCOMPARE(view->model()->display().size(), 13);
    QCOMPARE(view->displayLabel()->baseFont().pointSizeF(), sizeOf(26));
    // Sixteen digits still fit the window's width, shrinking if need be.
    type(host.window, QStringLiteral("456"));
    QVERIFY(view->displayLabel()->currentScale() >= 0.4);
}

void CalcViewsTest::memoryMarker()
{
    auto* view = new CalculatorView;
    Host host(view);
    QVERIFY(view->memoryMarker()->isHidden());
    type(host.window, QStringLiteral("7"));
    click(view->key(QStringLiteral("M+")));
    QVERIFY(!view->memoryMarker()->isHidden());
    click(view->key(QStringLiteral("MC")));
    QVERIFY(view->memoryMarker()->isHidden());
}

void CalcViewsTest::keypadLook_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QColor>("tint");   // invalid: no tint
    QTest::addColumn<QString>("spoken");
    const QColor memory = QColor::fromRgbF(0.35f, 0.3f, 0.5f);
    QTest::newRow("divide") << "÷" << Chrome::turquoiseDeep() << "divide";
    QTest::newRow("multiply") << "×" << Chrome::turquoiseDeep() << "multiply";
    QTest::newRow("minus") << "-" << Chrome::turquoiseDeep() << "minus";
    QTest::newRow("plus") << "+" << Chrome::turquoiseDeep() << "plus";
    QTest::newRow("equals") << "=" << Chrome::turquoiseDeep() << "equals";
    QTest::newRow("clear") << "C" << Chrome::cherry() << "clear";
    QTest::newRow("memory clear") << "MC" << memory << "memory clear";
    QTest::newRow("memory recall") << "MR" << memory << "memory recall";
    QTest::newRow("memory add") << "M+" << memory << "memory add";
    QTest::newRow("memory subtract") << "M-" << memory << "memory subtract";
    QTest::newRow("sign") << "±" << QColor() << "plus minus";
    QTest::newRow("percent") << "%" << QColor() << "percent";
    QTest::newRow("backspace") << "⌫" << QColor() << "backspace";
    QTest::newRow("digit") << "7" << QColor() << "7";
    QTest::newRow("point") << "." << QColor() << ".";
}

void CalcViewsTest::keypadLook()
{
    QFETCH(QString, key);
    QFETCH(QColor, tint);
    QFETCH(QString, spoken);
    CalculatorView view;
    ChromeKey* k = view.key(key);
    QVERIFY(k);
    QCOMPARE(k->tint().has_value(), tint.isValid());
    QCOMPARE(k->labelColor(), tint.isValid() ? tint : Chrome::ink());
    QCOMPARE(k->accessibleName(), spoken);
}

void CalcViewsTest::keypadClicks()
{
    CalculatorView view;
    QCOMPARE(CalculatorView::rows().size(), 6);
    for (const char* k : {"9", "±", "×", "4", "=", "%"})
        click(view.key(QString::fromUtf8(k)));
    QCOMPARE(view.model()->display(), QStringLiteral("-0.36"));
    click(view.key(QStringLiteral("C")));
    QCOMPARE(view.model()->display(), QStringLiteral("0"));
}

void CalcViewsTest::sciHistoryHint()
{
    ScientificView view;
    QVERIFY(!view.historyHint()->isHidden());
    QCOMPARE(view.historyList()->model()->rowCount(), 0);
    view.model()->setExpression(QStringLiteral("2+2"));
    click(view.control(QStringLiteral("=")));
    QVERIFY(view.historyHint()->isHidden());
    QCOMPARE(view.historyList()->model()->rowCount(), 1);
}

void CalcViewsTest::sciResultLine()
{
    auto* view = new ScientificView;
    Host host(view);
    SpellLineEdit* field = view->expressionField();
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    const qreal large = Fonts::system(30, QFont::DemiBold, Fonts::Design::Rounded).pointSizeF();
    const qreal small = Fonts::system(14, QFont::DemiBold, Fonts::Design::Rounded).pointSizeF();

    QTest::keyClicks(field, QStringLiteral("2+"));
    QCOMPARE(view->model()->expression(), QStringLiteral("2+"));
    QCOMPARE(view->resultLabel()->text(), QStringLiteral("0"));
    QVERIFY(!view->showsError());
    QTest::keyClicks(field, QStringLiteral("3"));
    QCOMPARE(view->resultLabel()->text(), QStringLiteral("= 5"));
    QCOMPARE(view->resultLabel()->baseFont().pointSizeF(), large);

    field->clear();
    QTest::keyClicks(field, QStringLiteral("1/0"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(view->resultLabel()->text(), QStringLiteral("Cannot divide by zero"));
    QCOMPARE(view->resultLabel()->baseFont().pointSizeF(), small);
    QCOMPARE(view->resultLabel()->palette().color(QPalette::WindowText), QColor::fromRgbF(1.0f, 0.55f, 0.5f));
    QTest::keyClicks(field, QStringLiteral("+1"));
    QCOMPARE(view->resultLabel()->text(), QStringLiteral("Cannot divide by zero"));
    click(view->control(QStringLiteral("⌫")));
    QCOMPARE(field->text(), QStringLiteral("1/0+"));
    QCOMPARE(view->resultLabel()->text(), QStringLiteral("Cannot divide by zero"));
    click(view->control(QStringLiteral("5")));
    QVERIFY(!view->showsError());
    QCOMPARE(field->text(), QStringLiteral("1/0+5"));
    QCOMPARE(view->resultLabel()->baseFont().pointSizeF(), large);
}

void CalcViewsTest::sciKeys_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("line");
    QTest::newRow("exponent key") << QStringList{"2", "EE", "5"} << "2e5" << "= 200000";
    QTest::newRow("minus sign key") << QStringList{"9", "−", "4"} << "9-4" << "= 5";
    QTest::newRow("times and divide") << QStringList{"8", "×", "3", "÷", "4"} << "8×3÷4" << "= 6";
    QTest::newRow("point and plus") << QStringList{"0", ".", "5", "+", "1"} << "0.5+1" << "= 1.5";
    QTest::newRow("clear") << QStringList{"7", "C"} << "" << "0";
    QTest::newRow("backspace") << QStringList{"7", "8", "⌫"} << "7" << "= 7";
    QTest::newRow("degrees sine") << QStringList{"sin", "3", "0", ")"} << "sin(30)" << "= 0.5";
    QTest::newRow("square root key") << QStringList{"√", "1", "6", ")", "x²"} << "sqrt(16)^2" << "= 16";
    QTest::newRow("pi key") << QStringList{"2", "π"} << "2π" << "= 6.28318530718";
    QTest::newRow("factorial") << QStringList{"5", "n!"} << "5!" << "= 120";
    QTest::newRow("combinations") << QStringList{"nCr", "5", ",", "2", ")"} << "ncr(5,2)" << "= 10";
}

void CalcViewsTest::sciKeys()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, expression);
    QFETCH(QString, line);
    ScientificView view;
    for (const QString& k : keys)
        click(view.control(k));
    QCOMPARE(view.expressionField()->text(), expression);
    QCOMPARE(view.resultLabel()->text(), line);
}

void CalcViewsTest::sciFunctionKeys()
{
    ScientificView view;
    int count = 0;
    for (const auto& row : ScientificView::fnRows()) {
        QCOMPARE(row.size(), 5);
        for (const ScientificView::FnKey& key : row) {
            view.model()->clear();
            auto* k = qobject_cast<ChromeKey*>(view.control(key.label));
            QVERIFY2(k, qPrintable(key.label));
            QCOMPARE(k->labelColor(), QColor::fromRgbF(0.25f, 0.30f, 0.70f));
            k->click();
            QCOMPARE(view.model()->expression(), key.insert);
            ++count;
        }
    }
    QCOMPARE(count, 30);
    QCOMPARE(qobject_cast<ChromeKey*>(view.control(QStringLiteral("C")))->labelColor(), Chrome::cherry());
    QCOMPARE(qobject_cast<ChromeKey*>(view.control(QStringLiteral("⌫")))->labelColor(), Chrome::ink());
    QCOMPARE(qobject_cast<ChromeKey*>(view.control(QStringLiteral("=")))->labelColor(), Chrome::turquoiseDeep());
    QCOMPARE(qobject_cast<ChromeKey*>(view.control(QStringLiteral("−")))->labelColor(), Chrome::turquoiseDeep());
    QCOMPARE(qobject_cast<ChromeKey*>(view.control(QStringLiteral("EE")))->labelColor(), Chrome::ink());
}

void CalcViewsTest::sciMemoryKeys()
{
    ScientificView view;
    QVERIFY(view.memoryBadge()->isHidden());
    click(view.control(QStringLiteral("MR")));
    QCOMPARE(view.expressionField()->text(), QStringLiteral("m"));
    QCOMPARE(view.resultLabel()->text(), QStringLiteral("= 0"));
    view.model()->setExpression(QStringLiteral("12"));
    click(view.control(QStringLiteral("=")));
    click(view.control(QStringLiteral("M+")));
    QVERIFY(!view.memoryBadge()->isHidden());
    QCOMPARE(view.model()->memory(), 12.0);
    click(view.control(QStringLiteral("Copy")));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12"));
    click(view.control(QStringLiteral("MC")));
    QVERIFY(view.memoryBadge()->isHidden());
}

void CalcViewsTest::sciModePicker()
{
    ScientificView view;
    QCOMPARE(view.modeBadge()->text(), QStringLiteral("DEG"));
    QCOMPARE(view.modePicker()->currentIndex(), 0);
    view.model()->setExpression(QStringLiteral("sin(30)"));
    QCOMPARE(view.resultLabel()->text(), QStringLiteral("= 0.5"));
    view.modePicker()->resize(view.modePicker()->sizeHint());
    QTest::mouseClick(view.modePicker(), Qt::LeftButton, {}, view.modePicker()->segmentRect(1).center());
    QCOMPARE(view.model()->mode(), AngleMode(AngleMode::radians));
    QCOMPARE(view.modeBadge()->text(), QStringLiteral("RAD"));
    QCOMPARE(view.resultLabel()->text(), QStringLiteral("= -0.988031624093"));
    QCOMPARE(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("radians"));

    ScientificView second;
    QCOMPARE(second.modePicker()->currentIndex(), 1);
    QCOMPARE(second.modeBadge()->text(), QStringLiteral("RAD"));
}

void CalcViewsTest::sciHistoryEntry()
{
    auto* view = new ScientificView;
    Host host(view);
    view->model()->setExpression(QStringLiteral("6*7"));
    click(view->control(QStringLiteral("=")));
    view->model()->setExpression(QStringLiteral("1/0"));
    click(view->control(QStringLiteral("=")));
    QVERIFY(view->showsError());

    HistoryList* list = view->historyList();
    QTRY_VERIFY(list->rowRect(0).isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(0).center());
    QCOMPARE(view->expressionField()->text(), QStringLiteral("6*7"));
    QVERIFY(view->showsError());

    std::unique_ptr<QMenu> menu(list->menuFor(0, nullptr));
    QVERIFY(menu);
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Copy Result"));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("Insert Result"));
    actions.at(0)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("42"));
    QVERIFY(view->showsError());
    actions.at(1)->trigger();
    QCOMPARE(view->expressionField()->text(), QStringLiteral("6*742"));
    QVERIFY(!view->showsError());
    QVERIFY(!list->menuFor(5, nullptr));

    // A right click on an entry opens the same menu.
    QContextMenuEvent event(QContextMenuEvent::Mouse, list->rowRect(0).center(),
                            list->viewport()->mapToGlobal(list->rowRect(0).center()));
    QApplication::sendEvent(list->viewport(), &event);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(popup->actions().size(), 2);
    QCOMPARE(popup->actions().at(1)->text(), QStringLiteral("Insert Result"));
    popup->close();
}

void CalcViewsTest::sciReturnOutsideField()
{
    auto* view = new ScientificView;
    Host host(view);
    view->model()->setExpression(QStringLiteral("2^10"));
    host.field->setFocus();   // a field of the window that is not the expression
    QTRY_VERIFY(host.field->hasFocus());
    host.field->clearFocus();
    QTest::keyClick(host.window.windowHandle(), Qt::Key_Return);
    QCOMPARE(view->model()->result(), QStringLiteral("1024"));
    QCOMPARE(view->model()->history().size(), 1);

    // Inside the expression field Return evaluates once.
    view->expressionField()->setFocus();
    QTRY_VERIFY(view->expressionField()->hasFocus());
    QTest::keyClick(host.window.windowHandle(), Qt::Key_Return);
    QCOMPARE(view->model()->history().size(), 2);
}

void CalcViewsTest::sciClearHistory()
{
    ScientificView view;
    view.model()->setExpression(QStringLiteral("1+1"));
    click(view.control(QStringLiteral("=")));
    click(view.control(QStringLiteral("Clear History")));
    QCOMPARE(view.historyList()->model()->rowCount(), 0);
    QVERIFY(!view.historyHint()->isHidden());
    ScientificModel fresh;
    QVERIFY(fresh.history().isEmpty());
}

void CalcViewsTest::render()
{
    // Renders both windows at their default sizes inside the tool frame.
    const QString folder = pngFolder();
    if (folder.isEmpty())
        QSKIP("set BW_CALC_PNG_DIR to write the pictures");
    QDir().mkpath(folder);

    auto* calc = new CalculatorView;
    ToolScaffold calcFrame(Tool::calculator, calc);
    calcFrame.resize(*Tool(Tool::calculator).defaultSize());
    calcFrame.show();
    calc->model()->input(QStringLiteral("7"));
    calc->model()->input(QStringLiteral("M+"));
    for (const char* k : {"1", "2", "+", "3", "×", "4"})
        calc->model()->input(QString::fromUtf8(k));
    calc->copy();
    QTest::qWait(50);
    QVERIFY(calcFrame.grab().save(folder + QStringLiteral("/calculator.png")));

    auto* sci = new ScientificView;
    ToolScaffold sciFrame(Tool::scientific, sci);
    sciFrame.resize(*Tool(Tool::scientific).defaultSize());
    sciFrame.show();
    QVERIFY(sciFrame.grab().save(folder + QStringLiteral("/scientific-empty.png")));
    for (const char* e : {"2+3×4", "sqrt(2)", "sin(30)+√16", "10^3/7"}) {
        sci->model()->setExpression(QString::fromUtf8(e));
        sci->model()->evaluate();
    }
    sci->model()->memoryAdd();
    sci->model()->setExpression(QStringLiteral("2sin(30)+"));
    QTest::qWait(50);
    QVERIFY(sciFrame.grab().save(folder + QStringLiteral("/scientific.png")));
    sci->model()->setExpression(QStringLiteral("1/0"));
    sci->model()->evaluate();
    QTest::qWait(50);
    QVERIFY(sciFrame.grab().save(folder + QStringLiteral("/scientific-error.png")));
}

QTEST_MAIN(CalcViewsTest)
#include "tst_calcviews.moc"
