#include "TestEnvironment.h"
#include "app/Json.h"
#include "app/SettingsStore.h"
#include "app/Store.h"
#include "calc/ScientificModel.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {

const QString kFile = QStringLiteral("scientific.json");

QJsonObject entry(const QString& expression, const QString& result)
{
    return QJsonObject{{QStringLiteral("date"), QStringLiteral("2026-03-14T09:05:00Z")},
                       {QStringLiteral("expression"), expression},
                       {QStringLiteral("id"), QStringLiteral("0F6E7B2A-4C1D-4E8F-9A3B-2D5C6E7F8A9B")},
                       {QStringLiteral("result"), result}};
}

QJsonObject savedObject(double ans, double memory, const QJsonArray& history)
{
    return QJsonObject{{QStringLiteral("ans"), ans},
                       {QStringLiteral("history"), history},
                       {QStringLiteral("memory"), memory}};
}

void writeRaw(const QByteArray& data)
{
    QFile f(Store::path(kFile));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

void writeJson(const QJsonValue& v)
{
    writeRaw(v.isObject() ? QJsonDocument(v.toObject()).toJson() : QJsonDocument(v.toArray()).toJson());
}

QJsonObject readFile()
{
    QFile f(Store::path(kFile));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

bool fileExists()
{
    return QFile::exists(Store::path(kFile));
}

} // namespace

class ScientificTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstRun();
    void modeFromSettings_data();
    void modeFromSettings();
    void modeWrittenOnEverySet();
    void strictRead_data();
    void strictRead();
    void backupNeverRead();
    void blankDoesNothing();
    void evaluateRecords();
    void savedForm();
    void lastAnswer();
    void memoryVariable();
    void failedEvaluation();
    void historyCap();
    void memoryAdd_data();
    void memoryAdd();
    void memoryAddRefusesOverflow();
    void memoryClearSaves();
    void backspace_data();
    void backspace();
    void clearAfterError();
    void previewStates_data();
    void previewStates();
    void errorClearingRules();
    void historyEdits();
    void clearHistory();
};

void ScientificTest::init()
{
    TestEnvironment::clearDataFolder();
    SettingsStore::settings().remove(ScientificModel::modeKey());
}

void ScientificTest::firstRun()
{
    ScientificModel m;
    QVERIFY(m.history().isEmpty());
    QCOMPARE(m.memory(), 0.0);
    QCOMPARE(m.ans(), 0.0);
    QCOMPARE(m.mode(), AngleMode(AngleMode::degrees));
    QCOMPARE(m.result(), QStringLiteral("0"));
    QCOMPARE(m.expression(), QString());
    QVERIFY(!m.error());
    QCOMPARE(m.preview(), QString());
    // Construction writes nothing.
    QVERIFY(!fileExists());
    QVERIFY(!SettingsStore::settings().contains(ScientificModel::modeKey()));
}

void ScientificTest::modeFromSettings_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("radians");
    QTest::newRow("radians") << QVariant(QStringLiteral("radians")) << true;
    QTest::newRow("degrees") << QVariant(QStringLiteral("degrees")) << false;
    QTest::newRow("capitalised") << QVariant(QStringLiteral("Radians")) << false;
    QTest::newRow("grad") << QVariant(QStringLiteral("grad")) << false;
    QTest::newRow("padded") << QVariant(QStringLiteral(" radians")) << false;
    QTest::newRow("not a string") << QVariant(true) << false;
    QTest::newRow("number") << QVariant(1) << false;
}

void ScientificTest::modeFromSettings()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, radians);
    SettingsStore::settings().setValue(ScientificModel::modeKey(), stored);
    ScientificModel m;
    QCOMPARE(m.mode() == AngleMode::radians, radians);
}

void ScientificTest::modeWrittenOnEverySet()
{
    ScientificModel m;
    QSignalSpy preview(&m, &ScientificModel::previewChanged);
    m.setMode(AngleMode::degrees);   // unchanged, still written
    QCOMPARE(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("degrees"));
    QCOMPARE(preview.count(), 0);
    m.setExpression(QStringLiteral("sin(30)"));
    QCOMPARE(m.preview(), QStringLiteral("0.5"));
    m.setMode(AngleMode::radians);
    QCOMPARE(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("radians"));
    QVERIFY(m.preview() != QStringLiteral("0.5"));
    QCOMPARE(preview.count(), 2);
    ScientificModel again;
    QCOMPARE(again.mode(), AngleMode(AngleMode::radians));
}

void ScientificTest::strictRead_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("entries");   // -1: defaults

    auto doc = [](const QJsonObject& o) { return QJsonDocument(o).toJson(); };
    const QJsonArray one{entry(QStringLiteral("2+2"), QStringLiteral("4"))};

    QTest::newRow("whole record") << doc(savedObject(4, 2, one)) << 1;
    QTest::newRow("unknown keys ignored") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.insert(QStringLiteral("extra"), true);
        QJsonObject e = entry(QStringLiteral("1"), QStringLiteral("1"));
        e.insert(QStringLiteral("note"), 3);
        o.insert(QStringLiteral("history"), QJsonArray{e});
        return doc(o);
    }() << 1;
    QTest::newRow("empty history") << doc(savedObject(4, 2, {})) << 0;
    QTest::newRow("ans missing") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.remove(QStringLiteral("ans"));
        return doc(o);
    }() << -1;
    QTest::newRow("memory missing") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.remove(QStringLiteral("memory"));
        return doc(o);
    }() << -1;
    QTest::newRow("history missing") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.remove(QStringLiteral("history"));
        return doc(o);
    }() << -1;
    QTest::newRow("memory as text") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.insert(QStringLiteral("memory"), QStringLiteral("2"));
        return doc(o);
    }() << -1;
    QTest::newRow("history not a list") << [&] {
        QJsonObject o = savedObject(4, 2, one);
        o.insert(QStringLiteral("history"), QJsonObject());
        return doc(o);
    }() << -1;
    const QStringList entryKeys{QStringLiteral("date"), QStringLiteral("expression"), QStringLiteral("id"),
                                QStringLiteral("result")};
    for (const QString& key : entryKeys) {
        QJsonObject e = entry(QStringLiteral("2+2"), QStringLiteral("4"));
        e.remove(key);
        QTest::addRow("entry without %s", qPrintable(key))
            << doc(savedObject(4, 2, QJsonArray{entry(QStringLiteral("1"), QStringLiteral("1")), e})) << -1;
    }
    {
        QJsonObject e = entry(QStringLiteral("2+2"), QStringLiteral("4"));
        e.insert(QStringLiteral("date"), QStringLiteral("yesterday"));
        QTest::newRow("date not ISO-8601") << doc(savedObject(4, 2, QJsonArray{e})) << -1;
    }
    {
        QJsonObject e = entry(QStringLiteral("2+2"), QStringLiteral("4"));
        e.insert(QStringLiteral("id"), QStringLiteral("not-a-uuid"));
        QTest::newRow("id not a UUID") << doc(savedObject(4, 2, QJsonArray{e})) << -1;
    }
    {
        QJsonObject e = entry(QStringLiteral("2+2"), QStringLiteral("4"));
        e.insert(QStringLiteral("result"), 4);
        QTest::newRow("result as number") << doc(savedObject(4, 2, QJsonArray{e})) << -1;
    }
    QTest::newRow("entry not an object") << doc(savedObject(4, 2, QJsonArray{QStringLiteral("2+2")})) << -1;
    QTest::newRow("not JSON") << QByteArray("{\"ans\": 4, \"history\": [") << -1;
    QTest::newRow("top-level list") << QByteArray("[]") << -1;
    QTest::newRow("empty file") << QByteArray() << -1;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe garbage", 12) << -1;
}

void ScientificTest::strictRead()
{
    QFETCH(QByteArray, data);
    QFETCH(int, entries);
    writeRaw(data);
    ScientificModel m;
    if (entries < 0) {
        QVERIFY(m.history().isEmpty());
        QCOMPARE(m.memory(), 0.0);
        QCOMPARE(m.ans(), 0.0);
        // The damaged file is only replaced by the next save, which keeps it
        // as the backup.
        m.setExpression(QStringLiteral("1+1"));
        m.evaluate();
        QFile bak(Store::path(kFile + QStringLiteral(".bak")));
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), data);
    } else {
        QCOMPARE(m.history().size(), entries);
        QCOMPARE(m.memory(), 2.0);
        QCOMPARE(m.ans(), 4.0);
    }
}

void ScientificTest::backupNeverRead()
{
    QFile bak(Store::path(kFile + QStringLiteral(".bak")));
    QVERIFY(bak.open(QIODevice::WriteOnly));
    bak.write(QJsonDocument(savedObject(4, 2, QJsonArray{entry(QStringLiteral("1"), QStringLiteral("1"))})).toJson());
    bak.close();
    ScientificModel m;
    QVERIFY(m.history().isEmpty());
    QCOMPARE(m.memory(), 0.0);
}

void ScientificTest::blankDoesNothing()
{
    ScientificModel m;
    QSignalSpy history(&m, &ScientificModel::historyChanged);
    for (const QString& blank : {QStringLiteral("   "), QStringLiteral("\t \t"), QString()}) {
        m.setExpression(blank);
        m.evaluate();
        QVERIFY(!m.error());
        QCOMPARE(m.result(), QStringLiteral("0"));
    }
    QCOMPARE(history.count(), 0);
    QVERIFY(!fileExists());
}

void ScientificTest::evaluateRecords()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("2+3×4"));
    m.evaluate();
    QCOMPARE(m.result(), QStringLiteral("14"));
    QCOMPARE(m.ans(), 14.0);
    QVERIFY(!m.error());
    QCOMPARE(m.expression(), QStringLiteral("2+3×4"));
    QCOMPARE(m.history().size(), 1);
    QCOMPARE(m.history().first().expression, QStringLiteral("2+3×4"));
    QCOMPARE(m.history().first().result, QStringLiteral("14"));
    QVERIFY(fileExists());

    // Untrimmed text goes into the history as typed; the full value into ans.
    m.setExpression(QStringLiteral(" 1/3 "));
    m.evaluate();
    QCOMPARE(m.history().first().expression, QStringLiteral(" 1/3 "));
    QCOMPARE(m.result(), QStringLiteral("0.333333333333"));
    QCOMPARE(m.ans(), 1.0 / 3.0);
    QCOMPARE(m.history().size(), 2);
    QCOMPARE(m.history().at(1).result, QStringLiteral("14"));

    ScientificModel again;
    QCOMPARE(again.history().size(), 2);
    QCOMPARE(again.history().first().expression, QStringLiteral(" 1/3 "));
    QCOMPARE(again.ans(), 1.0 / 3.0);
    QCOMPARE(again.history().first().id, m.history().first().id);
    // What is never saved comes up fresh.
    QCOMPARE(again.expression(), QString());
    QCOMPARE(again.result(), QStringLiteral("0"));
}

void ScientificTest::savedForm()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("6*7"));
    m.evaluate();
    const QJsonObject o = readFile();
    QCOMPARE(o.keys(), (QStringList{QStringLiteral("ans"), QStringLiteral("history"), QStringLiteral("memory")}));
    QCOMPARE(o.value(QStringLiteral("ans")).toDouble(), 42.0);
    const QJsonObject e = o.value(QStringLiteral("history")).toArray().first().toObject();
    QCOMPARE(e.keys(), (QStringList{QStringLiteral("date"), QStringLiteral("expression"), QStringLiteral("id"),
                                    QStringLiteral("result")}));
    QCOMPARE(e.value(QStringLiteral("id")).toString(), Json::fromUuid(m.history().first().id));
    QCOMPARE(e.value(QStringLiteral("id")).toString().size(), 36);
    QVERIFY(e.value(QStringLiteral("date")).toString().endsWith(QLatin1Char('Z')));
    QVERIFY(Json::toDate(e.value(QStringLiteral("date")).toString()).has_value());
}

void ScientificTest::lastAnswer()
{
    writeJson(savedObject(7, 0, {}));
    ScientificModel m;
    m.setExpression(QStringLiteral("ans*2"));
    QCOMPARE(m.preview(), QStringLiteral("14"));
    m.evaluate();
    QCOMPARE(m.result(), QStringLiteral("14"));
    QCOMPARE(m.preview(), QStringLiteral("28"));
    QCOMPARE(m.expression(), QStringLiteral("ans*2"));
}

void ScientificTest::memoryVariable()
{
    writeJson(savedObject(0, 5, {}));
    ScientificModel m;
    m.setExpression(QStringLiteral("m+1"));
    QCOMPARE(m.preview(), QStringLiteral("6"));
    m.evaluate();
    QCOMPARE(m.result(), QStringLiteral("6"));
}

void ScientificTest::failedEvaluation()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("2+2"));
    m.evaluate();
    const QByteArray before = [] {
        QFile f(Store::path(kFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    m.setExpression(QStringLiteral("1/0"));
    m.evaluate();
    QCOMPARE(m.error(), std::optional<QString>(QStringLiteral("Cannot divide by zero")));
    QCOMPARE(m.result(), QStringLiteral("4"));
    QCOMPARE(m.ans(), 4.0);
    QCOMPARE(m.history().size(), 1);
    QCOMPARE(m.expression(), QStringLiteral("1/0"));
    QFile f(Store::path(kFile));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    m.setExpression(QStringLiteral("foo(2)"));
    m.evaluate();
    QCOMPARE(m.error(), std::optional<QString>(QStringLiteral("Unknown name: foo")));
}

void ScientificTest::historyCap()
{
    ScientificModel m;
    for (int i = 1; i <= 250; ++i) {
        m.setExpression(QString::number(i) + QStringLiteral("+0"));
        m.evaluate();
    }
    QCOMPARE(m.history().size(), 250);
    QCOMPARE(m.history().first().result, QStringLiteral("250"));
    const QJsonArray saved = readFile().value(QStringLiteral("history")).toArray();
    QCOMPARE(saved.size(), 200);
    QCOMPARE(saved.first().toObject().value(QStringLiteral("result")).toString(), QStringLiteral("250"));
    QCOMPARE(saved.last().toObject().value(QStringLiteral("result")).toString(), QStringLiteral("51"));

    ScientificModel again;
    QCOMPARE(again.history().size(), 200);
    QCOMPARE(again.history().first().result, QStringLiteral("250"));
    QCOMPARE(again.history().last().result, QStringLiteral("51"));
}

void ScientificTest::memoryAdd_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("memory");
    QTest::newRow("whole") << "12" << 15.0;
    QTest::newRow("exponent form") << "1e20" << 1e20 + 3;
    QTest::newRow("negative fraction") << "-0.5" << 2.5;
    QTest::newRow("small") << "1.5e-7" << 3 + 1.5e-7;
}

void ScientificTest::memoryAdd()
{
    QFETCH(QString, expression);
    QFETCH(double, memory);
    writeJson(savedObject(0, 3, {}));
    ScientificModel m;
    m.setExpression(expression);
    m.evaluate();
    QVERIFY(m.memoryAdd());
    QCOMPARE(m.memory(), memory);
    QCOMPARE(readFile().value(QStringLiteral("memory")).toDouble(), memory);
}

void ScientificTest::memoryAddRefusesOverflow()
{
    writeJson(savedObject(0, std::numeric_limits<double>::max(), {}));
    ScientificModel m;
    m.setExpression(QStringLiteral("1.7e308"));
    m.evaluate();
    QVERIFY(!m.memoryAdd());
    QCOMPARE(m.memory(), std::numeric_limits<double>::max());
    // The state stays writable: the next calculation is saved.
    m.setExpression(QStringLiteral("1+1"));
    m.evaluate();
    QCOMPARE(readFile().value(QStringLiteral("history")).toArray().size(), 2);
}

void ScientificTest::memoryClearSaves()
{
    writeJson(savedObject(0, 9, {}));
    ScientificModel m;
    QSignalSpy spy(&m, &ScientificModel::memoryChanged);
    m.memoryClear();
    QCOMPARE(m.memory(), 0.0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(readFile().value(QStringLiteral("memory")).toDouble(), 0.0);
    QVERIFY(readFile().contains(QStringLiteral("ans")));
}

void ScientificTest::backspace_data()
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

void ScientificTest::backspace()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    ScientificModel m;
    m.setExpression(before);
    m.backspace();
    QCOMPARE(m.expression(), after);
}

void ScientificTest::clearAfterError()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("5"));
    m.evaluate();
    m.setExpression(QStringLiteral("1/0"));
    m.evaluate();
    QVERIFY(m.error());
    m.clear();
    QCOMPARE(m.expression(), QString());
    QVERIFY(!m.error());
    QCOMPARE(m.result(), QStringLiteral("0"));
    QCOMPARE(m.history().size(), 1);
    QCOMPARE(m.ans(), 5.0);
}

void ScientificTest::previewStates_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("preview");
    QTest::newRow("incomplete") << "2+" << "";
    QTest::newRow("complete") << "2+3" << "5";
    QTest::newRow("exponent key") << "2e5" << "200000";
    QTest::newRow("degrees") << "sin(30)" << "0.5";
    QTest::newRow("error text hidden") << "1/0" << "";
    QTest::newRow("memory name") << "m" << "0";
    QTest::newRow("glyphs") << "6÷2×3−1" << "8";
}

void ScientificTest::previewStates()
{
    QFETCH(QString, expression);
    QFETCH(QString, preview);
    ScientificModel m;
    m.setExpression(expression);
    QCOMPARE(m.preview(), preview);
    QVERIFY(!m.error());
}

void ScientificTest::errorClearingRules()
{
    ScientificModel m;
    auto fail = [&m] {
        m.setExpression(QStringLiteral("1/0"));
        m.evaluate();
        QVERIFY(m.error());
    };

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
}

void ScientificTest::historyEdits()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("3*3"));
    m.evaluate();
    const HistoryItem item = m.history().first();
    m.setExpression(QStringLiteral("1/0"));
    m.evaluate();
    m.useHistoryEntry(item);
    QCOMPARE(m.expression(), QStringLiteral("3*3"));
    QVERIFY(m.error());   // a click leaves the error in view
    m.setExpression(QStringLiteral("2+"));
    m.insertResult(item);
    QCOMPARE(m.expression(), QStringLiteral("2+9"));
    QVERIFY(!m.error());
}

void ScientificTest::clearHistory()
{
    ScientificModel m;
    m.setExpression(QStringLiteral("1+1"));
    m.evaluate();
    m.clearHistory();
    QVERIFY(m.history().isEmpty());
    QVERIFY(readFile().value(QStringLiteral("history")).toArray().isEmpty());
    QCOMPARE(readFile().value(QStringLiteral("ans")).toDouble(), 2.0);
}

QTEST_GUILESS_MAIN(ScientificTest)
#include "tst_scientific.moc"
