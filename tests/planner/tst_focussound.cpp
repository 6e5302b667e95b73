// The end-of-phase chime: the WAV in the resources decodes, the URL the
// model plays names the resource entry, and without an audio output playing
// is silent and immediate.
#include "TestEnvironment.h"
#include "planner/FocusSound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QTest>

class FocusSoundTest : public QObject {
    Q_OBJECT

    static QString resources() { return QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/"); }

private Q_SLOTS:
    void chimeDecodes()
    {
        QSoundEffect effect;
        effect.setSource(QUrl::fromLocalFile(resources() + QStringLiteral("Glass.wav")));
        QTRY_VERIFY(effect.status() != QSoundEffect::Loading && effect.status() != QSoundEffect::Null);
        QCOMPARE(effect.status(), QSoundEffect::Ready);
    }

    void urlNamesTheResourceEntry()
    {
        QFile qrc(resources() + QStringLiteral("resources.qrc"));
        QVERIFY(qrc.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(qrc.readAll());
        const QString path = FocusSound::glassUrl().path(); // "/Glass.wav"
        QVERIFY(text.contains(QStringLiteral("<qresource prefix=\"/\">")));
        QVERIFY2(text.contains(QStringLiteral("<file>") + path.mid(1) + QStringLiteral("</file>")), qPrintable(path));
        QCOMPARE(FocusSound::glassUrl().scheme(), QStringLiteral("qrc"));
    }

    void silentWithoutAnOutput()
    {
        qputenv("PULSE_SERVER", "unix:/nonexistent/bw-no-pulse");
        FocusSound sound(QUrl::fromLocalFile(resources() + QStringLiteral("Glass.wav")));
        QElapsedTimer clock;
        clock.start();
        sound.play();
        sound.play();
        QVERIFY(clock.elapsed() < 3000);
    }
};

QTEST_MAIN(FocusSoundTest)
#include "tst_focussound.moc"
