#include "TestEnvironment.h"
#include "core/SettingsStore.h"
#include "core/Tool.h"
#include "calc/CalculatorModel.h"
#include "calc/ScientificModel.h"
#include "calc/views/CalcLook.h"
#include "calc/views/CalculatorView.h"
#include "calc/views/FitLabel.h"
#include "calc/views/HistoryList.h"
#include "calc/views/ScientificView.h"
#include "ui/SegmentedPicker.h"
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
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRawFont>
#include <QSet>
#include <QTest>
#include <QTextLayout>
#include <QGlyphRun>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

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
    static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
        {QStringLiteral("Return"), {Qt::Key_Return, {}}},
        {QStringLiteral("Enter"), {Qt::Key_Enter, Qt::KeypadModifier}},
        {QStringLiteral("Backspace"), {Qt::Key_Backspace, {}}},
        {QStringLiteral("Delete"), {Qt::Key_Delete, {}}},
        {QStringLiteral("Escape"), {Qt::Key_Escape, {}}},
        {QStringLiteral("Ctrl+C"), {Qt::Key_C, Qt::ControlModifier}},
        {QStringLiteral("Ctrl+V"), {Qt::Key_V, Qt::ControlModifier}},
        {QStringLiteral("Keypad5"), {Qt::Key_5, Qt::KeypadModifier}},
    };
    QWindow* w = window.windowHandle();
    for (int i = 0; i < script.size(); ++i) {
        if (script.at(i) != QLatin1Char('{')) {
            QTest::keyClick(w, script.at(i).toLatin1());
            continue;
        }
        const int end = script.indexOf(QLatin1Char('}'), i);
        const QString name = script.mid(i + 1, end - i - 1);
        i = end;
        QVERIFY2(named.contains(name), qPrintable(name));
        QTest::keyClick(w, named.value(name).first, named.value(name).second);
    }
}

void click(QWidget* w)
{
    QVERIFY(qobject_cast<QAbstractButton*>(w));
    static_cast<QAbstractButton*>(w)->click();
}

} // namespace

class CalcViewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A fitted line given its height keeps it whatever its face; one
    // measured takes the face's.
    void fitLabelLineHeight()
    {
        FitLabel given, measured;
        for (FitLabel* l : {&given, &measured})
            l->setBaseFont(Fonts::system(13, QFont::Normal, Fonts::Design::Monospaced));
        given.setLineHeight(16);
        QCOMPARE(given.sizeHint().height(), 16);
        QCOMPARE(given.minimumSizeHint().height(), 16);
        given.setFittedText(QStringLiteral("12 × 3 ="));
        QCOMPARE(given.sizeHint().height(), 16);
        QVERIFY(given.sizeHint().width() > 0);
        QCOMPARE(measured.sizeHint().height(),
                 int(std::ceil(QFontMetricsF(measured.baseFont()).height())));
    }

    // A selectable display is drawn once for each change of its text or
    // size, not a second time right after.
    void selectableDisplayPaintsOncePerChange()
    {
        struct Counter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    ++paints;
                return false;
            }
        } counter;
        CalculatorView view;
        view.resize(340, 520);
        view.displayLabel()->installEventFilter(&counter);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(counter.paints >= 1);
        QTest::qWait(60);
        QCOMPARE(counter.paints, 1);
        for (const QString& key : {QStringLiteral("7"), QStringLiteral("8")}) {
            const int before = counter.paints;
            view.model()->input(key);
            QTRY_VERIFY(counter.paints > before);
            QTest::qWait(60);
            QCOMPARE(counter.paints, before + 1);
        }
        const int before = counter.paints;
        view.resize(400, 520);
        QTRY_VERIFY(counter.paints > before);
        QTest::qWait(60);
        QCOMPARE(counter.paints, before + 1);
    }

    void init()
    {
        TestEnvironment::clearDataFolder();
        SettingsStore::settings().remove(ScientificModel::modeKey());
        QGuiApplication::clipboard()->clear();
    }

    void keyboard_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("display");

        QTest::newRow("return") << "12+3{Return}" << "15";
        QTest::newRow("keypad enter") << "2*8{Enter}" << "16";
        QTest::newRow("x multiplies") << "6x7=" << "42";
        QTest::newRow("slash divides") << "9/4=" << "2.25";
        QTest::newRow("comma is a point") << "1,5+1=" << "2.5";
        QTest::newRow("percent") << "50%" << "0.5";
        QTest::newRow("backspace") << "123{Backspace}" << "12";
        QTest::newRow("forward delete") << "123{Delete}" << "12";
        QTest::newRow("escape clears") << "12+3{Escape}" << "0";
        QTest::newRow("c clears") << "45c" << "0";
        QTest::newRow("keypad digit") << "1{Keypad5}" << "15";
        QTest::newRow("other letters pass") << "12ab" << "12";
    }
    void keyboard()
    {
        QFETCH(QString, script);
        QFETCH(QString, display);
        auto* view = new CalculatorView;
        Host host(view);
        type(host.window, script);
        QCOMPARE(view->model()->display(), display);
        QCOMPARE(view->displayLabel()->text(), display);
        QVERIFY(host.field->text().isEmpty());
    }

    void textFieldKeepsKeys()
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

        // Keys typed into another window never reach the calculator.
        QWidget other;
        auto* field = new QLineEdit(&other);
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        field->setFocus();
        field->setReadOnly(true);   // nothing there would take the keys
        QTest::keyClick(other.windowHandle(), Qt::Key_7);
        QCOMPARE(view->model()->display(), QStringLiteral("98"));
    }

    void copyAndPaste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("display");
        QTest::newRow("grouped") << "1,234.5" << "1234.5";
        QTest::newRow("exponent") << "1e5" << "100000";
        QTest::newRow("not a number") << "hello" << "15";
    }
    void copyAndPaste()
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
        QTRY_VERIFY_WITH_TIMEOUT(view->flashLabel()->isHidden(), 10000);
    }

    void copyWinsOverWindowShortcut()
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

    void displaySize()
    {
        auto* view = new CalculatorView;
        Host host(view);
        type(host.window, QStringLiteral("123456789012"));
        const qreal twelve = view->displayLabel()->baseFont().pointSizeF();
        type(host.window, QStringLiteral("3"));
        QVERIFY(view->displayLabel()->baseFont().pointSizeF() < twelve); // from 13 digits on
        // Sixteen digits still fit the window's width, shrinking if need be.
        type(host.window, QStringLiteral("456"));
        QVERIFY(view->displayLabel()->currentScale() >= 0.4);
    }

    void keypadClicks()
    {
        CalculatorView view;
        // Spot checks of the keys' looks: operators tinted, others ink; spoken names.
        QCOMPARE(view.key(QStringLiteral("÷"))->labelColor(), Chrome::turquoiseDeep());
        QVERIFY(!view.key(QStringLiteral("±"))->tint());
        QCOMPARE(view.key(QStringLiteral("±"))->accessibleName(), QStringLiteral("plus minus"));
        for (const char* k : {"9", "±", "×", "4", "=", "%"})
            click(view.key(QString::fromUtf8(k)));
        QCOMPARE(view.model()->display(), QStringLiteral("-0.36"));
        click(view.key(QStringLiteral("C")));
        QCOMPARE(view.model()->display(), QStringLiteral("0"));
        // The memory marker follows the memory.
        QVERIFY(view.memoryMarker()->isHidden());
        click(view.key(QStringLiteral("7")));
        click(view.key(QStringLiteral("M+")));
        QVERIFY(!view.memoryMarker()->isHidden());
        click(view.key(QStringLiteral("MC")));
        QVERIFY(view.memoryMarker()->isHidden());
    }

    // The example in the empty expression field is shown whole at the
    // window's sizes; typing brings back the display size.
    // The placeholder's size is the one trying every whole pixel size down
    // from the font's own would find, with one or two measurements.
    void sciPlaceholderSizeIsTheLargestThatFits_data()
    {
        QTest::addColumn<qreal>("share");
        QTest::newRow("fits as it is") << 1.2;
        QTest::newRow("a hair too wide") << 0.99;
        QTest::newRow("three quarters") << 0.75;
        QTest::newRow("half") << 0.5;
        QTest::newRow("below the smallest size") << 0.05;
    }
    void sciPlaceholderSizeIsTheLargestThatFits()
    {
        QFETCH(qreal, share);
        const QFont font = ScientificView::expressionFont();
        const QString text = QStringLiteral("sin(30) + 2^8 × (4 − 1.5)");
        const qreal room = QFontMetricsF(font).horizontalAdvance(text) * share;
        int expected = 0;
        QFont stepped = font;
        const int pixels = QFontInfo(font).pixelSize();
        for (int size = pixels - 1; size >= 8 && QFontMetricsF(stepped).horizontalAdvance(text) > room; --size) {
            stepped.setPixelSize(size);
            expected = size;
        }
        QCOMPARE(ScientificView::placeholderPixels(font, text, room), expected);
    }

    void sciPlaceholderWhole_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("default width") << 640;
        QTest::newRow("narrow") << 520;
        QTest::newRow("wide") << 1000;
    }

    void sciPlaceholderWhole()
    {
        QFETCH(int, width);
        ScientificView view;
        view.resize(width, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        SpellLineEdit* field = view.expressionField();
        const int height = field->height();
        auto fits = [field] {
            return QFontMetricsF(field->font()).horizontalAdvance(field->placeholderText())
                <= field->contentsRect().width() - 4;
        };
        QTRY_VERIFY(fits());
        QVERIFY(field->font().pointSizeF() <= ScientificView::expressionFont().pointSizeF());
        QTest::keyClicks(field, QStringLiteral("2+3"));
        QCOMPARE(field->font(), ScientificView::expressionFont());
        QCOMPARE(field->height(), height);
        field->clear();
        QVERIFY(fits());
    }

    void sciResultLine()
    {
        auto* view = new ScientificView;
        Host host(view);
        SpellLineEdit* field = view->expressionField();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("2+"));
        QCOMPARE(view->resultLabel()->text(), QStringLiteral("0"));
        QTest::keyClicks(field, QStringLiteral("3"));
        QCOMPARE(view->resultLabel()->text(), QStringLiteral("= 5"));

        field->clear();
        QTest::keyClicks(field, QStringLiteral("1/0"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(view->resultLabel()->text(), QStringLiteral("Cannot divide by zero"));
        // Typing and backspace keep the error in view; a key clears it.
        QTest::keyClicks(field, QStringLiteral("+1"));
        click(view->control(QStringLiteral("⌫")));
        QCOMPARE(field->text(), QStringLiteral("1/0+"));
        QCOMPARE(view->resultLabel()->text(), QStringLiteral("Cannot divide by zero"));
        click(view->control(QStringLiteral("5")));
        QVERIFY(!view->showsError());
        QCOMPARE(field->text(), QStringLiteral("1/0+5"));
    }

    // The result line is copied as a user would copy it: by keyboard after
    // a click, after selecting part of it, or from its context menu.
    void sciResultLineCopies_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("copied");
        QTest::newRow("click, then Ctrl+C") << "key" << "= 5";
        QTest::newRow("part selected, Ctrl+C") << "selection" << "5";
        QTest::newRow("context menu Copy") << "menu" << "= 5";
        QTest::newRow("context menu Select All, Ctrl+C") << "selectAll" << "= 5";
    }
    void sciResultLineCopies()
    {
        QFETCH(QString, how);
        QFETCH(QString, copied);
        auto* view = new ScientificView;
        Host host(view);
        view->model()->setExpression(QStringLiteral("2+3"));
        FitLabel* line = view->resultLabel();
        QCOMPARE(line->text(), QStringLiteral("= 5"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
        QTRY_VERIFY(line->hasFocus());
        QVERIFY(line->validateAction(QStringLiteral("copy")));
        if (how == QLatin1String("selection"))
            line->setSelection(2, 1);
        if (how == QLatin1String("menu") || how == QLatin1String("selectAll")) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, line->rect().center(),
                                    line->mapToGlobal(line->rect().center()));
            QTimer::singleShot(0, line, [how] {
                auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(popup);
                QCOMPARE(popup->actions().size(), 2);
                popup->actions().at(how == QLatin1String("menu") ? 0 : 1)->trigger();
                popup->close();
            });
            QApplication::sendEvent(line, &event);
        }
        if (how != QLatin1String("menu"))
            QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    // Function keys share one label size, as large as lets the longest label
    // fit; every label is drawn from a face that has all of its characters.
    void sciPadLabels_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("default window") << 640;
        QTest::newRow("wide window") << 1100;
        QTest::newRow("narrow window") << 560;
    }
    void sciPadLabels()
    {
        QFETCH(int, width);
        auto* view = new ScientificView;
        Host host(view);
        host.window.resize(width, 640);
        QTRY_VERIFY(view->width() >= width - 24);
        QTRY_VERIFY(view->control(QStringLiteral("sin"))->width() > 0);
        QCoreApplication::processEvents();
        const qreal size = view->fnLabelSize();
        QVERIFY(size <= 15);
        const QFont face = ScientificView::fnFace();
        for (const auto& row : ScientificView::fnRows()) {
            for (const ScientificView::FnKey& key : row) {
                auto* k = qobject_cast<ChromeKey*>(view->control(key.label));
                QVERIFY(k);
                bool elided = true;
                const QFont f = ChromeKey::fittedFont(key.label, k->width() - 10, face, size, &elided);
                QVERIFY2(!elided, qPrintable(key.label));
                // Not shrunk any further than the common size, unless that
                // is already the smallest a key allows.
                if (size > CalcLook::padLabelSize * ChromeKey::minimumScale + 0.01) {
                    QFont common = face;
                    Fonts::setSize(common, size);
                    QCOMPARE(f.pointSizeF(), common.pointSizeF());
                }
                const QRawFont raw = QRawFont::fromFont(face);
                for (const uint c : key.label.toUcs4())
                    QVERIFY2(raw.supportsCharacter(c), qPrintable(key.label));
            }
        }
        // Legible at the window's own width and above.
        if (width >= 640)
            QVERIFY2(size >= 10, qPrintable(QString::number(size)));
        for (const QString& label : {QStringLiteral("⌫"), QStringLiteral("7"), QStringLiteral("÷")}) {
            const QRawFont raw = QRawFont::fromFont(CalcLook::keyFace({label}));
            for (const uint c : label.toUcs4())
                QVERIFY2(raw.supportsCharacter(c), qPrintable(label));
        }
    }

    // A key face that needs the system face draws alone (no search of other
    // faces per script) only when it has every character; a label it lacks
    // a character of still borrows that glyph from another face.
    void keyFaceDrawsAloneWhenComplete_data()
    {
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<bool>("alone");
        QTest::newRow("digits, rounded face") << QStringList{"7", "8"} << false;
        QTest::newRow("backspace") << QStringList{"⌫"} << true;
        QTest::newRow("function pad with pi") << QStringList{"sin⁻¹", "π", "log₂"} << true;
        QTest::newRow("a character no face here has") << QStringList{"x", QString::fromUcs4(U"\U0001D11E")} << false;
    }
    void keyFaceDrawsAloneWhenComplete()
    {
        QFETCH(QStringList, labels);
        QFETCH(bool, alone);
        const QFont face = CalcLook::keyFace(labels);
        QCOMPARE(bool(face.styleStrategy() & QFont::NoFontMerging), alone);
        if (alone) {
            const QRawFont raw = QRawFont::fromFont(face);
            for (const uint c : labels.join(QString()).toUcs4())
                QVERIFY(raw.supportsCharacter(c));
        }
    }

    // The expression field's face stands alone, but a character it lacks
    // still shows, taken from another face, wherever the face with its
    // stand-in listed would show it.
    void sciExpressionFontFallsBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ideograph") << QStringLiteral("2+中");
        QTest::newRow("emoji") << QString::fromUcs4(U"1\U0001F600");
        QTest::newRow("maths symbol") << QStringLiteral("⨌x");
        QTest::newRow("own characters") << QStringLiteral("2sin(30)+√16");
    }
    void sciExpressionFontFallsBack()
    {
        QFETCH(QString, text);
        auto missing = [&text](const QFont& font) {
            QTextLayout layout(text, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            int n = 0;
            for (const QGlyphRun& run : layout.glyphRuns())
                n += int(std::count(run.glyphIndexes().cbegin(), run.glyphIndexes().cend(), 0u));
            return n;
        };
        QVERIFY(missing(ScientificView::expressionFont()) <= missing(Fonts::system(17, QFont::Normal, Fonts::Design::Monospaced)));
    }

    // Made as narrow as it goes, the view still lays its rows out whole:
    // nothing overlaps, and no key is narrower than the keys allow.
    void sciNarrowest()
    {
        auto* view = new ScientificView;
        Host host(view);
        view->setFixedSize(view->minimumSizeHint());
        QTRY_COMPARE(view->size(), view->minimumSizeHint());
        const QRect picker = view->modePicker()->geometry();
        for (const char* name : {"MC", "M+", "MR", "Copy"}) {
            QWidget* b = view->control(QString::fromUtf8(name));
            QVERIFY2(!picker.intersects(QRect(b->mapTo(view->modePicker()->parentWidget(), QPoint()), b->size())), name);
            QVERIFY(b->width() >= b->minimumSizeHint().width());
        }
        for (const auto& row : ScientificView::fnRows()) {
            for (const ScientificView::FnKey& key : row)
                QVERIFY(view->control(key.label)->width() >= 24);
        }
    }

    // Keys of one span come out the same size to the pixel at any window
    // size (the pixels left over go into the gaps); rows and columns stay
    // apart and the rightmost keys reach the pads' right edge together.
    void sciKeysShareOneSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("rightToLeft");
        QTest::newRow("narrowest width") << QSize(652, 640) << false;
        QTest::newRow("odd width and height") << QSize(733, 701) << false;
        QTest::newRow("wide") << QSize(1111, 777) << false;
        QTest::newRow("short") << QSize(667, 583) << false;
        QTest::newRow("right to left") << QSize(733, 701) << true;
    }
    void sciKeysShareOneSize()
    {
        QFETCH(QSize, size);
        QFETCH(bool, rightToLeft);
        auto* view = new ScientificView;
        if (rightToLeft)
            view->setLayoutDirection(Qt::RightToLeft);
        Host host(view);
        host.window.resize(size);
        QTRY_COMPARE(host.window.size(), size);
        QCoreApplication::processEvents();
        QSet<QSize> single;
        QList<QRect> keys;
        for (const auto& row : ScientificView::fnRows()) {
            for (const ScientificView::FnKey& key : row)
                keys.append(view->control(key.label)->geometry());
        }
        for (const QStringList& row : ScientificView::numRows()) {
            for (const QString& label : row)
                keys.append(view->control(label)->geometry());
        }
        for (const QRect& r : std::as_const(keys))
            single.insert(r.size());
        QCOMPARE(single.size(), 1);
        QVERIFY(single.begin()->width() >= 24);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            for (qsizetype j = i + 1; j < keys.size(); ++j)
                QVERIFY(!keys.at(i).intersects(keys.at(j)));
        }
        const QRect clear = view->control(QStringLiteral("C"))->geometry();
        const QRect back = view->control(QStringLiteral("⌫"))->geometry();
        const QRect equals = view->control(QStringLiteral("="))->geometry();
        const QRect plus = view->control(QStringLiteral("+"))->geometry();
        const QRect zero = view->control(QStringLiteral("0"))->geometry();
        QCOMPARE(clear.width(), back.width());
        if (rightToLeft) {
            // Mirrored: the function pad on the right, "C" at the right.
            QVERIFY(view->control(QStringLiteral("sin"))->geometry().left() > plus.right());
            QVERIFY(clear.left() > back.right());
            QCOMPARE(back.left(), plus.left());
            QCOMPARE(equals.left(), plus.left());
            QCOMPARE(equals.right(), zero.right());
            QCOMPARE(clear.right(), zero.right());
        } else {
            QCOMPARE(back.right(), plus.right());
            QCOMPARE(equals.right(), plus.right());
            QCOMPARE(equals.left(), zero.left());
            QCOMPARE(clear.left(), zero.left());
        }
    }

    void sciKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("line");
        QTest::newRow("exponent key") << QStringList{"2", "EE", "5"} << "2e5" << "= 200000";
        QTest::newRow("minus sign key") << QStringList{"9", "−", "4"} << "9-4" << "= 5";
        QTest::newRow("clear") << QStringList{"7", "C"} << "" << "0";
        QTest::newRow("square root key") << QStringList{"√", "1", "6", ")", "x²"} << "sqrt(16)^2" << "= 16";
        QTest::newRow("combinations") << QStringList{"nCr", "5", ",", "2", ")"} << "ncr(5,2)" << "= 10";
    }
    void sciKeys()
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

    void sciFunctionKeys()
    {
        ScientificView view;
        // Every function key exists and inserts its text.
        for (const auto& row : ScientificView::fnRows()) {
            for (const ScientificView::FnKey& key : row) {
                view.model()->clear();
                QVERIFY2(view.control(key.label), qPrintable(key.label));
                click(view.control(key.label));
                QCOMPARE(view.model()->expression(), key.insert);
            }
        }
    }

    void sciMemoryModeAndHistoryControls()
    {
        ScientificView view;
        click(view.control(QStringLiteral("MR")));
        QCOMPARE(view.expressionField()->text(), QStringLiteral("m"));
        QVERIFY(!view.historyHint()->isHidden());
        view.model()->setExpression(QStringLiteral("12"));
        click(view.control(QStringLiteral("=")));
        QVERIFY(view.historyHint()->isHidden());
        click(view.control(QStringLiteral("M+")));
        QVERIFY(!view.memoryBadge()->isHidden());
        QCOMPARE(view.model()->memory(), 12.0);
        click(view.control(QStringLiteral("Copy")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12"));
        click(view.control(QStringLiteral("MC")));
        QVERIFY(view.memoryBadge()->isHidden());
        click(view.control(QStringLiteral("Clear History")));
        QCOMPARE(view.historyList()->model()->rowCount(), 0);
        QVERIFY(!view.historyHint()->isHidden());
        QVERIFY(ScientificModel().history().isEmpty());

        // The angle mode picker changes the result and is remembered.
        view.model()->setExpression(QStringLiteral("sin(30)"));
        QCOMPARE(view.resultLabel()->text(), QStringLiteral("= 0.5"));
        view.modePicker()->resize(view.modePicker()->sizeHint());
        QTest::mouseClick(view.modePicker(), Qt::LeftButton, {}, view.modePicker()->segmentRect(1).center());
        QCOMPARE(view.modeBadge()->text(), QStringLiteral("RAD"));
        QCOMPARE(view.resultLabel()->text(), QStringLiteral("= -0.988031624093"));
        ScientificView second;
        QCOMPARE(second.modePicker()->currentIndex(), 1);
        QCOMPARE(second.modeBadge()->text(), QStringLiteral("RAD"));
    }

    void sciHistoryEntry()
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
        QCOMPARE(actions.size(), 2); // Copy Result, Insert Result
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

    void sciReturnOutsideField()
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

    void render()
    {
        // Both windows draw at their default sizes inside the tool frame; with
        // BW_CALC_PNG_DIR set the pictures are kept for a look.
        const QString folder = qEnvironmentVariable("BW_CALC_PNG_DIR");
        auto grab = [&folder](QWidget& frame, const char* name) {
            QTest::qWait(50);
            const QPixmap picture = frame.grab();
            QVERIFY(!picture.isNull());
            if (!folder.isEmpty())
                QVERIFY(QDir().mkpath(folder) && picture.save(folder + QLatin1Char('/') + QLatin1String(name)));
        };

        auto* calc = new CalculatorView;
        ToolScaffold calcFrame(Tool::calculator, calc);
        calcFrame.resize(*Tool(Tool::calculator).defaultSize());
        calcFrame.show();
        for (const char* k : {"7", "M+", "1", "2", "+", "3", "×", "4"})
            calc->model()->input(QString::fromUtf8(k));
        grab(calcFrame, "calculator.png");

        auto* sci = new ScientificView;
        ToolScaffold sciFrame(Tool::scientific, sci);
        sciFrame.resize(*Tool(Tool::scientific).defaultSize());
        sciFrame.show();
        for (const char* e : {"2+3×4", "sqrt(2)", "1/0"}) {
            sci->model()->setExpression(QString::fromUtf8(e));
            sci->model()->evaluate();
        }
        grab(sciFrame, "scientific.png");
    }
};

QTEST_MAIN(CalcViewsTest)
#include "tst_calcviews.moc"
