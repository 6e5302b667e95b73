// Reading Word 97 to 2003 binary documents: the main text from the piece
// table with its character and paragraph properties, tables with merged
// cells, inline pictures, list numbers as literal text, footnotes and
// endnotes after the body, text-box text at its anchor, the default header
// and footer, and the page setup. Every structure is checked against the
// bytes at hand; a damaged part is left out rather than trusted.
#include "wordproc/formats/Word97.h"

#include "wordproc/WPTextModel.h"
#include "wordproc/formats/CodePage.h"
#include "wordproc/formats/CompoundFile.h"
#include "wordproc/formats/FieldCode.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Word97Format.h"
#include "wordproc/formats/Word97Layout.h"
#include "wordproc/formats/Word97Parts.h"
#include "wordproc/formats/Word97Props.h"
#include "wordproc/formats/Word97Reader.h"
#include "wordproc/formats/Word97Summary.h"

#include <QHash>
#include <QTextDocument>
#include <functional>

namespace Word97 {

using namespace Word97Format;
using namespace Word97Props;
using WPTextModel::Paragraph;
using WPTextModel::Run;
using Layout::RawRow;
using Layout::makeTable;
using Layout::modelParagraph;
using detail::Reader;
constexpr quint32 kMaxChars = Reader::kMaxChars;

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

namespace detail {

Reader::Reader(const CompoundFile& file, const QByteArray& word, const QByteArray& table)
    : m_file(file)
    , m_word(word)
    , m_table(table)
{
    m_data = file.stream(QStringLiteral("Data")).value_or(QByteArray());
    m_styles = StyleSheet(structure(Stshf));
    m_chpx = FkpRuns(word, structure(PlcfBteChpx), false);
    m_papx = FkpRuns(word, structure(PlcfBtePapx), true);
    readFonts();
    readLists();
}

QByteArray Reader::structure(int index) const
{
    const quint32 fc = le32(m_word, fcOffset(index));
    const quint32 lcb = le32(m_word, fcOffset(index) + 4);
    if (lcb == 0 || qint64(fc) + lcb > m_table.size())
        return {};
    return m_table.mid(fc, lcb);
}

bool Reader::readPieces(quint32 total)
{
    const QByteArray clx = structure(Clx);
    qint64 pos = 0;
    // Property modifiers for pieces (Prc) come before the piece table.
    while (pos < clx.size() && clx[pos] == 0x01) {
        const int size = qint16(le16(clx, pos + 1));
        if (size < 0 || pos + 3 + size > clx.size())
            return false;
        if (m_prcs.size() < 0x7FFF)
            m_prcs.append(clx.mid(pos + 3, size));
        pos += 3 + size;
    }
    if (pos + 5 > clx.size() || clx[pos] != 0x02)
        return false;
    const quint32 lcb = le32(clx, pos + 1);
    const QByteArray plc = clx.mid(pos + 5, lcb);
    if (plc.size() < 16 || quint32(plc.size()) != lcb)
        return false;
    const qint64 count = (plc.size() - 4) / 12;
    for (qint64 i = 0; i < count && quint32(m_text.size()) < total; ++i) {
        Piece p;
        p.cpStart = le32(plc, 4 * i);
        p.cpEnd = le32(plc, 4 * (i + 1));
        if (p.cpEnd <= p.cpStart || p.cpStart != quint32(m_text.size()))
            continue;
        const quint32 n = std::min(p.cpEnd - p.cpStart, total - quint32(m_text.size()));
        p.cpEnd = p.cpStart + n;
        const quint32 fc = le32(plc, 4 * (count + 1) + 8 * i + 2);
        p.prm = le16(plc, 4 * (count + 1) + 8 * i + 6);
        p.compressed = fc & 0x40000000;
        if (p.compressed) {
            p.fc = (fc & ~0x40000000u) / 2;
            if (qint64(p.fc) + n > m_word.size())
                return false;
            m_text += CodePage::decode(m_word.mid(p.fc, n), 1252);
        } else {
            p.fc = fc;
            if (qint64(fc) + 2 * qint64(n) > m_word.size())
                return false;
            m_text.reserve(m_text.size() + n);
            for (quint32 k = 0; k < n; ++k)
                m_text += QChar(le16(m_word, qint64(fc) + 2 * k));
        }
        m_text.resize(p.cpEnd); // a code page may decode to more or fewer units
        m_pieces.append(p);
    }
    return !m_pieces.isEmpty();
}

std::optional<quint32> Reader::fcOf(quint32 cp, const Piece** piece) const
{
    auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), cp,
                               [](quint32 v, const Piece& p) { return v < p.cpStart; });
    if (it == m_pieces.begin())
        return std::nullopt;
    --it;
    if (cp >= it->cpEnd)
        return std::nullopt;
    if (piece)
        *piece = &*it;
    return it->fc + (cp - it->cpStart) * (it->compressed ? 1 : 2);
}

Pap Reader::papAt(quint32 cp) const
{
    const Piece* piece = nullptr;
    const std::optional<quint32> fc = fcOf(cp, &piece);
    if (!fc)
        return m_styles.normal().pap;
    const QByteArray& g = m_papx.at(*fc);
    Pap pap = m_styles.style(le16(g, 0)).pap;
    applyPap(pap, g.mid(2));
    if (pap.hugePapx >= 0 && pap.hugePapx + 2 <= m_data.size()) {
        const qint64 at = pap.hugePapx;
        pap.hugePapx = -1;
        applyPap(pap, m_data.mid(at + 2, le16(m_data, at)));
    }
    if (piece && (piece->prm & 1) && (piece->prm >> 1) < m_prcs.size())
        applyPap(pap, m_prcs[piece->prm >> 1]);
    return pap;
}

Chp Reader::chpAt(quint32 cp, const Chp& style, int istd) const
{
    const Piece* piece = nullptr;
    const std::optional<quint32> fc = fcOf(cp, &piece);
    if (!fc)
        return style;
    const QByteArray& direct = m_chpx.at(*fc);
    // Neighbouring characters mostly share their modifiers: reuse the last
    // result while the modifiers, the piece and the paragraph style agree.
    if (m_chpCache.valid && m_chpCache.direct == &direct && m_chpCache.piece == piece && m_chpCache.istd == istd)
        return m_chpCache.chp;
    Chp chp = style;
    m_styles.applyCharacterStyle(chp, direct);
    applyChp(chp, direct, style);
    if (piece && (piece->prm & 1) && (piece->prm >> 1) < m_prcs.size())
        applyChp(chp, m_prcs[piece->prm >> 1], style);
    m_chpCache = {true, &direct, piece, istd, chp};
    return chp;
}

Run Reader::runOf(const Chp& c) const
{
    Run r;
    r.family = m_fonts.value(c.font);
    r.pointSize = c.hps / 2.0;
    r.bold = c.bold;
    r.italic = c.italic;
    switch (c.underline) {
    case 0: r.underline = WPText::StyleNone; break;
    case 3: r.underline = WPText::StyleDouble; break;
    case 6: r.underline = WPText::StyleThick; break;
    default: r.underline = WPText::StyleSingle; break;
    }
    r.strike = c.doubleStrike ? WPText::StyleDouble : c.strike ? WPText::StyleSingle : WPText::StyleNone;
    r.baseline = c.iss == 1 || c.iss == 2 ? c.iss : 0;
    r.foreground = c.color;
    r.background = c.highlight.isValid() ? c.highlight : c.shade;
    return r;
}

QList<RawParagraph> Reader::story(quint32 from, quint32 to, Story kind)
{
    QList<RawParagraph> out;
    to = std::min<quint32>(to, quint32(m_text.size()));
    QList<Field> fields;
    quint32 cp = from;
    while (cp < to) {
        // The paragraph's extent: up to and including its mark.
        quint32 end = cp;
        while (end < to) {
            const ushort c = m_text.at(end).unicode();
            if (c == 0x0D || c == 0x07 || c == 0x0C || c == 0x0E)
                break;
            ++end;
        }
        RawParagraph para;
        para.pap = papAt(std::min(end, to - 1));
        para.mark = end < to ? m_text.at(end) : QChar(0x0D);
        const Chp style = m_styles.style(para.pap.istd).chp;
        Run current;
        bool open = false;
        // After a text box, the paragraph's text goes on on a line of its own.
        bool breakAfterBox = false;
        Run breakFormat;
        std::function<void(const Run&, const QString&)> append = [&](const Run& format, const QString& text) {
            if (breakAfterBox) {
                breakAfterBox = false;
                if (text != QString(QChar::LineSeparator))
                    append(breakFormat, QString(QChar::LineSeparator));
            }
            if (open && current.sameFormat(format) && !current.picture) {
                current.text += text;
                return;
            }
            if (open)
                para.paragraph.runs.append(current);
            current = format;
            current.text = text;
            open = true;
        };
        for (; cp < end; ++cp) {
            const QChar ch = m_text.at(cp);
            const ushort u = ch.unicode();
            if (u == 0x13) {
                if (fields.size() < 32)
                    fields.append(Field());
                continue;
            }
            if (u == 0x14 || u == 0x15) {
                if (fields.isEmpty())
                    continue;
                Field& f = fields.last();
                if (u == 0x14 && !f.inResult) {
                    f.inResult = true;
                    const QString code = f.code.simplified();
                    const QString word = code.section(QLatin1Char(' '), 0, 0).toUpper();
                    if (word == QLatin1String("HYPERLINK")) {
                        f.href = FieldCode::hyperlinkTarget(code);
                    } else if (kind == Story::Header && word == QLatin1String("PAGE")) {
                        f.replacement = QStringLiteral("{page}");
                    } else if (kind == Story::Header
                               && (word == QLatin1String("NUMPAGES") || word == QLatin1String("SECTIONPAGES"))) {
                        f.replacement = QStringLiteral("{pages}");
                    } else if (word == QLatin1String("EMBED")) {
                        ++m_notKept[code.contains(QLatin1String("Chart"), Qt::CaseInsensitive)
                                        ? QStringLiteral("chart") : QStringLiteral("embedded object")];
                    }
                    if (!f.replacement.isEmpty())
                        append(runOf(chpAt(cp, style, para.pap.istd)), f.replacement);
                    continue;
                }
                if (u == 0x15) {
                    const Field done = fields.takeLast();
                    if (!done.inResult || done.sawPicture)
                        continue;
                    if (done.code.simplified().startsWith(QLatin1String("INCLUDEPICTURE"), Qt::CaseInsensitive))
                        ++m_notKept[QStringLiteral("linked picture")];
                }
                continue;
            }
            bool visible = true;
            QString href;
            for (Field& f : fields) {
                if (!f.inResult) {
                    if (f.code.size() < 4096)
                        f.code += ch;
                    visible = false;
                    break;
                }
                if (!f.replacement.isEmpty())
                    visible = false;
                if (!f.href.isEmpty())
                    href = f.href;
            }
            if (!visible)
                continue;
            const Chp chp = chpAt(cp, style, para.pap.istd);
            if (chp.vanish)
                continue;
            Run format = runOf(chp);
            if (!href.isEmpty()) {
                format.link = true;
                format.href = href;
            }
            switch (u) {
            case 0x01:
                if (chp.special && chp.picture >= 0 && !chp.data && !chp.ole2 && kind != Story::Header) {
                    if (std::optional<WPTextModel::Picture> pic = Parts::readPicture(m_data, chp.picture)) {
                        Run r = format;
                        r.text = QString(QChar::ObjectReplacementCharacter);
                        r.picture = std::move(*pic);
                        if (open)
                            para.paragraph.runs.append(current);
                        para.paragraph.runs.append(r);
                        open = false;
                        for (Field& f : fields)
                            f.sawPicture = true;
                    }
                }
                break;
            case 0x02:
                if (m_noteLabels.contains(cp)) {
                    format.baseline = 1;
                    append(format, m_noteLabels.value(cp));
                }
                break;
            case 0x08:
                if (kind == Story::Main && m_textBoxes.contains(cp) && m_depth == 0) {
                    // The box's text where it is anchored, its paragraphs as lines.
                    const auto [boxFrom, boxTo] = m_textBoxes.value(cp);
                    ++m_depth;
                    QList<RawParagraph> box = story(boxFrom, boxTo, Story::TextBox);
                    --m_depth;
                    while (!box.isEmpty() && box.last().paragraph.runs.isEmpty())
                        box.removeLast();
                    // The box's paragraphs as lines of their own.
                    for (qsizetype i = 0; i < box.size(); ++i) {
                        if (i > 0 || open || !para.paragraph.runs.isEmpty())
                            append(runOf(chp), QString(QChar::LineSeparator));
                        for (const Run& r : box[i].paragraph.runs)
                            append(r, r.text);
                    }
                    if (!box.isEmpty()) {
                        breakAfterBox = true;
                        breakFormat = runOf(chp);
                    }
                } else if (kind == Story::Main) {
                    ++m_notKept[QStringLiteral("drawing")];
                }
                break;
            case 0x09: append(format, QStringLiteral("\t")); break;
            case 0x0B: append(format, QString(QChar::LineSeparator)); break;
            case 0x1E: append(format, QString(QChar(0x2011))); break;
            case 0x1F: append(format, QString(QChar(0x00AD))); break;
            default:
                if (u >= 0x20)
                    append(format, QString(ch));
                else if (m_noteLabels.contains(cp)) { // a note mark of the author's own
                    format.baseline = 1;
                    append(format, m_noteLabels.value(cp));
                }
                break;
            }
        }
        if (open)
            para.paragraph.runs.append(current);
        out.append(para);
        if (out.size() >= 4'000'000)
            break;
        cp = end + 1;
    }
    return out;
}

void Reader::put(WPTextModel::Builder& builder, const QList<RawParagraph>& paragraphs)
{
    // The tables open around the paragraph being read: the outermost first,
    // each with its finished rows, its open row and its open cell.
    struct Level {
        QList<RawRow> rows;
        RawRow row;
        QList<Paragraph> cell;
    };
    QList<Level> open;
    auto closeLevel = [&] {
        Level level = open.takeLast();
        if (!level.cell.isEmpty())
            level.row.cells.append(level.cell);
        if (!level.row.cells.isEmpty())
            level.rows.append(level.row);
        if (level.rows.isEmpty())
            return;
        if (open.isEmpty()) {
            builder.addTable(makeTable(level.rows));
            return;
        }
        // A table inside a cell: the cell around it holds it.
        Paragraph holder;
        holder.table = std::make_shared<const WPTextModel::Table>(makeTable(level.rows));
        open.last().cell.append(std::move(holder));
    };
    bool tooDeep = false;
    for (const RawParagraph& raw : paragraphs) {
        const int wanted = raw.pap.itap > 0 ? raw.pap.itap : raw.pap.inTable ? 1 : 0;
        // Tables deeper than the editor keeps give their text to the cell
        // around them.
        const int depth = std::min(wanted, WPTextModel::kMaxTableNesting);
        if (wanted > depth && !tooDeep)
            ++m_notKept[QStringLiteral("deeply nested table")];
        tooDeep = wanted > depth;
        while (open.size() > depth)
            closeLevel();
        if (depth == 0) {
            Paragraph p = modelParagraph(raw.pap, raw.paragraph);
            addList(p, raw.pap);
            builder.addParagraph(p);
            continue;
        }
        while (open.size() < depth)
            open.append(Level());
        Level& level = open.last();
        const bool rowEnd = depth == 1 ? raw.pap.rowEnd : raw.pap.innerRowEnd;
        if (rowEnd) {
            if (tooDeep)
                continue;
            if (!level.cell.isEmpty())
                level.row.cells.append(level.cell);
            level.cell.clear();
            level.row.tap = raw.pap.tap;
            if (level.rows.size() < 100000)
                level.rows.append(level.row);
            level.row = RawRow();
            continue;
        }
        level.cell.append(modelParagraph(raw.pap, raw.paragraph));
        const bool cellEnd = raw.mark == QChar(0x07) || (depth > 1 && raw.pap.innerCell);
        if (cellEnd && !tooDeep) {
            if (level.row.cells.size() < 1000)
                level.row.cells.append(level.cell);
            level.cell.clear();
        }
    }
    while (!open.isEmpty())
        closeLevel();
}

void Reader::build(QTextDocument* into, WPDocAttributes* attributes)
{
    const quint32 ccpText = le32(m_word, kCcpText);
    const quint32 ccpFtn = le32(m_word, kCcpFtn);
    const quint32 ccpHdd = le32(m_word, kCcpHdd);
    const quint32 ccpMcr = le32(m_word, kCcpMcr);
    const quint32 ccpAtn = le32(m_word, kCcpAtn);
    const quint32 ccpEdn = le32(m_word, kCcpEdn);
    const quint64 headerBase = quint64(ccpText) + ccpFtn;
    const quint64 endnoteBase = headerBase + ccpHdd + ccpMcr + ccpAtn;
    const quint64 boxBase = endnoteBase + ccpEdn;
    if (ccpFtn > 0)
        readNotes(PlcffndRef, PlcffndTxt, ccpText, false);
    if (ccpEdn > 0 && endnoteBase < kMaxChars)
        readNotes(PlcfendRef, PlcfendTxt, quint32(endnoteBase), true);
    if (boxBase < kMaxChars)
        readTextBoxes(quint32(boxBase));
    const QByteArray comments = structure(PlcfandRef);
    if (ccpAtn > 0 && comments.size() >= 4 + 34)
        m_notKept[QStringLiteral("comment")] += int((comments.size() - 4) / 34);

    into->clear();
    WPTextModel::Builder builder(into);
    put(builder, story(0, ccpText, Story::Main));
    if (!m_notes.isEmpty()) {
        // The notes follow the body under a line, in order.
        QList<RawParagraph> notes;
        for (const Note& n : std::as_const(m_notes))
            notes += story(n.from, n.to, Story::Note);
        builder.addParagraph(WPTextModel::noteSeparator());
        put(builder, notes);
    }

    *attributes = WPDocAttributes();
    const QByteArray sed = structure(PlcfSed);
    // The page setup is the first section's: the section descriptors
    // follow the n + 1 character positions of the n sections.
    const qint64 sections = (sed.size() - 4) / 16;
    if (sections >= 1) {
        const qint64 fcSepx = qint32(le32(sed, 4 * (sections + 1) + 2));
        // The defaults of a section with no modifiers: Letter, 1.25" by 1".
        int xa = 12240, ya = 15840, left = 1800, right = 1800, top = 1440, bottom = 1440;
        if (fcSepx >= 0 && fcSepx + 2 <= m_word.size()) {
            forEachSprm(m_word.mid(fcSepx + 2, le16(m_word, fcSepx)), [&](quint16 sprm, const QByteArray& o) {
                switch (sprm) {
                case sprmSXaPage: xa = le16(o, 0); break;
                case sprmSYaPage: ya = le16(o, 0); break;
                case sprmSDxaLeft: left = le16(o, 0); break;
                case sprmSDxaRight: right = le16(o, 0); break;
                case sprmSDyaTop: top = std::abs(qint16(le16(o, 0))); break;
                case sprmSDyaBottom: bottom = std::abs(qint16(le16(o, 0))); break;
                default: break;
                }
            });
        }
        attributes->paperSize = QSizeF(xa / 20.0, ya / 20.0);
        attributes->leftMargin = left / 20.0;
        attributes->rightMargin = right / 20.0;
        attributes->topMargin = top / 20.0;
        attributes->bottomMargin = bottom / 20.0;
    }
    const std::optional<QString> comment = Word97Summary::comment(
        m_file.stream(QStringLiteral("\x05SummaryInformation")).value_or(QByteArray()));
    if (comment && WPHeaderFooter::decode(*comment)) {
        attributes->comment = *comment;
    } else if (ccpHdd > 0) {
        // Another program's header and footer: the first section's default
        // ones, or its first-page ones when it has no default.
        const QByteArray hdd = structure(PlcfHdd);
        const qint64 cps = hdd.size() / 4;
        auto storyText = [&](int index) {
            if (index + 1 >= cps)
                return QString();
            const quint64 from = headerBase + le32(hdd, 4 * index);
            const quint64 to = headerBase + le32(hdd, 4 * (index + 1));
            return to > from && to <= kMaxChars ? plainStory(quint32(from), quint32(to)) : QString();
        };
        // Each section's stories: even and odd header, even and odd footer,
        // first-page header and footer.
        QString header = storyText(6 + 1);
        QString footer = storyText(6 + 3);
        WPHeaderFooter::countVariants(m_notKept, QStringLiteral("header"), header, storyText(6 + 4), storyText(6 + 0));
        WPHeaderFooter::countVariants(m_notKept, QStringLiteral("footer"), footer, storyText(6 + 5), storyText(6 + 2));
        if (header.isEmpty())
            header = storyText(6 + 4);
        if (footer.isEmpty())
            footer = storyText(6 + 5);
        if (auto record = WPHeaderFooter::encode(WPHeaderFooter::sanitize(header), WPHeaderFooter::sanitize(footer)))
            attributes->comment = *record;
    }
    attributes->notKept = m_notKept;
}

} // namespace detail

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    const QString damaged = QStringLiteral("The Word 97 document is damaged or of a kind that cannot be read.");
    const CompoundFile file(data);
    const std::optional<QByteArray> word = file.stream(QStringLiteral("WordDocument"));
    if (!word || word->size() < 0x1AA || le16(*word, 0) != kIdent)
        return fail(error, damaged);
    const quint16 flags = le16(*word, 0x0A);
    if (flags & 0x0100)
        return fail(error, QStringLiteral("The Word document is protected with a password."));
    const std::optional<QByteArray> table = file.stream((flags & 0x0200) ? QStringLiteral("1Table") : QStringLiteral("0Table"));
    if (!table)
        return fail(error, damaged);
    // Every story's characters: the main text, notes, headers, comments,
    // endnotes and text boxes, in that order.
    quint64 total = 0;
    for (int offset : {kCcpText, kCcpFtn, kCcpHdd, kCcpMcr, kCcpAtn, kCcpEdn, kCcpTxbx, kCcpTxbx + 4})
        total += le32(*word, offset);
    if (le32(*word, kCcpText) > kMaxChars)
        return fail(error, QStringLiteral("The document holds more text than the word processor opens (over %L1 "
                                          "characters), so it was not opened, to keep its reading under 300 MB of memory.")
                               .arg(kMaxChars));
    Reader reader(file, *word, *table);
    if (!reader.readPieces(quint32(std::min<quint64>(total + 1, kMaxChars))))
        return fail(error, damaged);
    WPDocAttributes local;
    reader.build(into, attributes ? attributes : &local);
    return true;
}

} // namespace Word97
