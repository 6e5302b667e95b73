#include "calc/views/LoanLook.h"

#include "calc/LoanMath.h"
#include "money/Money.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

namespace LoanLook {

QFont rounded(qreal size, QFont::Weight weight)
{
    return Fonts::system(size, weight, Fonts::Design::Rounded);
}

QFont digits(qreal size, QFont::Weight weight)
{
    // The rounded face's digits differ in width; the fallback sans face has
    // even-width digits and sits well beside it.
    // One family, no list: the face has every character these figures use,
    // and without a second family named the font system is not asked for a
    // fallback list before any character needs one.
    QFont f = Fonts::system(size, weight, Fonts::Design::Default);
    f.setFamilies({QStringLiteral("DejaVu Sans")});
    return f;
}

const QFont& tableDigits()
{
    static const QFont font = digits(12);
    return font;
}

QFont caption()
{
    return Fonts::style(Fonts::TextStyle::Caption);
}

QFont caption2()
{
    return Fonts::style(Fonts::TextStyle::Caption2);
}

QColor secondary()
{
    return QColor(0, 0, 0, 128);
}

QColor orange()
{
    return QColor::fromRgbF(1.0f, 0.584f, 0.0f);
}

QColor purple()
{
    return QColor::fromRgbF(0.686f, 0.322f, 0.871f);
}

QWidget* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 0, 40));
    line->setPalette(pal);
    return line;
}

QString money(double value)
{
    const double rounded = LoanMath::round2(value);
    // Below ten trillion a rounded amount is a whole number of cents that
    // its shortest decimal text spells exactly: written out directly, as
    // the decimal route below would write it, at a fraction of its cost
    // (the tables show some hundred amounts). Zero takes that route for
    // its sign.
    if (std::abs(rounded) < 1e13) {
        const long long cents = std::llround(rounded * 100.0);
        if (cents != 0) {
            const unsigned long long magnitude = cents < 0 ? 0ULL - (unsigned long long)cents : (unsigned long long)cents;
            char digits[32];
            int n = 0;
            unsigned long long whole = magnitude / 100;
            do {
                if (n > 0 && n % 4 == 3)
                    digits[n++] = ',';
                digits[n++] = char('0' + whole % 10);
                whole /= 10;
            } while (whole != 0);
            QString text;
            text.reserve(n + 5);
            if (cents < 0)
                text += QLatin1Char('-');
            text += QLatin1Char('$');
            while (n > 0)
                text += QLatin1Char(digits[--n]);
            text += QLatin1Char('.');
            text += QLatin1Char(char('0' + magnitude % 100 / 10));
            text += QLatin1Char(char('0' + magnitude % 10));
            return text;
        }
    }
    const std::optional<Decimal> d = Decimal::fromDouble(rounded);
    return Money::format(d.value_or(Decimal::nan()), QStringLiteral("$"));
}

} // namespace LoanLook

LoanLabeledRow::LoanLabeledRow(const QString& label, qreal fontSize, QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    // Plain words the rounded face has: that face alone is named, so no
    // fallback list is asked of the font system for them.
    QFont labelFont = LoanLook::rounded(fontSize);
    labelFont.setFamilies({labelFont.families().value(0, labelFont.family())});
    m_label = styledLabel(label, labelFont, LoanLook::secondary(), this);
    m_value = styledLabel(QString(), LoanLook::digits(fontSize, QFont::DemiBold), Chrome::ink(), this);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_label, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(m_value, 0, Qt::AlignVCenter);
}

void LoanLabeledRow::setValue(const QString& value)
{
    m_value->setText(value);
}

QString LoanLabeledRow::value() const
{
    return m_value->text();
}

QString LoanLabeledRow::label() const
{
    return m_label->text();
}
