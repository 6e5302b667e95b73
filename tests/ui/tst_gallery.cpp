// Renders every shared control offscreen; with BW_UI_GALLERY=<folder> the
// pictures are saved there for a look. Without it the test only checks that
// each one paints something other than its background.
#include "TestEnvironment.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/ChromePanel.h"
#include "ui/ChromeShape.h"
#include "ui/NumberField.h"
#include "ui/SpellCheckingWindow.h"
#include "ui/SpellHighlighter.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"
#include "ui/TextChecker.h"
#include "ui/Symbols.h"
#include "ui/ToolIcon.h"
#include "ui/ToolScaffold.h"
#include "ui/VEXOBadge.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <QVBoxLayout>

class GalleryTest : public QObject {
    Q_OBJECT

    void save(QWidget* w, const QString& name)
    {
        w->ensurePolished();
        if (w->layout())
            w->layout()->activate();
        const QImage img = w->grab().toImage();
        QVERIFY(!img.isNull());
        // Something beyond a flat background was painted.
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                colours.insert(img.pixel(x, y));
        QVERIFY2(colours.size() > 8, qPrintable(name));
        const QString dir = qEnvironmentVariable("BW_UI_GALLERY");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            img.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        }
    }

private Q_SLOTS:
    void initTestCase() { AppLook::apply(*qApp); }

    void buttonsAndKeys()
    {
        QWidget w;
        w.setPalette(AppLook::lightPalette());
        w.setAutoFillBackground(true);
        auto* grid = new QGridLayout(&w);
        auto* normal = new ChromeButton(QStringLiteral("Copy"));
        auto* pressed = new ChromeButton(QStringLiteral("Copy"));
        pressed->setDown(true);
        auto* prominent = new ChromeButton(QStringLiteral("Export PDF"), true, false);
        auto* compact = new ChromeButton(QStringLiteral("Show"), false, true);
        auto* icon = new ChromeButton;
        icon->setCompact(true);
        icon->setSymbol(QStringLiteral("bold"), 13);
        icon->setLabelFrame(QSize(20, 18));
        auto* active = new ChromeButton;
        active->setCompact(true);
        active->setProminent(true);
        active->setSymbol(QStringLiteral("italic"), 13);
        active->setLabelFrame(QSize(20, 18));
        auto* withSymbol = new ChromeButton(QStringLiteral("Play"), false, true);
        withSymbol->setSymbol(QStringLiteral("play.fill"));
        auto* disabled = new ChromeButton(QStringLiteral("Disabled"));
        disabled->setEnabled(false);
        grid->addWidget(normal, 0, 0);
        grid->addWidget(pressed, 0, 1);
        grid->addWidget(prominent, 0, 2);
        grid->addWidget(compact, 0, 3);
        grid->addWidget(icon, 1, 0);
        grid->addWidget(active, 1, 1);
        grid->addWidget(withSymbol, 1, 2);
        grid->addWidget(disabled, 1, 3);
        const QStringList keys{QStringLiteral("AC"), QStringLiteral("±"), QStringLiteral("%"), QStringLiteral("÷"),
                               QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("×"),
                               QStringLiteral("MR"), QStringLiteral("sinh⁻¹"), QStringLiteral("0"), QStringLiteral("=")};
        for (int i = 0; i < keys.size(); ++i) {
            auto* k = new ChromeKey(keys[i]);
            if (i % 4 == 3)
                k->setTint(Chrome::cherry());
            if (i == 10)
                k->setDown(true);
            k->setFixedSize(i == 9 ? 52 : 70, 48);
            grid->addWidget(k, 2 + i / 4, i % 4);
        }
        w.resize(420, 300);
        save(&w, QStringLiteral("buttons"));
    }

    void panelAndFields()
    {
        QWidget w;
        w.setPalette(AppLook::lightPalette());
        w.setAutoFillBackground(true);
        auto* v = new QVBoxLayout(&w);
        auto* panel = new ChromePanel(QStringLiteral("Loan details"));
        auto* row = new QHBoxLayout;
        row->addWidget(new NumberField(QStringLiteral("Amount"), 25000, 120, QStringLiteral("%.2f")));
        row->addWidget(new NumberField(QStringLiteral("Rate %"), 6.5, 80, QStringLiteral("%.3f")));
        row->addWidget(new NumberField(QStringLiteral("Years"), 30, 70, QStringLiteral("%.1f")));
        panel->contentLayout()->addLayout(row);
        auto* line = new SpellLineEdit(QStringLiteral("Thiss line has a mispelled word"));
        panel->contentLayout()->addWidget(line);
        v->addWidget(panel);
        auto* untitled = new ChromePanel;
        untitled->contentLayout()->addWidget(new QLabel(QStringLiteral("A panel without a title")));
        v->addWidget(untitled);
        auto* text = new SpellTextView(QStringLiteral("He go to school every day. The cat sat on the mat.\n"
                                                      "Teh quick brown fox."),
                                       QFont(), Qt::white, true, Qt::black, true);
        text->setFixedHeight(70);
        v->addWidget(text);
        w.resize(460, 330);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(!text->checker()->highlighter()->hasPendingGrammar(), 10000);
        save(&w, QStringLiteral("panel"));
    }

    void scaffoldWidths_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("width");
        QTest::newRow("calculator-340") << int(Tool::calculator) << 340;
        QTest::newRow("invoice-700") << int(Tool::invoice) << 700;
        QTest::newRow("passwords-480") << int(Tool::passwords) << 480;
        QTest::newRow("passwords-320") << int(Tool::passwords) << 320;
    }
    void scaffoldWidths()
    {
        QFETCH(int, tool);
        QFETCH(int, width);
        auto* content = new QLabel(QStringLiteral("content"));
        content->setAlignment(Qt::AlignCenter);
        ToolScaffold s(Tool(Tool::Case(tool)), content);
        s.resize(width, 160);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        save(&s, QStringLiteral("scaffold-") + QString::fromLatin1(QTest::currentDataTag()));
    }

    void alert()
    {
        QImage shot;
        auto* timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [&shot, timer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer->stop();
            shot = box->grab().toImage();
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer->start();
        QCOMPARE(runAlert(QStringLiteral("Delete this note?"), QStringLiteral("This can’t be undone."),
                          AlertStyle::Warning, {QStringLiteral("Delete"), QStringLiteral("Cancel")}),
                 1000);
        QVERIFY(!shot.isNull());
        const QString dir = qEnvironmentVariable("BW_UI_GALLERY");
        if (!dir.isEmpty())
            shot.save(dir + QStringLiteral("/alert.png"));
    }

    void icons()
    {
        QWidget w;
        w.setPalette(AppLook::lightPalette());
        w.setAutoFillBackground(true);
        auto* grid = new QGridLayout(&w);
        int i = 0;
        for (Tool t : Tool::allCases()) {
            grid->addWidget(new ToolIcon(t, 44), 0, i);
            grid->addWidget(new ToolIcon(t, 26), 1, i);
            ++i;
        }
        grid->addWidget(new VEXOBadge(true), 2, 0, 1, 2);
        grid->addWidget(new VEXOBadge(false), 2, 2, 1, 2);
        w.resize(760, 130);
        save(&w, QStringLiteral("icons"));
    }

    void symbols()
    {
        QWidget w;
        w.setPalette(AppLook::lightPalette());
        w.setAutoFillBackground(true);
        auto* grid = new QGridLayout(&w);
        const QStringList names = Symbols::knownNames();
        for (int i = 0; i < names.size(); ++i) {
            auto* l = new QLabel;
            l->setPixmap(Symbols::pixmap(names[i], Chrome::ink(), 22));
            l->setToolTip(names[i]);
            grid->addWidget(l, i / 16, i % 16);
        }
        w.resize(560, 260);
        save(&w, QStringLiteral("symbols"));
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
