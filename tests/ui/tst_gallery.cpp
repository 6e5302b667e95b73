// Renders the shared controls offscreen and checks each picture shows more
// than a flat background; with BW_UI_GALLERY=<folder> the pictures are saved
// there for a look.
#include "TestEnvironment.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromeKey.h"
#include "ui/ChromePanel.h"
#include "ui/NumberField.h"
#include "ui/SpellLineEdit.h"
#include "ui/ToolIcon.h"
#include "ui/ToolScaffold.h"
#include "ui/VEXOBadge.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QTest>

class GalleryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppLook::apply(*qApp); }

    void render()
    {
        QWidget controls;
        controls.setPalette(AppLook::lightPalette());
        controls.setAutoFillBackground(true);
        auto* grid = new QGridLayout(&controls);
        auto* pressed = new ChromeButton(QStringLiteral("Copy"));
        pressed->setDown(true);
        auto* key = new ChromeKey(QStringLiteral("÷"));
        key->setTint(Chrome::cherry());
        key->setFixedSize(70, 48);
        grid->addWidget(new ChromeButton(QStringLiteral("Copy")), 0, 0);
        grid->addWidget(pressed, 0, 1);
        grid->addWidget(new ChromeButton(QStringLiteral("Export PDF"), true, false), 0, 2);
        auto* small = new ChromeKey(QStringLiteral("sinh⁻¹"));
        small->setFixedSize(52, 48);
        grid->addWidget(small, 1, 0);
        grid->addWidget(key, 1, 1);
        auto* panel = new ChromePanel(QStringLiteral("Loan details"));
        auto* amount = new NumberField(QStringLiteral("Amount"), 25000, 120, QStringLiteral("%.2f"));
        panel->contentLayout()->addWidget(amount);
        panel->contentLayout()->addWidget(new SpellLineEdit(QStringLiteral("Thiss line has a mispelled word")));
        grid->addWidget(panel, 2, 0, 1, 3);
        for (Tool t : Tool::allCases())
            grid->addWidget(new ToolIcon(t, 26), 3 + t.index() / 7, t.index() % 7);
        grid->addWidget(new VEXOBadge(true), 5, 0, 1, 3);
        controls.resize(460, 420);

        ToolScaffold scaffold(Tool::invoice, new QLabel(QStringLiteral("content")));
        scaffold.resize(700, 160);

        const QString dir = qEnvironmentVariable("BW_UI_GALLERY");
        for (auto [w, name] : {std::pair<QWidget*, const char*>{&controls, "controls"}, {&scaffold, "scaffold"}}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const QImage img = w->grab().toImage();
            QSet<QRgb> colours;
            for (int y = 0; y < img.height(); y += 2)
                for (int x = 0; x < img.width(); x += 2)
                    colours.insert(img.pixel(x, y));
            QVERIFY2(colours.size() > 8, name);
            if (!dir.isEmpty()) {
                QDir().mkpath(dir);
                QVERIFY(img.save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
            }
        }
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
