// The end-of-phase chime: the WAV in the resources decodes, and the URL the
// model plays names the resource entry.
#include "TestEnvironment.h"
#include "planner/FocusSound.h"

#include <QFile>
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

};

QTEST_MAIN(FocusSoundTest)
#include "tst_focussound.moc"
