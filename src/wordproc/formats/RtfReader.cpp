// Reading RTF: a tokenizer over the bytes, a stack of group states, and the
// shared builder for paragraphs and tables.
#include "wordproc/formats/RtfReader.h"

#include "wordproc/WPText.h"
#include "wordproc/formats/CodePage.h"
#include "wordproc/formats/FormatSupport.h"

#include <QTextDocument>
#include <cmath>
#include <utility>

namespace Rtf {

namespace detail {

int charsetCodePage(int charset, int ansi)
{
    if (charset <= -1000)
        return -1000 - charset;
    switch (charset) {
    case 0: return ansi;
    case 2: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return ansi;
    }
}

const QHash<QByteArray, int>& wordTable()
{
    static const QHash<QByteArray, int> table = [] {
        QHash<QByteArray, int> t;
        const std::pair<const char*, int> entries[] = {
            {"rtf", W_rtf}, {"ansi", W_ansi}, {"mac", W_mac}, {"pc", W_pc}, {"pca", W_pca},
            {"ansicpg", W_ansicpg}, {"deff", W_deff}, {"uc", W_uc}, {"u", W_u},
            {"fonttbl", W_fonttbl}, {"f", W_f}, {"fcharset", W_fcharset}, {"cpg", W_cpg},
            {"colortbl", W_colortbl}, {"red", W_red}, {"green", W_green}, {"blue", W_blue},
            {"info", W_info}, {"doccomm", W_doccomm}, {"pict", W_pict}, {"pngblip", W_pngblip},
            {"jpegblip", W_jpegblip}, {"picwgoal", W_picwgoal}, {"pichgoal", W_pichgoal},
            {"picscalex", W_picscalex}, {"picscaley", W_picscaley}, {"bin", W_bin},
            {"shppict", W_shppict}, {"nonshppict", W_nonshppict}, {"NeXTGraphic", W_NeXTGraphic},
            {"width", W_width}, {"height", W_height},
            {"listtable", W_listtable}, {"listoverridetable", W_listoverridetable}, {"list", W_list},
            {"listlevel", W_listlevel}, {"levelnfc", W_levelnfc}, {"listid", W_listid},
            {"listoverride", W_listoverride}, {"ls", W_ls}, {"listtext", W_listtext},
            {"pntext", W_pntext}, {"pn", W_pn}, {"pnlvlblt", W_pnlvlblt}, {"pnlvlbody", W_pnlvlbody},
            {"pnlvlcont", W_pnlvlcont}, {"fldrslt", W_fldrslt},
            {"stylesheet", W_skipdest}, {"header", W_header}, {"headerl", W_headerl},
            {"headerr", W_header}, {"headerf", W_headerf}, {"footer", W_footer},
            {"footerl", W_footerl}, {"footerr", W_footer}, {"footerf", W_footerf},
            {"footnote", W_footnote}, {"annotation", W_annotation}, {"object", W_object},
            {"chftn", W_chftn}, {"chpgn", W_chpgn}, {"shpinst", W_shpinst}, {"shptxt", W_shptxt},
            {"clmgf", W_clmgf}, {"clmrg", W_clmrg}, {"clvmgf", W_clvmgf}, {"clvmrg", W_clvmrg},
            {"trleft", W_trleft}, {"clcbpat", W_clcbpat},
            {"cellx", W_cellx}, {"trowd", W_trowd},
            {"xe", W_skipdest}, {"tc", W_skipdest}, {"txe", W_skipdest}, {"rxe", W_skipdest},
            {"fldinst", W_fldinst}, {"revtbl", W_skipdest}, {"filetbl", W_skipdest},
            {"template", W_skipdest}, {"userprops", W_skipdest}, {"docvar", W_skipdest},
            {"ftnsep", W_skipdest}, {"ftnsepc", W_skipdest}, {"ftncn", W_skipdest},
            {"aftnsep", W_skipdest}, {"aftnsepc", W_skipdest}, {"aftncn", W_skipdest},
            {"par", W_par}, {"pard", W_pard}, {"plain", W_plain}, {"line", W_line}, {"tab", W_tab},
            {"page", W_page}, {"sect", W_sect},
            {"ql", W_ql}, {"qc", W_qc}, {"qr", W_qr}, {"qj", W_qj}, {"li", W_li}, {"ri", W_ri},
            {"fi", W_fi}, {"sb", W_sb}, {"sa", W_sa}, {"sl", W_sl}, {"slmult", W_slmult},
            {"tx", W_tx}, {"tb", W_tb}, {"tqr", W_tqr}, {"tqc", W_tqc}, {"tqdec", W_tqdec},
            {"intbl", W_intbl}, {"cell", W_cell}, {"row", W_row}, {"nestcell", W_nestcell},
            {"nestrow", W_nestrow},
            {"itap", W_itap}, {"nesttableprops", W_nesttableprops}, {"nonesttables", W_nonesttables},
            {"b", W_b}, {"i", W_i}, {"ul", W_ul}, {"uldb", W_uldb}, {"ulth", W_ulth},
            {"ulnone", W_ulnone}, {"ulw", W_ulother}, {"uld", W_ulother}, {"uldash", W_ulother},
            {"uldashd", W_ulother}, {"uldashdd", W_ulother}, {"ulwave", W_ulother},
            {"strike", W_strike}, {"striked", W_striked}, {"fs", W_fs}, {"cf", W_cf}, {"cb", W_cb},
            {"highlight", W_highlight}, {"chcbpat", W_cb}, {"super", W_super}, {"sub", W_sub},
            {"nosupersub", W_nosupersub},
            {"paperw", W_paperw}, {"paperh", W_paperh}, {"margl", W_margl}, {"margr", W_margr},
            {"margt", W_margt}, {"margb", W_margb},
            {"emdash", W_emdash}, {"endash", W_endash}, {"bullet", W_bullet}, {"lquote", W_lquote},
            {"rquote", W_rquote}, {"ldblquote", W_ldblquote}, {"rdblquote", W_rdblquote},
            {"emspace", W_emspace}, {"enspace", W_enspace}, {"qmspace", W_qmspace},
            {"zwj", W_zwj}, {"zwnj", W_zwnj},
        };
        for (const auto& [name, id] : entries)
            t.insert(QByteArray(name), id);
        return t;
    }();
    return table;
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

} // namespace detail

bool looksLikeRtf(const QByteArray& data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

namespace detail {

bool Reader::run(QString* error)
{
    if (!looksLikeRtf(m_data)) {
        if (error)
            *error = QStringLiteral("The file is not a Rich Text document.");
        return false;
    }
    m_stack.append(State());
    const char* p = m_data.constData();
    const qsizetype n = m_data.size();
    qsizetype i = 0;
    bool started = false;
    while (i < n) {
        const char c = p[i];
        if (c == '{') {
            flushText();
            if (started)
                pushGroup();
            started = true;
            ++i;
        } else if (c == '}') {
            flushText();
            m_skip = 0;
            if (m_overflow > 0) {
                --m_overflow;
            } else if (m_stack.size() > 1) {
                popGroup();
            } else {
                break; // end of the document group
            }
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= n)
                break;
            const char d = p[i];
            if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                const qsizetype start = i;
                while (i < n && i - start < 32 && ((p[i] >= 'a' && p[i] <= 'z') || (p[i] >= 'A' && p[i] <= 'Z')))
                    ++i;
                const QByteArray word(p + start, i - start);
                bool neg = false;
                bool hasParam = false;
                qint64 value = 0;
                if (i < n && p[i] == '-' && i + 1 < n && p[i + 1] >= '0' && p[i + 1] <= '9') {
                    neg = true;
                    ++i;
                }
                int digits = 0;
                while (i < n && p[i] >= '0' && p[i] <= '9') {
                    if (digits < 10)
                        value = value * 10 + (p[i] - '0');
                    ++digits;
                    hasParam = true;
                    ++i;
                }
                if (i < n && p[i] == ' ')
                    ++i;
                value = std::clamp<qint64>(neg ? -value : value, -2147483647, 2147483647);
                if (word == "bin") {
                    flushText();
                    const qint64 len = std::clamp<qint64>(value, 0, n - i);
                    if (!m_picts.isEmpty() && st().dest == Dest::Pict) {
                        PictState& pict = m_picts.last();
                        if (pict.binary.size() + len > FormatSupport::kMaxPictureBytes)
                            pict.tooLarge = true;
                        else
                            pict.binary.append(p + i, qsizetype(len));
                    }
                    i += qsizetype(len);
                    continue;
                }
                if (m_skip > 0) {
                    --m_skip;
                    continue;
                }
                flushText();
                controlWord(word, hasParam, int(value));
            } else if (d == '\'') {
                ++i;
                if (i + 1 < n && isHex(p[i]) && isHex(p[i + 1])) {
                    const char byte = char(hexValue(p[i]) * 16 + hexValue(p[i + 1]));
                    i += 2;
                    if (m_skip > 0) {
                        --m_skip;
                        continue;
                    }
                    textByte(byte);
                }
            } else {
                ++i;
                if (m_skip > 0 && d != '\r' && d != '\n') {
                    --m_skip;
                    continue;
                }
                flushText();
                controlSymbol(d);
            }
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else {
            ++i;
            if (m_skip > 0) {
                --m_skip;
                continue;
            }
            if (st().dest == Dest::Pict) {
                if (isHex(c) && !m_picts.isEmpty()) {
                    PictState& pict = m_picts.last();
                    if (pict.hex.size() >= 2 * FormatSupport::kMaxPictureBytes)
                        pict.tooLarge = true;
                    else
                        pict.hex.append(c);
                }
                continue;
            }
            textByte(c);
        }
    }
    flushText();
    // Unclosed groups: keep what was read.
    while (m_stack.size() > 1)
        popGroup();
    if (m_noteBuilder)
        endNote();
    if (m_haveComment)
        m_attributes->comment = m_comment;
    finishHeaderFooter();
    // A final empty paragraph after a paragraph mark is the file's last mark:
    // the builder writes only a last paragraph that holds something.
    m_builder.finish(blockFormat());
    FormatSupport::appendNotes(m_document, m_notes);
    return true;
}

void Reader::pushGroup()
{
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    State next = st();
    next.starred = false;
    next.firstWord = true;
    next.opensNote = false; // only the group that opened a note closes it
    m_stack.append(next);
}

void Reader::beginNote()
{
    m_noteDocument = std::make_unique<QTextDocument>();
    m_noteBuilder = std::make_unique<FormatSupport::Builder>(m_noteDocument.get());
}

void Reader::endNote()
{
    m_noteBuilder->finish(blockFormat());
    m_noteBuilder.reset();
    if (m_notes.size() < 100000)
        m_notes.append(std::shared_ptr<QTextDocument>(m_noteDocument.release()));
    m_noteDocument.reset();
}

// Other programs' header and footer: the default ones, else the first-page
// ones, unless the file carries our own record.
void Reader::finishHeaderFooter()
{
    if (m_haveComment && WPHeaderFooter::decode(m_comment))
        return;
    WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("header"), m_headerFooter[HeaderDefault],
                           m_headerFooter[HeaderFirst], m_headerFooter[HeaderEven]);
    WPHeaderFooter::countVariants(m_attributes->notKept, QStringLiteral("footer"), m_headerFooter[FooterDefault],
                           m_headerFooter[FooterFirst], m_headerFooter[FooterEven]);
    const QString header = (m_headerFooter[HeaderDefault].isEmpty() ? m_headerFooter[HeaderFirst]
                                                                    : m_headerFooter[HeaderDefault]).simplified();
    const QString footer = (m_headerFooter[FooterDefault].isEmpty() ? m_headerFooter[FooterFirst]
                                                                    : m_headerFooter[FooterDefault]).simplified();
    if (const auto record = WPHeaderFooter::encode(WPHeaderFooter::sanitize(header), WPHeaderFooter::sanitize(footer)))
        m_attributes->comment = *record;
}

// A list marker as the model keeps it: a tab, the marker, a tab, whatever
// spaces and tabs its writer put around it; the Symbol font's bullet
// (U+F0B7, or its byte B7) is the bullet.
QString Reader::canonicalMarker(const QString& written)
{
    // Tabs and other control characters are no part of the marker.
    QString core;
    for (const QChar c : written)
        if (c.unicode() >= 0x20)
            core += c;
    core = core.trimmed();
    if (core.isEmpty())
        return QString();
    if (core == QString(QChar(0xF0B7)) || core == QString(QChar(0x00B7)))
        core = QString(QChar(WPText::kBullet));
    return QLatin1Char('\t') + core + QLatin1Char('\t');
}

void Reader::popGroup()
{
    if (st().dest == Dest::ListText && (m_stack.size() < 2 || m_stack.at(m_stack.size() - 2).dest != Dest::ListText)) {
        // The marker goes into the text as it was written when that is
        // already the model's form, else in that form, in the format of its
        // first visible piece. A paragraph reset inside the marker group
        // does not take the marker out of its cell.
        QString written;
        QTextCharFormat format = charFormat();
        bool visible = false;
        for (const auto& [text, f] : std::as_const(m_listText)) {
            written += text;
            if (!visible && !text.trimmed().isEmpty()) {
                format = f;
                visible = true;
            }
        }
        const QString marker = canonicalMarker(written);
        const bool asWritten = marker == written;
        const QList<std::pair<QString, QTextCharFormat>> pieces = std::exchange(m_listText, {});
        const ParaState& para = m_stack.size() >= 2 ? m_stack.at(m_stack.size() - 2).para : st().para;
        if (!marker.isEmpty())
            enterTableLevel(para);
        if (asWritten) {
            for (const auto& [text, f] : pieces)
                out().text(text, f);
        } else if (!marker.isEmpty()) {
            out().text(marker, format);
        }
    }
    const State closing = m_stack.takeLast();
    if (closing.opensNote && m_noteBuilder)
        endNote();
    switch (closing.dest) {
    case Dest::FontTable:
        if (m_fontId >= 0 && !m_fontName.trimmed().isEmpty()) {
            m_fonts.insert(m_fontId, {m_fontName.trimmed(), charsetCodePage(m_fontCharset, m_ansiCodePage)});
            m_fontName.clear();
            m_fontId = -1;
        }
        break;
    case Dest::Pict:
        if (st().dest != Dest::Pict && !m_picts.isEmpty()) {
            const PictState pict = m_picts.takeLast();
            if (st().dest == Dest::Text)
                finishPicture(pict);
        }
        break;
    case Dest::NeXTGraphic:
        if (st().dest != Dest::NeXTGraphic)
            finishAttachment();
        break;
    case Dest::ListTable:
        if (st().dest == Dest::ListTable && m_curListId != 0 && m_curNfc >= 0)
            m_listNfc.insert(m_curListId, m_curNfc);
        break;
    default:
        break;
    }
}

void Reader::finishPicture(const PictState& pict)
{
    if (pict.tooLarge || pict.type.isEmpty())
        return;
    QByteArray bytes = pict.binary;
    if (bytes.isEmpty()) {
        bytes.reserve(pict.hex.size() / 2);
        for (qsizetype k = 0; k + 1 < pict.hex.size(); k += 2)
            bytes.append(char(hexValue(pict.hex[k]) * 16 + hexValue(pict.hex[k + 1])));
    }
    // Only pictures that are recognisably PNG or JPEG data.
    if (FormatSupport::imageFormatOf(bytes).isEmpty())
        return;
    FormatSupport::Picture picture;
    picture.data = bytes;
    if (pict.goalW > 0 && pict.goalH > 0) {
        const qreal sx = std::clamp(pict.scaleX, 1, 10000) / 100.0;
        const qreal sy = std::clamp(pict.scaleY, 1, 10000) / 100.0;
        picture.sizePt = QSizeF(pict.goalW / 20.0 * sx, pict.goalH / 20.0 * sy);
    }
    out().picture(picture, charFormat());
}

void Reader::finishAttachment()
{
    m_swallowAttachmentChar = true;
    const QString name = m_attachmentName.trimmed();
    m_attachmentName.clear();
    if (name.isEmpty() || !m_lookup)
        return;
    const std::optional<QByteArray> bytes = m_lookup(name);
    if (!bytes || bytes->isEmpty())
        return;
    FormatSupport::Picture picture;
    picture.data = *bytes;
    picture.fileName = name;
    if (m_attachmentW > 0 && m_attachmentH > 0)
        picture.sizePt = QSizeF(m_attachmentW / 20.0, m_attachmentH / 20.0);
    out().picture(picture, charFormat());
}

int Reader::codePageFor(const State& s) const
{
    const int font = s.ch.font >= 0 ? s.ch.font : m_defaultFont;
    const auto it = m_fonts.constFind(font);
    if (it != m_fonts.constEnd() && it->codePage != 0)
        return it->codePage;
    return m_ansiCodePage;
}

void Reader::textByte(char byte)
{
    const Dest dest = st().dest;
    if (dest == Dest::Skip || dest == Dest::ListTable || dest == Dest::ListOverrideTable || dest == Dest::Pn
        || dest == Dest::Pict)
        return;
    if (dest == Dest::ColorTable) {
        if (byte == ';') {
            m_colors.append(m_colorSet ? QColor(m_r, m_g, m_b) : QColor());
            m_r = m_g = m_b = 0;
            m_colorSet = false;
        }
        return;
    }
    if (dest == Dest::FontTable && byte == ';') {
        flushText();
        if (m_fontId >= 0)
            m_fonts.insert(m_fontId, {m_fontName.trimmed(), charsetCodePage(m_fontCharset, m_ansiCodePage)});
        m_fontName.clear();
        m_fontId = -1;
        return;
    }
    int cp = codePageFor(st());
    if (dest == Dest::FontTable)
        cp = charsetCodePage(m_fontCharset, m_ansiCodePage);
    if (!m_pending.isEmpty() && cp != m_pendingCodePage)
        flushText();
    m_pendingCodePage = cp;
    m_pending.append(byte);
}

void Reader::flushText()
{
    if (m_pending.isEmpty())
        return;
    const QString text = CodePage::decode(m_pending, m_pendingCodePage);
    m_pending.clear();
    deliver(text);
}

void Reader::deliver(const QString& input)
{
    QString text = input;
    if (m_swallowAttachmentChar) {
        m_swallowAttachmentChar = false;
        if (!text.isEmpty() && (text.at(0) == QChar(0x00AC) || text.at(0) == QChar::ObjectReplacementCharacter))
            text.remove(0, 1);
    }
    if (text.isEmpty())
        return;
    switch (st().dest) {
    case Dest::Text:
        enterTableLevel(st().para);
        out().text(text, charFormat());
        break;
    case Dest::FontTable:
        m_fontName += text;
        break;
    case Dest::DocComm:
        m_comment += text;
        m_haveComment = true;
        break;
    case Dest::NeXTGraphic:
        m_attachmentName += text;
        break;
    case Dest::FieldInst:
        if (m_fieldInst.size() < 4096)
            m_fieldInst += text;
        break;
    case Dest::ListText:
        if (m_listText.size() < 64)
            m_listText.append({text, charFormat()});
        break;
    case Dest::HeaderFooter:
        if (st().headerFooter >= 0 && st().headerFooter < HeaderFooterSlots
            && m_headerFooter[st().headerFooter].size() < 4096)
            m_headerFooter[st().headerFooter] += text;
        break;
    default:
        break;
    }
}

void Reader::endParagraph()
{
    enterTableLevel(st().para);
    out().endParagraph(blockFormat());
}

QTextCharFormat Reader::charFormat() const
{
    const CharState& c = m_stack.last().ch;
    QTextCharFormat f;
    if (c.font >= 0) {
        const auto it = m_fonts.constFind(c.font);
        if (it != m_fonts.constEnd())
            FormatSupport::setFontFamily(f, it->name);
    }
    f.setFontPointSize(std::clamp(c.sizeHalfPoints, 2, 3276) / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    FormatSupport::setUnderlineStyle(f, c.underline);
    FormatSupport::setStrikeStyle(f, c.strike);
    if (c.foreground > 0 && c.foreground < m_colors.size() && m_colors[c.foreground].isValid())
        f.setForeground(m_colors[c.foreground]);
    if (c.background > 0 && c.background < m_colors.size() && m_colors[c.background].isValid())
        f.setBackground(m_colors[c.background]);
    if (c.vertical > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vertical < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!c.href.isEmpty()) {
        f.setAnchor(true);
        f.setAnchorHref(c.href);
    }
    return f;
}

QTextBlockFormat Reader::blockFormat() const
{
    const ParaState& p = m_stack.last().para;
    QTextBlockFormat f;
    static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    if (p.alignment != 0)
        f.setAlignment(aligns[p.alignment]);
    FormatSupport::setIndents(f, p.leftTwips / 20.0, (p.leftTwips + qint64(p.firstTwips)) / 20.0,
                              p.rightTwips / 20.0);
    FormatSupport::setSpacing(f, p.beforeTwips / 20.0, p.afterTwips / 20.0);
    if (p.lineMultiple && p.lineTwips > 0)
        FormatSupport::setLineMultiple(f, p.lineTwips / 240.0);
    FormatSupport::setTabStops(f, p.tabs);
    int kind = p.pnKind;
    if (p.listOverride > 0) {
        const int nfc = m_listNfc.value(m_overrideList.value(p.listOverride), 23);
        kind = (nfc == 23 || nfc == 255) ? WPText::ListBullet : WPText::ListNumber;
    }
    if (kind != WPText::ListNone)
        f.setProperty(WPText::ListKind, kind);
    return f;
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        textByte(c);
        break;
    case '*':
        st().starred = true;
        break;
    case '~':
        deliver(QString(QChar(0x00A0)));
        break;
    case '-':
        deliver(QString(QChar(0x00AD)));
        break;
    case '_':
        deliver(QString(QChar(0x2011)));
        break;
    case '\r':
    case '\n':
        if (st().dest == Dest::Text)
            endParagraph();
        break;
    case '\t':
        deliver(QStringLiteral("\t"));
        break;
    default:
        break;
    }
}

} // namespace detail

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error,
          const AttachmentLookup& lookup)
{
    WPDocAttributes local;
    WPDocAttributes* attrs = attributes ? attributes : &local;
    *attrs = WPDocAttributes();
    into->clear();
    detail::Reader reader(data, into, attrs, lookup);
    return reader.run(error);
}

} // namespace Rtf
