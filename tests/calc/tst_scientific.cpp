#include "TestEnvironment.h"
#include "core/Debouncer.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "calc/ScientificModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <limits>

namespace {

const QString kFile = QStringLiteral("scientific.json");

QJsonObject entry(const QString& expression, const QString& result)
{
    return QJsonObject{{"date", "2026-03-14T09:05:00Z"}, {"expression", expression},
                       {"id", "0F6E7B2A-4C1D-4E8F-9A3B-2D5C6E7F8A9B"}, {"result", result}};
}

QJsonObject savedObject(double ans, double memory, const QJsonArray& history)
{
    return QJsonObject{{"ans", ans}, {"history", history}, {"memory", memory}};
}

void writeJson(const QJsonObject& o)
{
    QVERIFY(TestEnvironment::writeState(kFile, QJsonDocument(o).toJson()));
}

QJsonObject readFile()
{
    QFile f(Store::path(kFile));
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

bool fileExists()
{
    return QFile::exists(Store::path(kFile));
}

// Types `expression` and presses "=".
void evaluate(ScientificModel& m, const QString& expression)
{
    m.setExpression(expression);
    m.evaluate();
    Debouncer::flushAll(); // the result is saved a moment after it shows
}

} // namespace

class ScientificTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearDataFolder();
        SettingsStore::settings().remove(ScientificModel::modeKey());
    }

    void modeFromSettings_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("radians");
        QTest::newRow("radians") << QVariant(QStringLiteral("radians")) << true;
        QTest::newRow("capitalised") << QVariant(QStringLiteral("Radians")) << false;
        QTest::newRow("padded") << QVariant(QStringLiteral(" radians")) << false;
        QTest::newRow("number") << QVariant(1) << false;
    }
    void modeFromSettings()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, radians);
        SettingsStore::settings().setValue(ScientificModel::modeKey(), stored);
        ScientificModel m;
        QCOMPARE(m.mode() == AngleMode::radians, radians);
    }

    void modeWrittenOnEverySet()
    {
        ScientificModel m;
        QVERIFY(m.history().isEmpty());
        QCOMPARE(m.mode(), AngleMode(AngleMode::degrees));
        // Construction writes nothing.
        QVERIFY(!fileExists());
        QVERIFY(!SettingsStore::settings().contains(ScientificModel::modeKey()));
        m.setMode(AngleMode::degrees);   // unchanged, still written
        QCOMPARE(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("degrees"));
        m.setExpression(QStringLiteral("sin(30)"));
        m.setMode(AngleMode::radians);
        QCOMPARE(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("radians"));
        QCOMPARE(m.preview(), QStringLiteral("-0.988031624093")); // the preview follows the mode
    }

    void strictRead_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("entries");   // -1: defaults

        // The saved record with one history entry, `key` set to `value` (or
        // removed when undefined) in the record itself or in the entry.
        auto with = [](const char* key, const QJsonValue& value, bool inEntry = false) {
            QJsonObject e = entry(QStringLiteral("2+2"), QStringLiteral("4"));
            QJsonObject o = savedObject(4, 2, QJsonArray{e});
            QJsonObject& target = inEntry ? e : o;
            if (value.isUndefined())
                target.remove(QLatin1String(key));
            else
                target.insert(QLatin1String(key), value);
            if (inEntry)
                o.insert(QStringLiteral("history"), QJsonArray{e});
            return QJsonDocument(o).toJson();
        };
        const QJsonValue removed(QJsonValue::Undefined);

        QTest::newRow("whole record") << with("extra", true) << 1;
        QTest::newRow("unknown entry key ignored") << with("note", 3, true) << 1;
        QTest::newRow("empty history") << QJsonDocument(savedObject(4, 2, {})).toJson() << 0;
        QTest::newRow("ans missing") << with("ans", removed) << -1;
        QTest::newRow("history missing") << with("history", removed) << -1;
        QTest::newRow("memory as text") << with("memory", QStringLiteral("2")) << -1;
        QTest::newRow("entry without id") << with("id", removed, true) << -1;
        QTest::newRow("date not ISO-8601") << with("date", QStringLiteral("yesterday"), true) << -1;
        QTest::newRow("id not a UUID") << with("id", QStringLiteral("not-a-uuid"), true) << -1;
        QTest::newRow("result as number") << with("result", 4, true) << -1;
        QTest::newRow("entry not an object") << QJsonDocument(savedObject(4, 2, QJsonArray{QStringLiteral("2+2")})).toJson() << -1;
        QTest::newRow("not JSON") << QByteArray("{\"ans\": 4, \"history\": [") << -1;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe garbage", 12) << -1;
    }
    void strictRead()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, entries);
        QVERIFY(TestEnvironment::writeState(kFile, data));
        ScientificModel m;
        if (entries < 0) {
            QVERIFY(m.history().isEmpty());
            QCOMPARE(m.memory(), 0.0);
            QCOMPARE(m.ans(), 0.0);
            // The damaged file is only replaced by the next save; it is kept
            // aside, never rotated into the backup (which may be the last
            // good version).
            evaluate(m, QStringLiteral("1+1"));
            QVERIFY(!QFileInfo::exists(Store::path(kFile + QStringLiteral(".bak"))));
            const QStringList kept = QDir(Store::folder()).entryList({kFile + QStringLiteral(".unreadable-*")});
            QCOMPARE(kept.size(), 1);
            QFile copy(QDir(Store::folder()).filePath(kept.first()));
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), data);
        } else {
            QCOMPARE(m.history().size(), entries);
            QCOMPARE(m.memory(), 2.0);
            QCOMPARE(m.ans(), 4.0);
        }
    }

    void backupNeverRead()
    {
        QFile bak(Store::path(kFile + QStringLiteral(".bak")));
        QVERIFY(bak.open(QIODevice::WriteOnly));
        bak.write(QJsonDocument(savedObject(4, 2, QJsonArray{entry(QStringLiteral("1"), QStringLiteral("1"))})).toJson());
        bak.close();
        ScientificModel m;
        QVERIFY(m.history().isEmpty());
        QCOMPARE(m.memory(), 0.0);
    }

    void blankDoesNothing()
    {
        ScientificModel m;
        for (const QString& blank : {QStringLiteral("   "), QStringLiteral("\t \t"), QString()}) {
            evaluate(m, blank);
            QVERIFY(!m.error());
            QCOMPARE(m.result(), QStringLiteral("0"));
        }
        QVERIFY(m.history().isEmpty());
        QVERIFY(!fileExists());
    }

    void evaluateRecords()
    {
        ScientificModel m;
        evaluate(m, QStringLiteral("2+3×4"));
        QCOMPARE(m.result(), QStringLiteral("14"));

        // Untrimmed text goes into the history as typed; the full value into ans.
        evaluate(m, QStringLiteral(" 1/3 "));
        QCOMPARE(m.history().first().expression, QStringLiteral(" 1/3 "));
        QCOMPARE(m.result(), QStringLiteral("0.333333333333"));
        QCOMPARE(m.ans(), 1.0 / 3.0);
        QCOMPARE(m.history().at(1).result, QStringLiteral("14"));

        ScientificModel again;
        QCOMPARE(again.history().size(), 2);
        QCOMPARE(again.history().first().expression, QStringLiteral(" 1/3 "));
        QCOMPARE(again.ans(), 1.0 / 3.0);
        QCOMPARE(again.history().first().id, m.history().first().id);
        QCOMPARE(again.expression(), QString()); // never saved
    }

    // The save that follows a result is not lost when the window goes at once.
    void resultSavedWhenClosedAtOnce()
    {
        {
            ScientificModel m;
            m.setExpression(QStringLiteral("6*7"));
            m.evaluate();
        }
        ScientificModel again;
        QCOMPARE(again.history().size(), 1);
        QCOMPARE(again.ans(), 42.0);
    }

    void lastAnswer()
    {
        // ans and m come from the saved state; ans follows each result.
        writeJson(savedObject(7, 5, {}));
        ScientificModel m;
        m.setExpression(QStringLiteral("ans*2+m"));
        QCOMPARE(m.preview(), QStringLiteral("19"));
        m.evaluate();
        QCOMPARE(m.result(), QStringLiteral("19"));
        QCOMPARE(m.preview(), QStringLiteral("43"));
    }

    void failedEvaluation()
    {
        ScientificModel m;
        evaluate(m, QStringLiteral("2+2"));
        const QByteArray before = [] {
            QFile f(Store::path(kFile));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        evaluate(m, QStringLiteral("1/0"));
        QCOMPARE(m.error(), std::optional<QString>(QStringLiteral("Cannot divide by zero")));
        QCOMPARE(m.result(), QStringLiteral("4"));
        QCOMPARE(m.ans(), 4.0);
        QCOMPARE(m.history().size(), 1);
        QFile f(Store::path(kFile));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void historyCap()
    {
        ScientificModel m;
        for (int i = 1; i <= 250; ++i) {
            evaluate(m, QString::number(i) + QStringLiteral("+0"));
        }
        QCOMPARE(m.history().size(), 250);
        // Only the newest 200 are written.
        ScientificModel again;
        QCOMPARE(again.history().size(), 200);
        QCOMPARE(again.history().first().result, QStringLiteral("250"));
        QCOMPARE(again.history().last().result, QStringLiteral("51"));
    }

    void memoryAddAndClearSave()
    {
        writeJson(savedObject(0, 3, {}));
        {
            ScientificModel m;
            evaluate(m, QStringLiteral("1e20"));
            QVERIFY(m.memoryAdd());
            QCOMPARE(readFile().value(QStringLiteral("memory")).toDouble(), 1e20 + 3);
            m.memoryClear();
            QCOMPARE(readFile().value(QStringLiteral("memory")).toDouble(), 0.0);
        }
        ScientificModel again;
        QCOMPARE(again.memory(), 0.0);
    }

    void memoryAddRefusesOverflow()
    {
        writeJson(savedObject(0, std::numeric_limits<double>::max(), {}));
        ScientificModel m;
        evaluate(m, QStringLiteral("1.7e308"));
        QVERIFY(!m.memoryAdd());
        QCOMPARE(m.memory(), std::numeric_limits<double>::max());
        // The state stays writable: the next calculation is saved.
        evaluate(m, QStringLiteral("1+1"));
        QCOMPARE(readFile().value(QStringLiteral("history")).toArray().size(), 2);
    }

    void backspace_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("bracket") << "sqrt(" << "sqrt";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("pi glyph") << "2π" << "2";
        QTest::newRow("root glyph") << "√" << "";
        QTest::newRow("combining mark") << QStringLiteral("1e\u0301") << "1";
        QTest::newRow("surrogate pair") << QStringLiteral("2\U0001D70B") << "2";
    }
    void backspace()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        ScientificModel m;
        m.setExpression(before);
        m.backspace();
        QCOMPARE(m.expression(), after);
    }

    void previewStates_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("preview");
        QTest::newRow("incomplete") << "2+" << "";
        QTest::newRow("complete") << "2+3" << "5";
        QTest::newRow("exponent key") << "2e5" << "200000";
        QTest::newRow("error text hidden") << "1/0" << "";
        QTest::newRow("glyphs") << "6÷2×3−1" << "8";
    }
    void previewStates()
    {
        QFETCH(QString, expression);
        QFETCH(QString, preview);
        ScientificModel m;
        m.setExpression(expression);
        QCOMPARE(m.preview(), preview);
        QVERIFY(!m.error());
    }

    void errorClearingRules()
    {
        ScientificModel m;
        auto fail = [&m] {
            evaluate(m, QStringLiteral("1/0"));
            QVERIFY(m.error());
        };
        evaluate(m, QStringLiteral("5"));

        fail();
        m.setExpression(QStringLiteral("1/0+"));   // typing keeps the error
        QVERIFY(m.error());
        m.backspace();
        QVERIFY(m.error());
        m.memoryClear();
        QVERIFY(m.error());
        m.setMode(AngleMode::radians);
        QVERIFY(m.error());
        m.insert(QStringLiteral("1"));             // any key clears it
        QVERIFY(!m.error());
        QCOMPARE(m.expression(), QStringLiteral("1/01"));

        fail();
        m.memoryRecall();
        QVERIFY(!m.error());
        QCOMPARE(m.expression(), QStringLiteral("1/0m"));

        // Clear drops the text and the error, never the history or ans.
        fail();
        m.clear();
        QCOMPARE(m.expression(), QString());
        QVERIFY(!m.error());
        QCOMPARE(m.result(), QStringLiteral("0"));
        QCOMPARE(m.history().size(), 1);
        QCOMPARE(m.ans(), 5.0);
    }

    void historyEdits()
    {
        ScientificModel m;
        evaluate(m, QStringLiteral("3*3"));
        const HistoryItem item = m.history().first();
        evaluate(m, QStringLiteral("1/0"));
        m.useHistoryEntry(item);
        QCOMPARE(m.expression(), QStringLiteral("3*3"));
        QVERIFY(m.error());   // a click leaves the error in view
        m.setExpression(QStringLiteral("2+"));
        m.insertResult(item);
        QCOMPARE(m.expression(), QStringLiteral("2+9"));
        QVERIFY(!m.error());

        // Clearing the history keeps ans.
        m.clearHistory();
        QVERIFY(m.history().isEmpty());
        QVERIFY(readFile().value(QStringLiteral("history")).toArray().isEmpty());
        QCOMPARE(readFile().value(QStringLiteral("ans")).toDouble(), 9.0);
    }
};

QTEST_GUILESS_MAIN(ScientificTest)
#include "tst_scientific.moc"
