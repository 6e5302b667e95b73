#pragma once

#include "calc/StandardCalculator.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// The Calculator window's model: the calculator state plus the short status
// text ("Copied 15") shown beside the Copy Result and Paste buttons. The
// clipboard itself belongs to the window; the model decides what goes on it
// and what pasted text means.
class CalculatorModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString display READ display NOTIFY changed)
    Q_PROPERTY(QString expressionLine READ expressionLine NOTIFY changed)
    Q_PROPERTY(bool hasMemory READ hasMemory NOTIFY changed)
    Q_PROPERTY(QString flash READ flashText NOTIFY flashChanged)
public:
    // How long a flash stays.
    static constexpr int kFlashMs = 1200;

    explicit CalculatorModel(QObject* parent = nullptr);

    const StandardCalculator& calc() const { return m_calc; }
    QString display() const { return m_calc.display; }
    QString expressionLine() const { return m_calc.expressionLine; }
    bool hasMemory() const { return m_calc.hasMemory; }
    const std::optional<QString>& flash() const { return m_flash; }
    QString flashText() const { return m_flash.value_or(QString()); }

    // Feeds one key to the calculator.
    void input(const QString& key);

    // The text to put on the clipboard (the display, whatever it shows);
    // flashes "Copied <text>", cleared kFlashMs later.
    QString copy();

    // Types pasted text into the calculator. Grouping commas and surrounding
    // white space are ignored; text that is not a decimal number, or whose
    // value cannot be keyed in the calculator's 16 digits, changes nothing.
    // A plain number is keyed digit by digit as written ("1.50" shows
    // "1.50"); one with an exponent is keyed as its value ("1e5": 100000).
    // True when the text was entered.
    bool paste(const QString& text);

    // The keys that enter the number `text` denotes after a reset ("C"
    // first), or nothing when the text is not such a number.
    static std::optional<QStringList> pasteKeys(const QString& text);

Q_SIGNALS:
    void changed();
    void flashChanged();

private:
    void setFlash(const std::optional<QString>& text);

    StandardCalculator m_calc;
    std::optional<QString> m_flash;
};
