#pragma once

#include <QHashFunctions>
#include <QList>
#include <QSize>
#include <QString>
#include <optional>

// An sRGB colour with components in 0...1; kept free of QtGui so that logic
// and models can name colours.
struct Rgb {
    double red = 0;
    double green = 0;
    double blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The fourteen tools of the program, in their fixed order.
class Tool {
public:
    enum Case : int {
        calculator,
        scientific,
        wordProcessor,
        stickyNotes,
        recorder,
        focus,
        citation,
        invoice,
        timeline,
        converter,
        loanGPA,
        passwords,
        solitaire,
        bingo,
    };

    constexpr Tool(Case c) : m_case(c) {}

    // Exact, case-sensitive match against the raw values.
    static std::optional<Tool> fromRawValue(QStringView raw);
    static const QList<Tool>& allCases();

    Case value() const { return m_case; }
    int index() const { return int(m_case); }
    QString rawValue() const;
    QString id() const { return rawValue(); }
    QString title() const;
    QString symbol() const;
    QString artName() const;
    Rgb tint() const;
    // The content size of a new window; empty for the word processor, whose
    // windows are documents.
    std::optional<QSize> defaultSize() const;
    // "Tools" for the first twelve, "Games" for solitaire and bingo.
    bool isGame() const { return m_case == solitaire || m_case == bingo; }

    friend bool operator==(Tool a, Tool b) { return a.m_case == b.m_case; }

private:
    Case m_case;
};

inline size_t qHash(Tool t, size_t seed = 0) { return ::qHash(int(t.value()), seed); }

namespace ChromeColors {
inline constexpr Rgb turquoiseDeep{0.08, 0.45, 0.47};
inline constexpr Rgb cherry{0.78, 0.07, 0.16};
}
