#include "calc/ScientificModel.h"

#include "core/Json.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "calc/NumberFormat.h"

#include <QJsonObject>
#include <QTextBoundaryFinder>
#include <cmath>

QJsonValue ScientificModel::Saved::toJson() const
{
    return QJsonObject{{QStringLiteral("ans"), ans},
                       {QStringLiteral("history"), Json::fromList(history)},
                       {QStringLiteral("memory"), memory}};
}

std::optional<ScientificModel::Saved> ScientificModel::Saved::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Saved s;
    s.ans = r.number(QStringLiteral("ans"));
    s.history = r.list<HistoryItem>(QStringLiteral("history"));
    s.memory = r.number(QStringLiteral("memory"));
    if (!r.ok())
        return std::nullopt;
    return s;
}

ScientificModel::ScientificModel(QObject* parent)
    : QObject(parent)
    , m_mode(SettingsStore::stringValue(modeKey(), QString()) == QLatin1String("radians") ? AngleMode::radians
                                                                                          : AngleMode::degrees)
{
    if (std::optional<Saved> saved = Store::load<Saved>(fileName())) {
        m_history = std::move(saved->history);
        m_memory = saved->memory;
        m_ans = saved->ans;
    }
}

void ScientificModel::setExpression(const QString& text)
{
    if (m_expression == text)
        return;
    m_expression = text;
    Q_EMIT expressionChanged();
    Q_EMIT previewChanged();
}

void ScientificModel::setMode(AngleMode mode)
{
    const bool changed = m_mode != mode;
    m_mode = mode;
    SettingsStore::settings().setValue(modeKey(), mode == AngleMode::radians ? QStringLiteral("radians")
                                                                             : QStringLiteral("degrees"));
    if (changed) {
        Q_EMIT modeChanged();
        Q_EMIT previewChanged();
    }
}

void ScientificModel::setError(const std::optional<QString>& error)
{
    if (m_error == error)
        return;
    m_error = error;
    Q_EMIT errorChanged();
}

void ScientificModel::setResult(const QString& result)
{
    if (m_result == result)
        return;
    m_result = result;
    Q_EMIT resultChanged();
}

void ScientificModel::setMemory(double memory)
{
    if (m_memory == memory)
        return;
    m_memory = memory;
    Q_EMIT memoryChanged();
    Q_EMIT previewChanged();
}

ExpressionEvaluator ScientificModel::evaluator() const
{
    ExpressionEvaluator e;
    e.angleMode = m_mode;
    e.variables = {{QStringLiteral("ans"), m_ans}, {QStringLiteral("m"), m_memory}};
    return e;
}

QString ScientificModel::preview() const
{
    if (m_expression.isEmpty())
        return QString();
    const ExprResult<double> r = evaluator().evaluate(m_expression);
    return r ? NumberFormat::display(r.value(), kSignificant) : QString();
}

void ScientificModel::evaluate()
{
    QString probe = m_expression;
    probe.remove(QLatin1Char(' '));
    probe.remove(QLatin1Char('\t'));
    if (probe.isEmpty())
        return;
    const ExprResult<double> r = evaluator().evaluate(m_expression);
    if (!r) {
        setError(r.error().description());
        return;
    }
    setResult(NumberFormat::display(r.value(), kSignificant));
    if (m_ans != r.value()) {
        m_ans = r.value();
        Q_EMIT ansChanged();
        Q_EMIT previewChanged();
    }
    setError(std::nullopt);
    m_history.prepend(HistoryItem::make(m_expression, m_result));
    Q_EMIT historyChanged();
    m_saveSoon.call([this] { persist(); });
}

void ScientificModel::backspace()
{
    if (m_expression.isEmpty())
        return;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_expression);
    finder.toEnd();
    const qsizetype cut = finder.toPreviousBoundary();
    setExpression(m_expression.left(cut < 0 ? m_expression.size() - 1 : cut));
}

void ScientificModel::clear()
{
    setExpression(QString());
    setError(std::nullopt);
    setResult(QStringLiteral("0"));
}

bool ScientificModel::persist()
{
    Saved s;
    s.history = m_history.mid(0, kSavedHistory);
    s.memory = m_memory;
    s.ans = m_ans;
    return Store::save(s, fileName());
}

void ScientificModel::insert(const QString& text)
{
    setError(std::nullopt);
    setExpression(m_expression + text);
}

void ScientificModel::memoryRecall()
{
    insert(QStringLiteral("m"));
}

void ScientificModel::memoryClear()
{
    setMemory(0);
    persist();
}

bool ScientificModel::memoryAdd()
{
    bool ok = false;
    const double v = m_result.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    // A sum beyond the largest double would make the memory unusable and the
    // state file unwritable; such an addition is refused.
    const double sum = m_memory + v;
    if (!std::isfinite(sum))
        return false;
    setMemory(sum);
    persist();
    return true;
}

void ScientificModel::useHistoryEntry(const HistoryItem& item)
{
    setExpression(item.expression);
}

void ScientificModel::insertResult(const HistoryItem& item)
{
    insert(item.result);
}

void ScientificModel::clearHistory()
{
    m_history.clear();
    Q_EMIT historyChanged();
    persist();
}
