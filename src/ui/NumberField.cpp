#include "ui/NumberField.h"

#include "core/CFormat.h"

#include "ui/Fonts.h"
#include "ui/FieldSpelling.h"
#include "ui/LineLabel.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Exactly one floating conversion ("%%" aside), with sane width/precision:
// flags, at most two digits of width, at most two of precision. Read by hand:
// every field checks its format when it shows a value, and a regular
// expression would be compiled for it when the first field opens.
bool isSafeFormat(const QString& format)
{
    const qsizetype n = format.size();
    qsizetype i = 0;
    const auto digits = [&] {
        for (int d = 0; d < 2 && i < n && format.at(i).unicode() >= '0' && format.at(i).unicode() <= '9'; ++d)
            ++i;
    };
    int conversions = 0;
    for (; i < n; ++i) {
        if (format.at(i) != QLatin1Char('%'))
            continue;
        if (i + 1 < n && format.at(i + 1) == QLatin1Char('%')) {
            ++i;
            continue;
        }
        if (++conversions > 1)
            return false;
        ++i;
        while (i < n && QStringView(u"-+ #0").contains(format.at(i)))
            ++i;
        digits();
        if (i < n && format.at(i) == QLatin1Char('.')) {
            ++i;
            digits();
        }
        if (i >= n || !QStringView(u"fFeEgG").contains(format.at(i)))
            return false;
    }
    return conversions == 1;
}

} // namespace

QString NumberField::fmt(const QString& format, double value)
{
    const QString f = isSafeFormat(format) ? format : QStringLiteral("%g");
    QString text = CFormat::number(f.toUtf8(), value);
    const qsizetype point = text.lastIndexOf(QLatin1Char('.'));
    if (point < 0)
        return text;
    // Only a fraction that ends the text is trimmed: the zeros of an
    // exponent ("1.00e+10") are part of the number, not padding.
    for (qsizetype i = point + 1; i < text.size(); ++i) {
        if (!text.at(i).isDigit())
            return text;
    }
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

std::optional<double> NumberField::parse(const QString& typed)
{
    QString t = typed;
    t.remove(QLatin1Char(','));
    t.remove(QLatin1Char('$'));
    t.remove(QLatin1Char('%'));
    int a = 0, b = int(t.size());
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (a < b && blank(t.at(a)))
        ++a;
    while (b > a && blank(t.at(b - 1)))
        --b;
    t = t.mid(a, b - a);
    if (t.isEmpty())
        return 0.0;
    static const QRegularExpression number(QStringLiteral("^[+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?\\z"));
    if (!number.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    double v = t.toDouble(&ok); // C locale
    // The text has the form of a number, so the one failure left is its
    // range. Too small to hold ("1e-400") reads as zero, as the C library
    // reads it; too large ("1e999") is not a number the tools can use.
    if (!ok && v == 0) {
        ok = true;
        v = t.startsWith(QLatin1Char('-')) ? -0.0 : 0.0;
    }
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

NumberField::NumberField(const QString& label, double value, qreal width, const QString& format, QWidget* parent)
    : QWidget(parent), m_label(label), m_format(format), m_value(value)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_labelWidget = new LineLabel(label, this);
    m_labelWidget->setFont(Fonts::system(11, QFont::DemiBold, Fonts::Design::Rounded));
    QPalette pal = m_labelWidget->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0, 128));
    m_labelWidget->setPalette(pal);
    layout->addWidget(m_labelWidget, 0, Qt::AlignLeft);

    // A number is not text: no spelling here.
    m_edit = new QLineEdit(this);
    FieldSpelling::exclude(m_edit);
    m_edit->setPlaceholderText(label);
    m_edit->setFixedWidth(qMax(1, int(std::round(width))));
    m_edit->setAccessibleName(label);
    layout->addWidget(m_edit, 0, Qt::AlignLeft);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_settingText = true;
    m_edit->setText(fmt(m_format, m_value));
    m_settingText = false;
    connect(m_edit, &QLineEdit::textChanged, this, &NumberField::onTextChanged);
}

QString NumberField::text() const
{
    return m_edit->text();
}

void NumberField::setValue(double value)
{
    const bool changed = !(value == m_value) || std::signbit(value) != std::signbit(m_value);
    m_value = value;
    // Views hand every field its value again whenever anything changes; only
    // a new value is shown anew, so what the user typed stays as typed.
    if (changed && !m_edit->hasFocus()) {
        const QString shown = fmt(m_format, value);
        if (shown != m_edit->text()) {
            m_settingText = true;
            m_edit->setText(shown);
            m_settingText = false;
        }
    }
    if (changed)
        Q_EMIT valueChanged(value);
}

void NumberField::onTextChanged(const QString& text)
{
    // Only the user's own text sets the value: the field's reformatting of an
    // outside value must not round that value to the shown digits.
    if (m_settingText)
        return;
    const std::optional<double> v = parse(text);
    if (!v)
        return;
    const bool changed = !(*v == m_value) || std::signbit(*v) != std::signbit(m_value);
    m_value = *v;
    if (changed)
        Q_EMIT valueChanged(m_value);
}
