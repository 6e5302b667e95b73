// The pomodoro rhythm: phase lengths, the transition table, the end of a
// phase at the threshold, the clock text and the strict config record.
#include "TestEnvironment.h"
#include "planner/PomodoroState.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(FocusPhase)

namespace {

PomodoroConfig cfg(qint64 focus, qint64 shortBreak, qint64 longBreak, qint64 cycles, bool autoStart = false)
{
    PomodoroConfig c;
    c.focusMinutes = focus;
    c.shortBreakMinutes = shortBreak;
    c.longBreakMinutes = longBreak;
    c.cyclesBeforeLong = cycles;
    c.autoStartNext = autoStart;
    return c;
}

// "F", "S", "L" per phase, in order.
QString letters(const QList<FocusPhase>& phases)
{
    QString s;
    for (FocusPhase p : phases)
        s += p == FocusPhase::focus ? QLatin1Char('F') : p == FocusPhase::shortBreak ? QLatin1Char('S') : QLatin1Char('L');
    return s;
}

const qint64 kMax = std::numeric_limits<qint64>::max();

} // namespace

class PomodoroTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void phaseLengths_data()
    {
        QTest::addColumn<PomodoroConfig>("config");
        QTest::addColumn<double>("focus");
        QTest::addColumn<double>("shortBreak");
        QTest::addColumn<double>("longBreak");
        QTest::newRow("defaults") << PomodoroConfig{} << 1500.0 << 300.0 << 900.0;
        QTest::newRow("zero and negative count as one minute") << cfg(0, -3, kMax * -1, 4) << 60.0 << 60.0 << 60.0;
        QTest::newRow("lowest 64-bit number") << cfg(std::numeric_limits<qint64>::min(), 1, 1, 4) << 60.0 << 60.0 << 60.0;
        // minutes × 60 would overflow: the length saturates at the largest
        // whole minute, and is still a positive length.
        QTest::newRow("largest 64-bit number saturates")
            << cfg(kMax, kMax / 60 + 1, kMax / 60, 4) << double(kMax / 60 * 60) << double(kMax / 60 * 60)
            << double(kMax / 60 * 60);
    }
    void phaseLengths()
    {
        QFETCH(PomodoroConfig, config);
        QFETCH(double, focus);
        QFETCH(double, shortBreak);
        QFETCH(double, longBreak);
        QCOMPARE(config.seconds(FocusPhase::focus), focus);
        QCOMPARE(config.seconds(FocusPhase::shortBreak), shortBreak);
        QCOMPARE(config.seconds(FocusPhase::longBreak), longBreak);
        QVERIFY(PomodoroState(config).fractionDone() == 0.0);
    }


    // Successive advance() calls from a new state.
    void advanceSequence_data()
    {
        QTest::addColumn<qint64>("cycles");
        QTest::addColumn<QString>("phases");
        QTest::addColumn<qint64>("completed");
        QTest::newRow("defaults: long break after the 4th") << qint64(4) << QStringLiteral("SFSFSFLFSF") << qint64(5);
        QTest::newRow("every 2nd") << qint64(2) << QStringLiteral("SFLFSFLFSF") << qint64(5);
        QTest::newRow("1: always long") << qint64(1) << QStringLiteral("LFLFLF") << qint64(3);
        QTest::newRow("0 counts as 1") << qint64(0) << QStringLiteral("LFLFLF") << qint64(3);
        QTest::newRow("negative counts as 1") << qint64(-7) << QStringLiteral("LFLF") << qint64(2);
        QTest::newRow("huge: never long") << kMax << QStringLiteral("SFSFSF") << qint64(3);
    }
    void advanceSequence()
    {
        QFETCH(qint64, cycles);
        QFETCH(QString, phases);
        PomodoroState s{cfg(25, 5, 15, cycles)};
        s.running = true;
        QList<FocusPhase> seen;
        for (int i = 0; i < phases.size(); ++i) {
            s.advance();
            seen.append(s.phase);
            QCOMPARE(s.remaining, s.phase == FocusPhase::longBreak ? 900.0 : s.phase == FocusPhase::focus ? 1500.0 : 300.0);
        }
        QCOMPARE(letters(seen), phases);
        QTEST(s.completedFocus, "completed");
        QVERIFY(s.running); // advance() leaves running alone
    }


    void tick_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<double>("remainingAfter");
        QTest::addColumn<bool>("runningAfter");
        QTest::newRow("a minute") << true << false << 60.0 << false << 1440.0 << true;
        QTest::newRow("stopped: nothing") << false << false << 60.0 << false << 1500.0 << false;
        QTest::newRow("stopped, even past the end") << false << false << 5000.0 << false << 1500.0 << false;
        QTest::newRow("just above the threshold") << true << false << 1500.0 - 0.0002 << false << 0.0002 << true;
        QTest::newRow("exactly 0.0001 left ends") << true << false << 1500.0 - 0.0001 << true << 300.0 << false;
        QTest::newRow("exactly zero ends") << true << false << 1500.0 << true << 300.0 << false;
        QTest::newRow("overshoot is dropped") << true << false << 1e6 << true << 300.0 << false;
        QTest::newRow("automatic start keeps running") << true << true << 1500.0 << true << 300.0 << true;
        QTest::newRow("zero elapsed") << true << false << 0.0 << false << 1500.0 << true;
    }
    void tick()
    {
        QFETCH(bool, running);
        QFETCH(bool, autoStart);
        QFETCH(double, elapsed);
        QFETCH(bool, ends);
        PomodoroState s{cfg(25, 5, 15, 4, autoStart)};
        s.running = running;
        const std::optional<FocusPhase> finished = s.tick(elapsed);
        QCOMPARE(finished.has_value(), ends);
        if (ends) {
            QCOMPARE(*finished, FocusPhase::focus);
            QCOMPARE(s.phase, FocusPhase::shortBreak);
            QCOMPARE(s.completedFocus, 1);
        } else {
            QCOMPARE(s.phase, FocusPhase::focus);
            QCOMPARE(s.completedFocus, 0);
        }
        QFETCH(double, remainingAfter);
        QVERIFY2(std::abs(s.remaining - remainingAfter) < 1e-9, qPrintable(QString::number(s.remaining)));
        QTEST(s.running, "runningAfter");
    }

    void tickEndsABreak()
    {
        PomodoroState s{cfg(25, 5, 15, 4, true)};
        s.advance();
        s.running = true;
        QCOMPARE(s.tick(400), std::optional<FocusPhase>(FocusPhase::shortBreak));
        QCOMPARE(s.phase, FocusPhase::focus);
        QCOMPARE(s.remaining, 1500.0);
        QCOMPARE(s.completedFocus, 1);
        QVERIFY(s.running);
    }

    void resets()
    {
        PomodoroState s{PomodoroConfig{}};
        for (int i = 0; i < 7; ++i)
            s.advance();
        s.running = true;
        s.remaining = 12;
        s.reset();
        QCOMPARE(s.phase, FocusPhase::longBreak);
        QCOMPARE(s.completedFocus, 4);
        QCOMPARE(s.remaining, 900.0);
        QVERIFY(!s.running);

        s.running = true;
        s.resetAll();
        QCOMPARE(s, PomodoroState{PomodoroConfig{}});
    }

    void fractionDone_data()
    {
        QTest::addColumn<double>("remaining");
        QTest::addColumn<double>("fraction");
        QTest::newRow("new state") << 1500.0 << 0.0;
        QTest::newRow("half") << 750.0 << 0.5;
        QTest::newRow("none left") << 0.0 << 1.0;
        QTest::newRow("more than the length (config shortened)") << 3000.0 << -1.0;
    }
    void fractionDone()
    {
        PomodoroState s{PomodoroConfig{}};
        QFETCH(double, remaining);
        QFETCH(double, fraction);
        s.remaining = remaining;
        QCOMPARE(s.fractionDone(), fraction);
    }

    void clock_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("rounds up to a whole minute") << 59.2 << QStringLiteral("01:00");
        QTest::newRow("a hair above zero") << 0.0001 << QStringLiteral("00:01");
        QTest::newRow("zero") << 0.0 << QStringLiteral("00:00");
        QTest::newRow("negative") << -5.0 << QStringLiteral("00:00");
        QTest::newRow("three digits of minutes") << 6000.0 << QStringLiteral("100:00");
        QTest::newRow("seconds keep two digits") << 65.0 << QStringLiteral("01:05");
        QTest::newRow("NaN") << std::nan("") << QStringLiteral("00:00");
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << QStringLiteral("00:00");
        QTest::newRow("infinity saturates")
            << std::numeric_limits<double>::infinity() << QStringLiteral("153722867280912930:07");
        QTest::newRow("beyond 64 bits saturates") << 1e300 << QStringLiteral("153722867280912930:07");
        // The longest phase is not exact as a double: it rounds to 2^63.
        QTest::newRow("longest phase") << cfg(kMax, 1, 1, 4).seconds(FocusPhase::focus)
                                       << QStringLiteral("153722867280912930:07");
    }
    void clock()
    {
        QFETCH(double, seconds);
        QTEST(PomodoroState::clock(seconds), "text");
    }

    void phaseRawValues_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<FocusPhase>("phase");
        QTest::newRow("Focus") << QStringLiteral("Focus") << true << FocusPhase::focus;
        QTest::newRow("Short Break") << QStringLiteral("Short Break") << true << FocusPhase::shortBreak;
        QTest::newRow("Long Break") << QStringLiteral("Long Break") << true << FocusPhase::longBreak;
        QTest::newRow("lower case") << QStringLiteral("short break") << false << FocusPhase::focus;
    }
    void phaseRawValues()
    {
        QFETCH(QString, raw);
        QFETCH(bool, valid);
        QFETCH(FocusPhase, phase);
        const std::optional<FocusPhase> p = FocusPhases::fromRawValue(raw);
        QCOMPARE(p.has_value(), valid);
        if (valid) {
            QCOMPARE(*p, phase);
            QCOMPARE(FocusPhases::rawValue(phase), raw);
        }
    }

    void configJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("focus");
        const QByteArray good = R"({"focusMinutes": 30, "shortBreakMinutes": 5, "longBreakMinutes": 15,
                                   "cyclesBeforeLong": 4, "autoStartNext": true})";
        QTest::newRow("complete") << good << true << qint64(30);
        QTest::newRow("out-of-range values are kept as stored")
            << QByteArray(R"({"focusMinutes": 9000000000000000000, "shortBreakMinutes": -4,
                              "longBreakMinutes": 0, "cyclesBeforeLong": 0, "autoStartNext": false})")
            << true << qint64(9000000000000000000);
        QTest::newRow("a key missing") << QByteArray(R"({"focusMinutes": 30, "shortBreakMinutes": 5,
                                                       "longBreakMinutes": 15, "cyclesBeforeLong": 4})")
                                       << false << qint64(0);
        QTest::newRow("minutes as text") << QByteArray(good).replace("30", "\"30\"") << false << qint64(0);
        QTest::newRow("fractional minutes") << QByteArray(good).replace("30", "30.5") << false << qint64(0);
        QTest::newRow("flag as a number") << QByteArray(good).replace("true", "1") << false << qint64(0);
        QTest::newRow("beyond 64 bits") << QByteArray(good).replace("30", "1e19") << false << qint64(0);
    }
    void configJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        const std::optional<PomodoroConfig> c = PomodoroConfig::fromJson(QJsonDocument::fromJson(json).object());
        QCOMPARE(c.has_value(), valid);
        if (!valid)
            return;
        QTEST(c->focusMinutes, "focus");
        // Written back exactly as read.
        QCOMPARE(PomodoroConfig::fromJson(c->toJson()), c);
    }
};

QTEST_GUILESS_MAIN(PomodoroTest)
#include "tst_pomodoro.moc"
