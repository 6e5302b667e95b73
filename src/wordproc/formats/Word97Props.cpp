#include "wordproc/formats/Word97Props.h"

#include <algorithm>

namespace Word97Props {

using namespace Word97Format;

namespace {

constexpr qsizetype kMaxRuns = 4'000'000;
constexpr int kMaxStyles = 4095;

int s16(const QByteArray& b, qint64 at)
{
    return qint16(le16(b, at));
}

int u8(const QByteArray& b, qint64 at)
{
    return at >= 0 && at < b.size() ? quint8(b[at]) : 0;
}

QColor icoColor(int ico)
{
    if (ico <= 0 || ico > 16)
        return QColor();
    return QColor::fromRgb(kIcoColors[ico]);
}

// A COLORREF: red, green, blue and a flag byte; 0xFF000000 is automatic.
QColor colorRef(quint32 v)
{
    if (v >> 24 == 0xFF)
        return QColor();
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// A toggle property: 0 off, 1 on, 0x80 as the style, 0x81 the style's opposite.
bool toggle(int operand, bool style)
{
    switch (operand) {
    case 0: return false;
    case 1: return true;
    case 0x80: return style;
    case 0x81: return !style;
    default: return operand != 0;
    }
}

// An old 16-bit shading: foreground and background colour indexes and a pattern.
QColor shade80(quint16 v)
{
    const int back = (v >> 5) & 0x1F;
    const int pattern = v >> 10;
    if (pattern == 0)
        return icoColor(back);
    if (pattern == 1)
        return icoColor(v & 0x1F);
    return QColor();
}

QColor shade(const QByteArray& o, qsizetype at)
{
    const quint32 back = le32(o, at + 4);
    const int pattern = le16(o, at + 8);
    if (pattern == 0)
        return colorRef(back);
    if (pattern == 1)
        return colorRef(le32(o, at));
    return QColor();
}

void readTableDefinition(Tap& tap, const QByteArray& o)
{
    const int cells = std::min(u8(o, 0), 63);
    if (o.size() < 1 + 2 * (cells + 1))
        return;
    tap.edges.clear();
    tap.flags.clear();
    for (int i = 0; i <= cells; ++i)
        tap.edges.append(s16(o, 1 + 2 * i));
    const qsizetype tcs = 1 + 2 * (cells + 1);
    for (int i = 0; i < cells; ++i)
        tap.flags.append(tcs + kTcSize * (i + 1) <= o.size() ? le16(o, tcs + kTcSize * i) : 0);
}

} // namespace

void applyChp(Chp& c, const QByteArray& grpprl, const Chp& style)
{
    forEachSprm(grpprl, [&](quint16 sprm, const QByteArray& o) {
        switch (sprm) {
        case sprmCFBold: c.bold = toggle(u8(o, 0), style.bold); break;
        case sprmCFItalic: c.italic = toggle(u8(o, 0), style.italic); break;
        case sprmCFStrike: c.strike = toggle(u8(o, 0), style.strike); break;
        case sprmCFDStrike: c.doubleStrike = toggle(u8(o, 0), style.doubleStrike); break;
        case sprmCFVanish: c.vanish = toggle(u8(o, 0), style.vanish); break;
        case sprmCKul: c.underline = u8(o, 0); break;
        case sprmCIco: c.color = icoColor(u8(o, 0)); break;
        case sprmCCv: c.color = colorRef(le32(o, 0)); break;
        case sprmCHps: c.hps = std::clamp(int(le16(o, 0)), 2, 3276); break;
        case sprmCRgFtc0: c.font = le16(o, 0); break;
        case 0x4A3D: // the font of old files
            if (c.font < 0)
                c.font = le16(o, 0);
            break;
        case sprmCHighlight: c.highlight = icoColor(u8(o, 0)); break;
        case sprmCShd: c.shade = shade(o, 0); break;
        case 0x4866: c.shade = shade80(le16(o, 0)); break; // old shading
        case sprmCIss: c.iss = u8(o, 0); break;
        case sprmCFSpec: c.special = u8(o, 0) != 0; break;
        case sprmCPicLocation: c.picture = le32(o, 0); break;
        case sprmCFData: c.data = u8(o, 0) != 0; break;
        case sprmCFOle2: c.ole2 = u8(o, 0) != 0; break;
        default: break;
        }
    });
}

void applyPap(Pap& p, const QByteArray& grpprl)
{
    forEachSprm(grpprl, [&](quint16 sprm, const QByteArray& o) {
        switch (sprm) {
        case sprmPJc80:
        case sprmPJc: p.jc = u8(o, 0); break;
        case sprmPDxaLeft80:
        case sprmPDxaLeft: p.left = s16(o, 0); break;
        case sprmPDxaLeft180:
        case sprmPDxaLeft1: p.firstLine = s16(o, 0); break;
        case sprmPDxaRight80:
        case sprmPDxaRight: p.right = s16(o, 0); break;
        case sprmPDyaBefore: p.before = le16(o, 0); break;
        case sprmPDyaAfter: p.after = le16(o, 0); break;
        case sprmPDyaLine:
            p.line = s16(o, 0);
            p.multipleLine = le16(o, 2) != 0;
            break;
        case sprmPChgTabsPapx:
        case sprmPChgTabs: {
            const int deleted = u8(o, 0);
            for (int i = 0; i < deleted; ++i) {
                const int at = s16(o, 1 + 2 * i);
                p.tabs.removeIf([at](const Tab& t) { return t.position == at; });
            }
            // The change of an old file also carries a tolerance per deleted stop.
            const qsizetype addAt = 1 + qsizetype(deleted) * (sprm == sprmPChgTabs ? 4 : 2);
            const int added = std::min(u8(o, addAt), 64);
            if (addAt + 1 + 3 * added > o.size())
                break;
            for (int i = 0; i < added; ++i) {
                Tab t{s16(o, addAt + 1 + 2 * i), u8(o, addAt + 1 + 2 * added + i) & 0x07};
                p.tabs.removeIf([&t](const Tab& x) { return x.position == t.position; });
                p.tabs.append(t);
            }
            std::sort(p.tabs.begin(), p.tabs.end(), [](const Tab& a, const Tab& b) { return a.position < b.position; });
            break;
        }
        case sprmPFInTable: p.inTable = u8(o, 0) != 0; break;
        case sprmPFTtp: p.rowEnd = u8(o, 0) != 0; break;
        case sprmPItap: p.itap = int(std::min<quint32>(le32(o, 0), 64)); break;
        case 0x6648: p.itap = std::clamp(p.itap + int(qint32(le32(o, 0))), 0, 64); break; // depth change
        case sprmPFInnerTableCell: p.innerCell = u8(o, 0) != 0; break;
        case sprmPFInnerTtp: p.innerRowEnd = u8(o, 0) != 0; break;
        case sprmPIlfo: p.ilfo = s16(o, 0); break;
        case sprmPIlvl: p.ilvl = std::min(u8(o, 0), 8); break;
        case sprmPHugePapx:
        case 0x6645: p.hugePapx = le32(o, 0); break;
        case sprmTDefTable: readTableDefinition(p.tap, o); break;
        case sprmTDefTableShd80:
            p.tap.shades.clear();
            for (qsizetype i = 0; i + 2 <= o.size() && i < 2 * 63; i += 2)
                p.tap.shades.append(shade80(le16(o, i)));
            break;
        case sprmTDefTableShd:
            p.tap.shades.clear();
            for (qsizetype i = 0; i + 10 <= o.size(); i += 10)
                p.tap.shades.append(shade(o, i));
            break;
        default: break;
        }
    });
}

// ---- style sheet ----------------------------------------------------------

StyleSheet::StyleSheet(const QByteArray& s)
{
    const int header = le16(s, 0);
    const int count = std::min<int>(le16(s, 2), kMaxStyles);
    const int baseSize = le16(s, 4);
    m_default.chp.font = le16(s, 2 + 12);
    struct Raw {
        int kind = 0;
        int base = 0xFFF;
        QByteArray papx;
        QByteArray chpx;
    };
    QList<std::optional<Raw>> raw;
    qint64 pos = 2 + header;
    for (int i = 0; i < count && pos + 2 <= s.size(); ++i) {
        const int size = le16(s, pos);
        const QByteArray e = s.mid(pos + 2, size);
        pos += 2 + size;
        if (size == 0 || e.size() < 10 || baseSize < 10) {
            raw.append(std::nullopt);
            continue;
        }
        Raw r;
        r.kind = le16(e, 2) & 0xF;
        r.base = le16(e, 2) >> 4;
        const int upxCount = std::min(le16(e, 4) & 0xF, 3);
        qint64 at = baseSize;
        at += 2 + 2 * qint64(le16(e, at)) + 2; // the name and its terminator
        for (int u = 0; u < upxCount && at + 2 <= e.size(); ++u) {
            if (at % 2)
                ++at;
            const int cb = le16(e, at);
            const QByteArray upx = e.mid(at + 2, cb);
            at += 2 + cb;
            if (r.kind == 1 && u == 0)
                r.papx = upx.mid(2); // after the style index
            else if ((r.kind == 1 && u == 1) || (r.kind == 2 && u == 0))
                r.chpx = upx;
        }
        raw.append(r);
    }
    // Resolve each style over its bases (at most 11 deep, as files allow).
    m_styles.resize(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (!raw[i])
            continue;
        QList<qsizetype> chain;
        for (qsizetype k = i; k >= 0 && k < raw.size() && raw[k] && chain.size() < 11 && !chain.contains(k);
             k = raw[k]->base)
            chain.prepend(k);
        Style st = m_default;
        st.kind = raw[i]->kind;
        for (qsizetype k : std::as_const(chain)) {
            applyPap(st.pap, raw[k]->papx);
            const Chp base = st.chp;
            applyChp(st.chp, raw[k]->chpx, base);
            if (st.kind == 2 && raw[k]->kind == 2)
                st.chpx += raw[k]->chpx;
        }
        st.pap.istd = int(i);
        m_styles[i] = st;
    }
}

void StyleSheet::applyCharacterStyle(Chp& chp, const QByteArray& grpprl) const
{
    int istd = -1;
    forEachSprm(grpprl, [&istd](quint16 sprm, const QByteArray& o) {
        if (sprm == sprmCIstd)
            istd = le16(o, 0);
    });
    if (istd <= 0 || istd >= m_styles.size() || !m_styles[istd] || m_styles[istd]->kind != 2)
        return;
    const Chp base = chp;
    applyChp(chp, m_styles[istd]->chpx, base);
}

const Style& StyleSheet::style(int istd) const
{
    if (istd >= 0 && istd < m_styles.size() && m_styles[istd])
        return *m_styles[istd];
    if (!m_styles.isEmpty() && m_styles[0])
        return *m_styles[0];
    return m_default;
}

// ---- formatted disk pages ---------------------------------------------------

FkpRuns::FkpRuns(const QByteArray& word, const QByteArray& bin, bool paragraphs)
{
    const qsizetype pages = bin.size() >= 4 ? (bin.size() - 4) / 8 : 0;
    for (qsizetype i = 0; i < pages && m_runs.size() < kMaxRuns; ++i) {
        const quint32 pn = le32(bin, 4 * (pages + 1) + 4 * i) & 0x3FFFFF;
        const QByteArray page = word.mid(qint64(pn) * 512, 512);
        if (page.size() < 512)
            continue;
        const int count = u8(page, 511);
        const int entry = paragraphs ? 13 : 1;
        if (4 * (count + 1) + entry * count > 511)
            continue;
        for (int k = 0; k < count; ++k) {
            FkpRun r;
            r.fcStart = le32(page, 4 * k);
            r.fcEnd = le32(page, 4 * (k + 1));
            const int offset = 2 * u8(page, 4 * (count + 1) + entry * k);
            if (offset > 0) {
                if (!paragraphs) {
                    r.grpprl = page.mid(offset + 1, u8(page, offset));
                } else {
                    const int cb = u8(page, offset);
                    if (cb == 0)
                        r.grpprl = page.mid(offset + 2, 2 * u8(page, offset + 1));
                    else
                        r.grpprl = page.mid(offset + 1, 2 * cb - 1);
                }
            }
            if (r.fcEnd > r.fcStart)
                m_runs.append(r);
        }
    }
    std::stable_sort(m_runs.begin(), m_runs.end(),
                     [](const FkpRun& a, const FkpRun& b) { return a.fcStart < b.fcStart; });
}

const QByteArray& FkpRuns::at(quint32 fc) const
{
    static const QByteArray none;
    if (m_runs.isEmpty())
        return none;
    if (m_last < m_runs.size() && m_runs[m_last].fcStart <= fc && fc < m_runs[m_last].fcEnd)
        return m_runs[m_last].grpprl;
    if (m_last + 1 < m_runs.size() && m_runs[m_last + 1].fcStart <= fc && fc < m_runs[m_last + 1].fcEnd) {
        ++m_last;
        return m_runs[m_last].grpprl;
    }
    auto it = std::upper_bound(m_runs.begin(), m_runs.end(), fc,
                               [](quint32 v, const FkpRun& r) { return v < r.fcStart; });
    if (it == m_runs.begin())
        return none;
    --it;
    if (fc >= it->fcEnd)
        return none;
    m_last = it - m_runs.begin();
    return it->grpprl;
}

} // namespace Word97Props
