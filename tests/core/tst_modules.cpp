// The module libraries open on first use and hand out their entry points;
// one that is missing is reported, never a crash.
#include "TestEnvironment.h"
#include "core/MediaModule.h"
#include "core/ModuleLoader.h"

#include <QTest>

class ModulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entryPoints_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QByteArray>("symbol");
        QTest::addColumn<bool>("found");
        QTest::newRow("media") << "brindleworks-media" << QByteArray("bw_media_services") << true;
        QTest::newRow("print") << "brindleworks-print" << QByteArray("bw_print_panels") << true;
        QTest::newRow("unknown symbol") << "brindleworks-media" << QByteArray("bw_nothing") << false;
        QTest::newRow("no such module") << "brindleworks-nothing" << QByteArray("bw_nothing") << false;
    }
    void entryPoints()
    {
        QFETCH(QString, module);
        QFETCH(QByteArray, symbol);
        QFETCH(bool, found);
        QString error;
        const QFunctionPointer fn = ModuleLoader::entryPoint(module, symbol.constData(), &error);
        QCOMPARE(fn != nullptr, found);
        QCOMPARE(error.isEmpty(), found);
    }

    // Every recording start gets an input of its own.
    void everyInputIsNew()
    {
        MediaModule::Services* media = MediaModule::services();
        QVERIFY(media);
        const std::unique_ptr<MediaModule::Input> a = media->makeInput();
        const std::unique_ptr<MediaModule::Input> b = media->makeInput();
        QVERIFY(a && b && a.get() != b.get());
        QVERIFY(!a->isRunning());
        QVERIFY(a->hasFailed()); // never started
    }
};

QTEST_MAIN(ModulesTest)
#include "tst_modules.moc"
