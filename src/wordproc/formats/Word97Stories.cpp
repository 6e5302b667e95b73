// The stories around the main text of a Word 97 document: fonts and list
// kinds, footnotes and endnotes, text boxes, headers and footers, and list
// numbers as literal text.
#include "wordproc/formats/Word97Reader.h"

#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Word97Format.h"

namespace Word97::detail {

using namespace Word97Format;

void Reader::readFonts()
{
    const QByteArray f = structure(SttbfFfn);
    const int count = std::min<int>(le16(f, 0), 4096);
    qint64 pos = 4;
    for (int i = 0; i < count && pos < f.size(); ++i) {
        const int size = quint8(f[pos]) + 1;
        const QByteArray ffn = f.mid(pos + 1, size - 1);
        pos += size;
        QString name;
        for (qint64 k = 39; k + 1 < ffn.size(); k += 2) {
            const QChar c(le16(ffn, k));
            if (c.isNull())
                break;
            name += c;
        }
        m_fonts.append(name);
    }
}

void Reader::readLists()
{
    const QByteArray lst = structure(PlfLst);
    const int lists = std::min<int>(qint16(le16(lst, 0)), 4096);
    if (lists <= 0)
        return;
    // The levels follow the list table directly, list by list.
    qint64 at = qint64(le32(m_word, fcOffset(PlfLst))) + lst.size();
    QHash<quint32, QList<bool>> bulletsByList;
    QHash<quint32, QList<int>> startsByList;
    for (int i = 0; i < lists; ++i) {
        const quint32 lsid = le32(lst, 2 + 28 * i);
        const bool simple = 2 + 28 * i + 26 < lst.size() && (quint8(lst[2 + 28 * i + 26]) & 1);
        QList<bool> bullets;
        QList<int> starts;
        for (int level = 0; level < (simple ? 1 : 9); ++level) {
            if (at + 28 > m_table.size())
                return;
            const int nfc = quint8(m_table[at + 4]);
            bullets.append(nfc == 23 || nfc == 0xFF);
            // The number of the level's first item.
            starts.append(std::clamp<qint32>(qint32(le32(m_table, at)), 0, 1'000'000));
            const int papx = quint8(m_table[at + 25]);
            const int chpx = quint8(m_table[at + 24]);
            const qint64 xst = at + 28 + papx + chpx;
            at = xst + 2 + 2 * qint64(le16(m_table, xst));
        }
        bulletsByList.insert(lsid, bullets);
        startsByList.insert(lsid, starts);
    }
    const QByteArray lfo = structure(PlfLfo);
    const qint64 overrides = std::min<qint64>(le32(lfo, 0), 4096);
    for (qint64 i = 0; i < overrides; ++i) {
        const QList<bool> bullets = bulletsByList.value(le32(lfo, 4 + 16 * i));
        const QList<int> starts = startsByList.value(le32(lfo, 4 + 16 * i));
        for (qsizetype level = 0; level < bullets.size(); ++level) {
            m_listBullets.insert(int((i + 1) << 4 | level), bullets[level]);
            m_listStarts.insert(int((i + 1) << 4 | level), starts.value(level, 1));
        }
    }
}

QString Reader::plainStory(quint32 from, quint32 to)
{
    QStringList lines;
    for (const RawParagraph& p : story(from, to, Story::Header)) {
        const QString t = p.paragraph.text().remove(QChar::ObjectReplacementCharacter).simplified();
        if (!t.isEmpty())
            lines.append(t);
    }
    return lines.join(QLatin1Char(' '));
}

void Reader::readNotes(int refIndex, int textIndex, quint32 base, bool endnotes)
{
    const QByteArray refs = structure(refIndex);
    const QByteArray texts = structure(textIndex);
    const qint64 count = refs.size() >= 4 ? std::min<qint64>((refs.size() - 4) / 6, 100000) : 0;
    int automatic = 0;
    for (qint64 i = 0; i < count; ++i) {
        const quint32 ref = le32(refs, 4 * i);
        const bool isAuto = qint16(le16(refs, 4 * (count + 1) + 2 * i)) > 0;
        QString label;
        if (isAuto) {
            ++automatic;
            label = WPTextModel::noteLabel(automatic, endnotes);
        } else {
            // The author's own mark: the character at the reference.
            label = m_text.mid(ref, 1);
            if (label.isEmpty() || label.at(0).unicode() < 0x20 || label.at(0).isSurrogate())
                label = QStringLiteral("*");
        }
        m_noteLabels.insert(ref, label);
        if (4 * (i + 2) <= texts.size()) {
            const quint32 from = base + le32(texts, 4 * i);
            const quint32 to = base + le32(texts, 4 * (i + 1));
            if (to > from) {
                m_noteLabels.insert(from, label);
                m_notes.append({label, from, to});
            }
        }
    }
}

void Reader::readTextBoxes(quint32 base)
{
    const QByteArray boxes = structure(PlcftxbxTxt);
    const QByteArray anchors = structure(PlcSpaMom);
    const qint64 boxCount = boxes.size() >= 4 ? (boxes.size() - 4) / 26 : 0;
    const qint64 anchorCount = anchors.size() >= 4 ? (anchors.size() - 4) / 30 : 0;
    QHash<quint32, qint64> byShape;
    for (qint64 i = 0; i < boxCount && i < 100000; ++i)
        byShape.insert(le32(boxes, 4 * (boxCount + 1) + 22 * i + 14), i);
    for (qint64 i = 0; i < anchorCount && i < 100000; ++i) {
        const quint32 shape = le32(anchors, 4 * (anchorCount + 1) + 26 * i);
        const auto it = byShape.constFind(shape);
        if (it == byShape.constEnd())
            continue;
        const quint32 from = base + le32(boxes, 4 * *it);
        const quint32 to = base + le32(boxes, 4 * (*it + 1));
        if (to > from)
            m_textBoxes.insert(le32(anchors, 4 * i), {from, to});
    }
}

void Reader::addList(Paragraph& p, const Pap& pap)
{
    const int ilfo = pap.ilfo;
    const int level = pap.ilvl;
    if (ilfo <= 0 || pap.inTable)
        return;
    const bool bullet = m_listBullets.value(ilfo << 4 | level, false);
    // A shallower item restarts the deeper levels' numbers.
    for (int l = level + 1; l < 9; ++l)
        m_listCounters.remove(ilfo << 4 | l);
    const int key = ilfo << 4 | level;
    if (!m_listCounters.contains(key))
        m_listCounters.insert(key, m_listStarts.value(key, 1) - 1);
    const int number = ++m_listCounters[key];
    const int kind = bullet ? WPText::ListBullet : WPText::ListNumber;
    const qreal step = 36.0 * level;
    WPTextModel::ParagraphStyle& s = p.style;
    s.listKind = kind;
    s.headIndent = WPText::kListHeadIndent + step;
    s.firstLineHeadIndent = step;
    s.tabStops = {WPText::kListTab1 + step, WPText::kListTab2 + step};
    s.tabKinds.clear();
    Run marker = p.runs.isEmpty() ? Run() : p.runs.first();
    marker.picture.reset();
    marker.link = false;
    marker.href.clear();
    marker.text = FormatSupport::markerFor(kind, number);
    p.runs.prepend(marker);
}

} // namespace Word97::detail
