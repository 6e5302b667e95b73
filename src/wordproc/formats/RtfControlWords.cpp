// What each RTF control word does to the reader's state.
#include "wordproc/formats/RtfReader.h"

#include "wordproc/WPText.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/formats/FieldCode.h"

namespace Rtf::detail {

namespace {

QString single(char16_t c)
{
    return QString(QChar(c));
}

int underlineFor(int word, bool hasParam, int param)
{
    if (hasParam && param == 0)
        return WPText::StyleNone;
    switch (word) {
    case W_uldb: return WPText::StyleDouble;
    case W_ulth: return WPText::StyleThick;
    case W_ulnone: return WPText::StyleNone;
    default: return WPText::StyleSingle;
    }
}

} // namespace

void Reader::enterTableLevel(const ParaState& para)
{
    const int wanted = tableLevel(para);
    if (wanted < 1)
        return;
    const int level = std::min(wanted, WPTextModel::kMaxTableNesting);
    // A table deeper than the editor keeps joins the cell around it.
    if (wanted > level && !m_tooDeep)
        ++m_attributes->notKept[QStringLiteral("deeply nested table")];
    m_tooDeep = wanted > level;
    while (out().depth() > level)
        out().endNestedTable();
    while (out().depth() < level) {
        if (out().depth() == 0)
            out().beginCell();
        else
            out().beginNestedTable();
    }
    if (!out().inCell())
        out().beginCell();
}

void Reader::controlWord(const QByteArray& name, bool hasParam, int param)
{
    const int word = wordTable().value(name, W_unknown);
    State& s = st();
    const bool opens = s.firstWord;
    s.firstWord = false;
    if (s.starred) {
        s.starred = false;
        switch (word) {
        case W_shppict:
            return; // the picture inside is read
        case W_annotation:
            ++m_attributes->notKept[QStringLiteral("comment")];
            s.dest = Dest::Skip;
            return;
        case W_shpinst:
        case W_fldinst:
        case W_nesttableprops:
        case W_listtable:
        case W_listoverridetable:
        case W_pn:
            break;
        default:
            s.dest = Dest::Skip;
            return;
        }
    }
    if (s.dest == Dest::Skip)
        return;

    switch (word) {
    // ---- document -----------------------------------------------------------
    case W_ansi: m_ansiCodePage = 1252; break;
    case W_mac: m_ansiCodePage = 10000; break;
    case W_pc: m_ansiCodePage = 437; break;
    case W_pca: m_ansiCodePage = 850; break;
    case W_ansicpg:
        if (hasParam && param > 0)
            m_ansiCodePage = param;
        break;
    case W_deff:
        if (hasParam)
            m_defaultFont = param;
        break;
    case W_uc:
        if (hasParam)
            s.uc = std::clamp(param, 0, 10);
        break;
    case W_u:
        if (hasParam) {
            const char16_t unit = char16_t(param < 0 ? param + 65536 : param);
            if (s.dest == Dest::Text || s.dest == Dest::ListText || s.dest == Dest::DocComm || s.dest == Dest::FontTable
                || s.dest == Dest::NeXTGraphic || s.dest == Dest::HeaderFooter || s.dest == Dest::FieldInst) {
                deliver(QString(QChar(unit)));
            }
            m_skip = s.uc;
        }
        break;
    case W_paperw:
        m_attributes->paperSize = QSizeF(param / 20.0, m_attributes->paperSize.value_or(QSizeF(612, 792)).height());
        break;
    case W_paperh:
        m_attributes->paperSize = QSizeF(m_attributes->paperSize.value_or(QSizeF(612, 792)).width(), param / 20.0);
        break;
    case W_margl: m_attributes->leftMargin = param / 20.0; break;
    case W_margr: m_attributes->rightMargin = param / 20.0; break;
    case W_margt: m_attributes->topMargin = param / 20.0; break;
    case W_margb: m_attributes->bottomMargin = param / 20.0; break;

    // ---- destinations -----------------------------------------------------------
    case W_fonttbl: s.dest = Dest::FontTable; break;
    case W_f:
        if (s.dest == Dest::FontTable) {
            m_fontId = hasParam ? param : 0;
            m_fontCharset = -1;
            m_fontName.clear();
        } else if (hasParam) {
            s.ch.font = param;
        }
        break;
    case W_fcharset:
        if (s.dest == Dest::FontTable)
            m_fontCharset = param;
        break;
    case W_cpg:
        if (s.dest == Dest::FontTable && hasParam)
            m_fontCharset = -1000 - param; // explicit code page, see charsetCodePage
        break;
    case W_colortbl: s.dest = Dest::ColorTable; break;
    case W_red: m_r = std::clamp(param, 0, 255); m_colorSet = true; break;
    case W_green: m_g = std::clamp(param, 0, 255); m_colorSet = true; break;
    case W_blue: m_b = std::clamp(param, 0, 255); m_colorSet = true; break;
    case W_info: s.dest = Dest::Info; break;
    case W_doccomm:
        s.dest = Dest::DocComm;
        m_comment.clear();
        m_haveComment = true;
        break;
    case W_pict:
        if (s.dest == Dest::Text && opens) {
            s.dest = Dest::Pict;
            m_picts.append(PictState());
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case W_pngblip:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().type = QStringLiteral("png");
        break;
    case W_jpegblip:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().type = QStringLiteral("jpeg");
        break;
    case W_picwgoal:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().goalW = param;
        break;
    case W_pichgoal:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().goalH = param;
        break;
    case W_picscalex:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().scaleX = param;
        break;
    case W_picscaley:
        if (s.dest == Dest::Pict && !m_picts.isEmpty())
            m_picts.last().scaleY = param;
        break;
    case W_nonshppict: s.dest = Dest::Skip; break;
    case W_NeXTGraphic:
        if (s.dest == Dest::Text) {
            s.dest = Dest::NeXTGraphic;
            m_attachmentName.clear();
            m_attachmentW = m_attachmentH = 0;
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case W_width:
        if (s.dest == Dest::NeXTGraphic)
            m_attachmentW = param;
        break;
    case W_height:
        if (s.dest == Dest::NeXTGraphic)
            m_attachmentH = param;
        break;
    case W_listtable: s.dest = Dest::ListTable; break;
    case W_listoverridetable: s.dest = Dest::ListOverrideTable; break;
    case W_list:
        if (s.dest == Dest::ListTable) {
            m_curListId = 0;
            m_curNfc = -1;
            m_levelIndex = 0;
        }
        break;
    case W_listlevel:
        if (s.dest == Dest::ListTable)
            ++m_levelIndex;
        break;
    case W_levelnfc:
        if (s.dest == Dest::ListTable && m_levelIndex == 1)
            m_curNfc = param;
        break;
    case W_listid:
        if (s.dest == Dest::ListTable) {
            m_curListId = param;
            if (m_curNfc >= 0)
                m_listNfc.insert(m_curListId, m_curNfc);
        } else if (s.dest == Dest::ListOverrideTable) {
            m_curListId = param;
        }
        break;
    case W_listoverride:
        if (s.dest == Dest::ListOverrideTable)
            m_curListId = 0;
        break;
    case W_ls:
        if (s.dest == Dest::ListOverrideTable)
            m_overrideList.insert(param, m_curListId);
        else if (s.dest == Dest::Text)
            s.para.listOverride = param;
        break;
    case W_listtext:
    case W_pntext:
        // The marker run: read as text, in the form the model keeps it.
        if (s.dest == Dest::Text) {
            s.dest = Dest::ListText;
            m_listText.clear();
        }
        break;
    case W_pn:
        s.dest = Dest::Pn;
        break;
    case W_pnlvlblt:
        if (s.dest == Dest::Pn && m_stack.size() >= 2)
            m_stack[m_stack.size() - 2].para.pnKind = WPText::ListBullet;
        break;
    case W_pnlvlbody:
        if (s.dest == Dest::Pn && m_stack.size() >= 2)
            m_stack[m_stack.size() - 2].para.pnKind = WPText::ListNumber;
        break;
    case W_fldinst:
        // The instruction of a field in the text or in a header or footer:
        // hyperlinks and page numbers; the result stands for the rest.
        if (s.dest == Dest::HeaderFooter || s.dest == Dest::Text) {
            s.dest = Dest::FieldInst;
            m_fieldInst.clear();
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case W_fldrslt:
        // A page number or page count stands in the header or footer as its
        // placeholder, filled in on every printed page, not as the number
        // the other program last showed.
        if (s.dest == Dest::Text) {
            if (const QString target = FieldCode::hyperlinkTarget(m_fieldInst); !target.isEmpty())
                s.ch.href = target;
        } else if (s.dest == Dest::HeaderFooter) {
            const QString field = m_fieldInst.simplified().section(QLatin1Char(' '), 0, 0).toUpper();
            QString placeholder;
            if (field == QLatin1String("PAGE"))
                placeholder = QStringLiteral("{page}");
            else if (field == QLatin1String("NUMPAGES") || field == QLatin1String("SECTIONPAGES"))
                placeholder = QStringLiteral("{pages}");
            if (!placeholder.isEmpty()) {
                deliver(placeholder);
                s.dest = Dest::Skip;
            }
        }
        m_fieldInst.clear();
        break;
    case W_skipdest:
        s.dest = Dest::Skip;
        break;
    case W_footnote:
        // Read as a story of its own; the notes follow the body.
        if (s.dest == Dest::Text && !m_noteBuilder) {
            s.opensNote = true;
            beginNote();
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case W_chftn:
        if (s.dest == Dest::Text)
            deliver(WPTextModel::noteLabel(int(m_notes.size()) + 1, false));
        break;
    case W_annotation:
        ++m_attributes->notKept[QStringLiteral("comment")];
        s.dest = Dest::Skip;
        break;
    case W_object:
        ++m_attributes->notKept[QStringLiteral("embedded object")];
        s.dest = Dest::Skip;
        break;
    case W_header:
    case W_headerf:
    case W_headerl:
    case W_footer:
    case W_footerf:
    case W_footerl:
        s.dest = Dest::HeaderFooter;
        s.headerFooter = word == W_header ? HeaderDefault : word == W_headerf ? HeaderFirst
                       : word == W_headerl ? HeaderEven : word == W_footer ? FooterDefault
                       : word == W_footerf ? FooterFirst : FooterEven;
        // Later sections' headers and footers: the first section's stay.
        if (!m_headerFooter[s.headerFooter].isEmpty())
            s.dest = Dest::Skip;
        break;
    case W_chpgn:
        if (s.dest == Dest::HeaderFooter)
            deliver(QStringLiteral("{page}"));
        break;
    case W_shpinst:
        // A drawn shape: of all it holds, only a text box's text is kept.
        s.dest = s.dest == Dest::Text ? Dest::ShapeInst : Dest::Skip;
        break;
    case W_shptxt:
        s.dest = s.dest == Dest::ShapeInst ? Dest::Text : Dest::Skip;
        break;
    case W_nesttableprops:
        s.dest = s.dest == Dest::Text ? Dest::NestProps : Dest::Skip;
        break;
    case W_nonesttables:
        // Text for readers that know no tables in tables.
        s.dest = Dest::Skip;
        break;
    case W_itap:
        s.para.itap = std::clamp(param, 0, 1000);
        break;
    case W_trowd:
        if (s.dest == Dest::NestProps) {
            m_nestCells.clear();
            m_nestLeft = 0;
            m_pendingMerge = 0;
            m_pendingShade = QColor();
        }
        if (s.dest == Dest::Text) {
            m_cellMerges.clear();
            m_cellEdges.clear();
            m_cellShades.clear();
            m_pendingMerge = 0;
            m_pendingShade = QColor();
            m_rowLeft = 0;
            m_cellIndex = 0;
        }
        break;
    case W_clmrg:
        m_pendingMerge |= FormatSupport::Builder::ContinuesLeft;
        break;
    case W_clvmrg:
        m_pendingMerge |= FormatSupport::Builder::ContinuesUp;
        break;
    case W_clmgf:
    case W_clvmgf:
        break;
    case W_trleft:
        (s.dest == Dest::NestProps ? m_nestLeft : m_rowLeft) = param;
        break;
    case W_clcbpat:
        m_pendingShade = param >= 0 && param < m_colors.size() ? m_colors[param] : QColor();
        break;
    case W_cellx:
        if (s.dest == Dest::NestProps && m_nestCells.size() < 1000) {
            const qreal left = m_nestCells.isEmpty() ? m_nestLeft : m_nestCells.last().right;
            m_nestCells.append({left, qreal(hasParam ? param : 0), m_pendingMerge, m_pendingShade});
        }
        if (s.dest == Dest::Text && m_cellMerges.size() < 1000) {
            m_cellMerges.append(m_pendingMerge);
            m_cellEdges.append(hasParam ? param : 0);
            m_cellShades.append(m_pendingShade);
        }
        m_pendingMerge = 0;
        m_pendingShade = QColor();
        break;

    // ---- text -------------------------------------------------------------------
    case W_par:
        if (s.dest == Dest::Text)
            endParagraph();
        else if (s.dest == Dest::HeaderFooter)
            deliver(QStringLiteral(" "));
        break;
    case W_sect:
    case W_page:
        if (s.dest == Dest::Text)
            endParagraph();
        break;
    case W_line: deliver(single(QChar::LineSeparator)); break;
    case W_tab: deliver(QStringLiteral("\t")); break;
    case W_emdash: deliver(single(0x2014)); break;
    case W_endash: deliver(single(0x2013)); break;
    case W_bullet: deliver(single(0x2022)); break;
    case W_lquote: deliver(single(0x2018)); break;
    case W_rquote: deliver(single(0x2019)); break;
    case W_ldblquote: deliver(single(0x201C)); break;
    case W_rdblquote: deliver(single(0x201D)); break;
    case W_emspace: deliver(single(0x2003)); break;
    case W_enspace: deliver(single(0x2002)); break;
    case W_qmspace: deliver(single(0x2005)); break;
    case W_zwj: deliver(single(0x200D)); break;
    case W_zwnj: deliver(single(0x200C)); break;

    // ---- paragraph ----------------------------------------------------------------
    case W_pard: s.para = ParaState(); break;
    case W_ql: s.para.alignment = 0; break;
    case W_qc: s.para.alignment = 1; break;
    case W_qr: s.para.alignment = 2; break;
    case W_qj: s.para.alignment = 3; break;
    case W_li: s.para.leftTwips = param; break;
    case W_ri: s.para.rightTwips = param; break;
    case W_fi: s.para.firstTwips = param; break;
    case W_sb: s.para.beforeTwips = param; break;
    case W_sa: s.para.afterTwips = param; break;
    case W_sl: s.para.lineTwips = param; break;
    case W_slmult: s.para.lineMultiple = !hasParam || param != 0; break;
    case W_tqr: s.para.pendingTabType = QTextOption::RightTab; break;
    case W_tqc: s.para.pendingTabType = QTextOption::CenterTab; break;
    case W_tqdec: s.para.pendingTabType = QTextOption::DelimiterTab; break;
    case W_tx:
    case W_tb:
        if (s.para.tabs.size() < 64)
            s.para.tabs.append({param / 20.0, word == W_tb ? 0 : s.para.pendingTabType});
        s.para.pendingTabType = 0;
        break;
    case W_intbl: s.para.inTable = true; break;
    case W_cell:
        if (s.dest == Dest::Text) {
            // A cell of the table at the top: tables open inside it end.
            ParaState para = s.para;
            para.itap = 1;
            enterTableLevel(para);
            if (!m_noteBuilder && m_cellIndex < m_cellEdges.size()) {
                if (const int merge = m_cellMerges.value(m_cellIndex); merge != 0)
                    out().setCellMerge(merge);
                if (const QColor shade = m_cellShades.value(m_cellIndex); shade.isValid())
                    out().setCellBackground(shade);
                out().setCellExtent(m_cellIndex == 0 ? m_rowLeft : m_cellEdges[m_cellIndex - 1],
                                    m_cellEdges[m_cellIndex]);
            }
            ++m_cellIndex;
            out().endParagraph(blockFormat());
            out().endCell();
        }
        break;
    case W_row:
        if (s.dest == Dest::Text) {
            while (out().depth() > 1)
                out().endNestedTable();
            // The cell edges of the row with the most cells give the
            // table's column widths (a title row is often one wide cell).
            if (!m_cellEdges.isEmpty() && (!out().hasColumnWidths() || m_cellEdges.size() > m_tableEdges.size())) {
                m_tableEdges = m_cellEdges;
                QList<qreal> widths;
                qreal left = 0;
                for (const qreal edge : std::as_const(m_tableEdges)) {
                    widths.append(std::max(0.0, edge - left));
                    left = std::max(left, edge);
                }
                out().setColumnWidths(widths);
            }
            out().endRow();
            m_cellIndex = 0;
        }
        break;
    case W_nestcell:
        // A cell of a table inside a cell; one nested deeper than the
        // editor keeps gives its cells as paragraphs of the cell around it.
        if (s.dest == Dest::Text) {
            ParaState para = s.para;
            para.itap = std::max(para.itap, 2);
            enterTableLevel(para);
            out().endParagraph(blockFormat());
            if (!m_tooDeep)
                out().endCell();
        }
        break;
    case W_nestrow:
        if (s.dest == Dest::NestProps && !m_tooDeep && out().depth() >= 2) {
            out().defineRow(m_nestCells);
            out().endRow();
        }
        break;

    // ---- characters -----------------------------------------------------------------
    case W_plain: {
        // Character formatting only: a link the run stands in stays.
        CharState reset;
        reset.href = s.ch.href;
        s.ch = reset;
        break;
    }
    case W_b: s.ch.bold = !hasParam || param != 0; break;
    case W_i: s.ch.italic = !hasParam || param != 0; break;
    case W_ul:
    case W_uldb:
    case W_ulth:
    case W_ulnone:
    case W_ulother:
        s.ch.underline = underlineFor(word, hasParam, param);
        break;
    case W_strike: s.ch.strike = (!hasParam || param != 0) ? WPText::StyleSingle : WPText::StyleNone; break;
    case W_striked: s.ch.strike = (!hasParam || param != 0) ? WPText::StyleDouble : WPText::StyleNone; break;
    case W_fs:
        if (hasParam && param > 0)
            s.ch.sizeHalfPoints = param;
        break;
    case W_cf: s.ch.foreground = param; break;
    case W_cb:
    case W_highlight:
        s.ch.background = param;
        break;
    case W_super: s.ch.vertical = 1; break;
    case W_sub: s.ch.vertical = -1; break;
    case W_nosupersub: s.ch.vertical = 0; break;
    default:
        break;
    }
}

} // namespace Rtf::detail
