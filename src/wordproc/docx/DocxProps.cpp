#include "wordproc/docx/DocxProps.h"
#include "wordproc/docx/DocxNames.h"

#include <cmath>

namespace Docx {

namespace {

template <typename T>
void take(std::optional<T>& base, const std::optional<T>& top)
{
    if (top)
        base = top;
}

constexpr int kMaxStyleChain = 32;

QColor highlightColor(QStringView name)
{
    static const QHash<QString, QColor> colors{
        {QStringLiteral("yellow"), QColor(255, 255, 0)},    {QStringLiteral("green"), QColor(0, 255, 0)},
        {QStringLiteral("cyan"), QColor(0, 255, 255)},      {QStringLiteral("magenta"), QColor(255, 0, 255)},
        {QStringLiteral("blue"), QColor(0, 0, 255)},        {QStringLiteral("red"), QColor(255, 0, 0)},
        {QStringLiteral("darkBlue"), QColor(0, 0, 139)},    {QStringLiteral("darkCyan"), QColor(0, 139, 139)},
        {QStringLiteral("darkGreen"), QColor(0, 100, 0)},   {QStringLiteral("darkMagenta"), QColor(128, 0, 128)},
        {QStringLiteral("darkRed"), QColor(139, 0, 0)},     {QStringLiteral("darkYellow"), QColor(128, 128, 0)},
        {QStringLiteral("darkGray"), QColor(169, 169, 169)}, {QStringLiteral("lightGray"), QColor(211, 211, 211)},
        {QStringLiteral("black"), QColor(0, 0, 0)},         {QStringLiteral("white"), QColor(255, 255, 255)},
    };
    return colors.value(name.toString());
}

QString toRoman(int n, bool upper)
{
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const std::pair<int, const char*> table[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                        {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                        {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"}, {1, "i"}};
    QString out;
    for (const auto& [value, text] : table) {
        while (n >= value) {
            out += QLatin1String(text);
            n -= value;
        }
    }
    return upper ? out.toUpper() : out;
}

QString toLetters(int n, bool upper)
{
    if (n <= 0 || n > 26 * 8)
        return QString::number(n);
    // a … z, aa … zz, aaa …: the letter repeats once more every 26 items.
    const QChar letter = QChar(char16_t((upper ? u'A' : u'a') + (n - 1) % 26));
    return QString((n - 1) / 26 + 1, letter);
}

QString formatNumber(int n, const QString& format)
{
    if (format == QLatin1String("lowerLetter"))
        return toLetters(n, false);
    if (format == QLatin1String("upperLetter"))
        return toLetters(n, true);
    if (format == QLatin1String("lowerRoman"))
        return toRoman(n, false);
    if (format == QLatin1String("upperRoman"))
        return toRoman(n, true);
    if (format == QLatin1String("decimalZero"))
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return QString::number(n);
}

} // namespace

void RunProps::overlay(const RunProps& t)
{
    if (t.family) {
        family = t.family;
        themeFont.reset();
    } else if (t.themeFont) {
        themeFont = t.themeFont;
        family.reset();
    }
    take(pointSize, t.pointSize);
    take(bold, t.bold);
    take(italic, t.italic);
    take(underline, t.underline);
    take(strike, t.strike);
    take(color, t.color);
    take(shading, t.shading);
    take(highlight, t.highlight);
    take(baseline, t.baseline);
}

void ParaProps::overlay(const ParaProps& t)
{
    take(alignment, t.alignment);
    take(left, t.left);
    take(firstLine, t.firstLine);
    take(lineMultiple, t.lineMultiple);
    take(tabs, t.tabs);
    take(numId, t.numId);
    take(ilvl, t.ilvl);
    take(style, t.style);
}

bool isW(const QXmlStreamReader& xml, QLatin1String name)
{
    return xml.name() == name && (xml.namespaceUri() == ns::w || xml.namespaceUri() == ns::wStrict);
}

QStringView wAttr(const QXmlStreamReader& xml, QLatin1String name)
{
    const QXmlStreamAttributes at = xml.attributes();
    for (const QXmlStreamAttribute& a : at) {
        if (a.name() == name && (a.namespaceUri() == ns::w || a.namespaceUri() == ns::wStrict))
            return a.value();
    }
    return {};
}

std::optional<qreal> twipsToPoints(QStringView value)
{
    const QString v = value.trimmed().toString();
    if (v.isEmpty())
        return std::nullopt;
    double factor = 1.0 / 20.0;
    QString number = v;
    static const std::pair<const char*, double> units[] = {{"pt", 1.0},          {"in", 72.0},
                                                           {"cm", 72.0 / 2.54}, {"mm", 72.0 / 25.4},
                                                           {"pc", 12.0},        {"pi", 12.0}};
    for (const auto& [suffix, perUnit] : units) {
        if (v.endsWith(QLatin1String(suffix))) {
            number = v.chopped(2);
            factor = perUnit;
            break;
        }
    }
    bool ok = false;
    const double n = number.toDouble(&ok);
    if (!ok || !std::isfinite(n))
        return std::nullopt;
    const double points = n * factor;
    if (std::abs(points) > 100000)
        return std::nullopt;
    return points;
}

std::optional<QColor> hexColor(QStringView value)
{
    if (value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
        return QColor();
    if (value.size() != 6)
        return std::nullopt;
    bool ok = false;
    const uint rgb = value.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return QColor::fromRgb(QRgb(rgb));
}

bool onOff(const QXmlStreamReader& xml)
{
    const QStringView v = wAttr(xml, QLatin1String("val"));
    return !(v == QLatin1String("false") || v == QLatin1String("0") || v == QLatin1String("off"));
}

RunProps readRunProps(QXmlStreamReader& xml, QString* charStyle)
{
    RunProps p;
    while (xml.readNextStartElement()) {
        if (charStyle && isW(xml, QLatin1String("rStyle"))) {
            *charStyle = wAttr(xml, QLatin1String("val")).toString();
        } else if (isW(xml, QLatin1String("rFonts"))) {
            for (const char* key : {"ascii", "hAnsi", "cs", "eastAsia"}) {
                const QStringView v = wAttr(xml, QLatin1String(key));
                if (!v.isEmpty()) {
                    p.family = v.toString();
                    break;
                }
            }
            if (!p.family) {
                for (const char* key : {"asciiTheme", "hAnsiTheme"}) {
                    const QStringView v = wAttr(xml, QLatin1String(key));
                    if (!v.isEmpty()) {
                        p.themeFont = v.toString();
                        break;
                    }
                }
            }
        } else if (isW(xml, QLatin1String("b"))) {
            p.bold = onOff(xml);
        } else if (isW(xml, QLatin1String("i"))) {
            p.italic = onOff(xml);
        } else if (isW(xml, QLatin1String("strike"))) {
            p.strike = onOff(xml) ? int(WPText::StyleSingle) : 0;
        } else if (isW(xml, QLatin1String("dstrike"))) {
            if (onOff(xml))
                p.strike = WPText::StyleDouble;
        } else if (isW(xml, QLatin1String("sz"))) {
            bool ok = false;
            const double half = wAttr(xml, QLatin1String("val")).toDouble(&ok);
            if (ok && half >= 2 && half <= 3276)
                p.pointSize = half / 2.0;
        } else if (isW(xml, QLatin1String("u"))) {
            const QStringView v = wAttr(xml, QLatin1String("val"));
            if (v == QLatin1String("none") || v == QLatin1String("0"))
                p.underline = 0;
            else if (v == QLatin1String("double"))
                p.underline = WPText::StyleDouble;
            else if (v == QLatin1String("thick"))
                p.underline = WPText::StyleThick;
            else
                p.underline = WPText::StyleSingle;
        } else if (isW(xml, QLatin1String("color"))) {
            if (const auto c = hexColor(wAttr(xml, QLatin1String("val"))))
                p.color = *c;
        } else if (isW(xml, QLatin1String("shd"))) {
            if (const auto c = hexColor(wAttr(xml, QLatin1String("fill"))))
                p.shading = *c;
        } else if (isW(xml, QLatin1String("highlight"))) {
            p.highlight = highlightColor(wAttr(xml, QLatin1String("val")));
        } else if (isW(xml, QLatin1String("vertAlign"))) {
            const QStringView v = wAttr(xml, QLatin1String("val"));
            p.baseline = v == QLatin1String("superscript") ? 1 : v == QLatin1String("subscript") ? 2 : 0;
        }
        xml.skipCurrentElement();
    }
    return p;
}

ParaProps readParaProps(QXmlStreamReader& xml, RunProps* markRun, const std::function<void()>& onSection)
{
    ParaProps p;
    while (xml.readNextStartElement()) {
        if (isW(xml, QLatin1String("pStyle"))) {
            p.style = wAttr(xml, QLatin1String("val")).toString();
        } else if (isW(xml, QLatin1String("jc"))) {
            const QStringView v = wAttr(xml, QLatin1String("val"));
            if (v == QLatin1String("center"))
                p.alignment = Qt::AlignHCenter;
            else if (v == QLatin1String("right") || v == QLatin1String("end"))
                p.alignment = Qt::AlignRight;
            else if (v == QLatin1String("both") || v == QLatin1String("distribute"))
                p.alignment = Qt::AlignJustify;
            else
                p.alignment = Qt::AlignLeft;
        } else if (isW(xml, QLatin1String("ind"))) {
            auto left = twipsToPoints(wAttr(xml, QLatin1String("left")));
            if (!left)
                left = twipsToPoints(wAttr(xml, QLatin1String("start")));
            if (left)
                p.left = *left;
            if (const auto hanging = twipsToPoints(wAttr(xml, QLatin1String("hanging"))))
                p.firstLine = -*hanging;
            else if (const auto first = twipsToPoints(wAttr(xml, QLatin1String("firstLine"))))
                p.firstLine = *first;
        } else if (isW(xml, QLatin1String("spacing"))) {
            const QStringView rule = wAttr(xml, QLatin1String("lineRule"));
            bool ok = false;
            const double line = wAttr(xml, QLatin1String("line")).toDouble(&ok);
            if (ok && (rule.isEmpty() || rule == QLatin1String("auto")) && line > 0 && line <= 240 * 20)
                p.lineMultiple = line / 240.0;
        } else if (isW(xml, QLatin1String("tabs"))) {
            QList<qreal> tabs;
            while (xml.readNextStartElement()) {
                if (isW(xml, QLatin1String("tab")) && wAttr(xml, QLatin1String("val")) != QLatin1String("clear")) {
                    if (const auto pos = twipsToPoints(wAttr(xml, QLatin1String("pos"))); pos && tabs.size() < 64)
                        tabs.append(*pos);
                }
                xml.skipCurrentElement();
            }
            std::sort(tabs.begin(), tabs.end());
            p.tabs = tabs;
            continue;
        } else if (isW(xml, QLatin1String("numPr"))) {
            while (xml.readNextStartElement()) {
                bool ok = false;
                const int v = wAttr(xml, QLatin1String("val")).toInt(&ok);
                if (ok && isW(xml, QLatin1String("numId")))
                    p.numId = v;
                else if (ok && isW(xml, QLatin1String("ilvl")))
                    p.ilvl = std::clamp(v, 0, 8);
                xml.skipCurrentElement();
            }
            continue;
        } else if (isW(xml, QLatin1String("rPr"))) {
            const RunProps r = readRunProps(xml);
            if (markRun)
                *markRun = r;
            continue;
        } else if (onSection && isW(xml, QLatin1String("sectPr"))) {
            onSection();
            continue;
        }
        xml.skipCurrentElement();
    }
    return p;
}

// ---- styles.xml and the theme -------------------------------------------

void Styles::read(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement())
        return;
    while (xml.readNextStartElement()) {
        if (isW(xml, QLatin1String("docDefaults"))) {
            while (xml.readNextStartElement()) {
                const bool run = isW(xml, QLatin1String("rPrDefault"));
                const bool para = isW(xml, QLatin1String("pPrDefault"));
                while (xml.readNextStartElement()) {
                    if (run && isW(xml, QLatin1String("rPr")))
                        m_defaultRun = readRunProps(xml);
                    else if (para && isW(xml, QLatin1String("pPr")))
                        m_defaultPara = readParaProps(xml);
                    else
                        xml.skipCurrentElement();
                }
            }
        } else if (isW(xml, QLatin1String("style")) && m_styles.size() < 10000) {
            Style s;
            s.type = wAttr(xml, QLatin1String("type")).toString();
            const QString id = wAttr(xml, QLatin1String("styleId")).toString();
            const QStringView def = wAttr(xml, QLatin1String("default"));
            if (s.type == QLatin1String("paragraph") && (def == QLatin1String("1") || def == QLatin1String("true")))
                m_defaultParagraphStyle = id;
            while (xml.readNextStartElement()) {
                if (isW(xml, QLatin1String("basedOn"))) {
                    s.basedOn = wAttr(xml, QLatin1String("val")).toString();
                    xml.skipCurrentElement();
                } else if (isW(xml, QLatin1String("pPr"))) {
                    s.para = readParaProps(xml);
                } else if (isW(xml, QLatin1String("rPr"))) {
                    s.run = readRunProps(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (!id.isEmpty())
                m_styles.insert(id, s);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void Styles::readTheme(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    QString current;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.namespaceUri() != ns::a)
            continue;
        if (xml.name() == QLatin1String("majorFont") || xml.name() == QLatin1String("minorFont"))
            current = xml.name().toString();
        else if (xml.name() == QLatin1String("latin") && !current.isEmpty()) {
            const QString face = xml.attributes().value(QLatin1String("typeface")).toString();
            (current == QLatin1String("majorFont") ? m_majorFont : m_minorFont) = face;
            current.clear();
        }
    }
}

QString Styles::themeFamily(const QString& themeFont) const
{
    return themeFont.startsWith(QLatin1String("major")) ? m_majorFont : m_minorFont;
}

const Styles::Style* Styles::find(const QString& id, const QString& type) const
{
    const auto it = m_styles.constFind(id);
    return it != m_styles.constEnd() && it->type == type ? &*it : nullptr;
}

QList<const Styles::Style*> Styles::chain(const QString& id, const QString& type, bool orDefault) const
{
    QList<const Style*> out;
    const Style* s = find(id, type);
    if (!s && orDefault)
        s = find(m_defaultParagraphStyle, type);
    while (s && out.size() < kMaxStyleChain && !out.contains(s)) {
        out.prepend(s);
        s = find(s->basedOn, type);
    }
    return out;
}

ParaProps Styles::paragraph(const QString& styleId) const
{
    ParaProps p = m_defaultPara;
    for (const Style* st : chain(styleId, QStringLiteral("paragraph"), true))
        p.overlay(st->para);
    return p;
}

RunProps Styles::paragraphRun(const QString& styleId) const
{
    RunProps r = m_defaultRun;
    for (const Style* st : chain(styleId, QStringLiteral("paragraph"), true))
        r.overlay(st->run);
    return r;
}

RunProps Styles::characterRun(const QString& styleId) const
{
    RunProps r;
    for (const Style* st : chain(styleId, QStringLiteral("character"), false))
        r.overlay(st->run);
    return r;
}

// ---- numbering.xml ----------------------------------------------------

void Numbering::read(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement())
        return;
    while (xml.readNextStartElement()) {
        if (isW(xml, QLatin1String("abstractNum")) && m_abstracts.size() < 10000) {
            const QString id = wAttr(xml, QLatin1String("abstractNumId")).toString();
            Abstract a;
            a.levels.resize(9);
            while (xml.readNextStartElement()) {
                if (!isW(xml, QLatin1String("lvl"))) {
                    xml.skipCurrentElement();
                    continue;
                }
                bool ok = false;
                const int ilvl = wAttr(xml, QLatin1String("ilvl")).toInt(&ok);
                Level level;
                while (xml.readNextStartElement()) {
                    if (isW(xml, QLatin1String("numFmt"))) {
                        level.format = wAttr(xml, QLatin1String("val")).toString();
                    } else if (isW(xml, QLatin1String("lvlText"))) {
                        level.text = wAttr(xml, QLatin1String("val")).left(64).toString();
                    } else if (isW(xml, QLatin1String("start"))) {
                        level.start = std::clamp(wAttr(xml, QLatin1String("val")).toInt(), 0, 1000000);
                    } else if (isW(xml, QLatin1String("pPr"))) {
                        const ParaProps pp = readParaProps(xml);
                        level.left = pp.left;
                        level.firstLine = pp.firstLine;
                        continue;
                    }
                    xml.skipCurrentElement();
                }
                if (ok && ilvl >= 0 && ilvl < 9)
                    a.levels[ilvl] = level;
            }
            m_abstracts.insert(id, a);
        } else if (isW(xml, QLatin1String("num")) && m_nums.size() < 10000) {
            bool ok = false;
            const int numId = wAttr(xml, QLatin1String("numId")).toInt(&ok);
            Num num;
            while (xml.readNextStartElement()) {
                if (isW(xml, QLatin1String("abstractNumId"))) {
                    num.abstractId = wAttr(xml, QLatin1String("val")).toString();
                } else if (isW(xml, QLatin1String("lvlOverride"))) {
                    const int ilvl = wAttr(xml, QLatin1String("ilvl")).toInt();
                    while (xml.readNextStartElement()) {
                        if (isW(xml, QLatin1String("startOverride")))
                            num.startOverride.insert(ilvl, std::clamp(wAttr(xml, QLatin1String("val")).toInt(), 0, 1000000));
                        xml.skipCurrentElement();
                    }
                    continue;
                }
                xml.skipCurrentElement();
            }
            if (ok)
                m_nums.insert(numId, num);
        } else {
            xml.skipCurrentElement();
        }
    }
}

std::optional<Numbering::Marker> Numbering::next(int numId, int level)
{
    const auto num = m_nums.constFind(numId);
    if (num == m_nums.constEnd() || level < 0 || level > 8)
        return std::nullopt;
    const auto abs = m_abstracts.constFind(num->abstractId);
    if (abs == m_abstracts.constEnd())
        return std::nullopt;
    const Level& lvl = abs->levels.at(level);
    if (lvl.format == QLatin1String("none"))
        return std::nullopt;

    QList<int>& counters = m_counters[numId];
    if (counters.isEmpty())
        counters = QList<int>(9, 0);
    auto startOf = [&](int l) { return num->startOverride.value(l, abs->levels.at(l).start); };
    counters[level] = counters[level] == 0 ? startOf(level) : counters[level] + 1;
    for (int deeper = level + 1; deeper < 9; ++deeper)
        counters[deeper] = 0;

    Marker m;
    m.left = lvl.left.value_or(36.0 * (level + 1));
    m.firstLine = lvl.firstLine.value_or(-36.0);
    if (lvl.format == QLatin1String("bullet")) {
        m.kind = WPText::ListBullet;
        m.text = QString(WPText::kBullet);
        return m;
    }
    m.kind = WPText::ListNumber;
    QString text = lvl.text;
    if (text.isEmpty())
        text = QLatin1Char('%') + QString::number(level + 1) + QLatin1Char('.');
    for (int l = 0; l <= level; ++l) {
        const int value = counters[l] == 0 ? startOf(l) : counters[l];
        text.replace(QStringLiteral("%") + QString::number(l + 1), formatNumber(value, abs->levels.at(l).format));
    }
    m.text = text;
    return m;
}

} // namespace Docx
