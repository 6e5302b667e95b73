#pragma once

#include "calc/ExpressionEvaluator.h"
#include "calc/HistoryItem.h"
#include "core/Debouncer.h"

#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// The Scientific Calculator's state: the expression being typed, the last
// result or error, the angle mode (kept in the preferences under "sciMode"),
// the history of calculations (newest first), the memory and the last
// answer. History, memory and last answer live in "scientific.json".
class ScientificModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString expression READ expression WRITE setExpression NOTIFY expressionChanged)
    Q_PROPERTY(QString result READ result NOTIFY resultChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(double memory READ memory NOTIFY memoryChanged)
    Q_PROPERTY(double ans READ ans NOTIFY ansChanged)
    Q_PROPERTY(QString preview READ preview NOTIFY previewChanged)
public:
    // The content of "scientific.json".
    struct Saved {
        QList<HistoryItem> history;
        double memory = 0;
        double ans = 0;

        QJsonValue toJson() const;
        // Strict: "ans", "history" and "memory" are all required, and every
        // history entry must be whole.
        static std::optional<Saved> fromJson(const QJsonValue& value);
    };

    static constexpr int kSavedHistory = 200;
    static constexpr int kSignificant = 12;
    static QString fileName() { return QStringLiteral("scientific.json"); }
    static QString modeKey() { return QStringLiteral("sciMode"); }

    explicit ScientificModel(QObject* parent = nullptr);

    QString expression() const { return m_expression; }
    QString result() const { return m_result; }
    const std::optional<QString>& error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }
    AngleMode mode() const { return m_mode; }
    const QList<HistoryItem>& history() const { return m_history; }
    double memory() const { return m_memory; }
    double ans() const { return m_ans; }

    // Typing in the field: changes the expression only.
    void setExpression(const QString& text);
    // Writes "sciMode" on every call, also when the mode stays.
    void setMode(AngleMode mode);

    // An evaluator in the current mode with "ans" and "m" set.
    ExpressionEvaluator evaluator() const;
    // The live value of the expression as typed, or "" when it is empty or
    // does not evaluate.
    QString preview() const;

    void evaluate();
    void backspace();
    void clear();
    // Writes "scientific.json" (the newest 200 entries). True when written.
    bool persist();

    // Edits the window makes.
    void insert(const QString& text);          // keypad keys: error cleared, text appended
    void memoryRecall();                       // "MR": inserts "m"
    void memoryClear();                        // "MC"
    bool memoryAdd();                          // "M+": adds the shown result
    void useHistoryEntry(const HistoryItem& item);  // a click on an entry
    void insertResult(const HistoryItem& item);     // "Insert Result"
    void clearHistory();

Q_SIGNALS:
    void expressionChanged();
    void resultChanged();
    void errorChanged();
    void modeChanged();
    void historyChanged();
    void memoryChanged();
    void ansChanged();
    // Anything the preview reads has changed.
    void previewChanged();

private:
    void setError(const std::optional<QString>& error);
    void setResult(const QString& result);
    void setMemory(double memory);

    QString m_expression;
    QString m_result = QStringLiteral("0");
    std::optional<QString> m_error;
    AngleMode m_mode;
    QList<HistoryItem> m_history;
    double m_memory = 0;
    double m_ans = 0;
    // A result is saved a moment after it is on screen, not before it
    // (writing the file waits for the disk), once for a quick run of
    // results; declared after the state it saves.
    Debouncer m_saveSoon{0.25};
};
