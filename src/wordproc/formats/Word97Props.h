#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <optional>

// Character, paragraph and table properties of Word 97 documents: the
// property modifiers (sprms) applied to plain records, the style sheet, and
// the formatted disk pages that give each byte range of the text its
// modifiers. Every read is bounded by the bytes at hand.
namespace Word97Props {

struct Chp {
    int font = -1;  // index into the font table
    int hps = 20;   // size in half points
    bool bold = false;
    bool italic = false;
    int underline = 0; // kul
    bool strike = false;
    bool doubleStrike = false;
    bool vanish = false;
    int iss = 0;       // 1 superscript, 2 subscript
    QColor color;      // invalid: automatic
    QColor highlight;
    QColor shade;
    bool special = false;
    bool data = false;
    bool ole2 = false;
    qint64 picture = -1; // offset of the picture in the Data stream
};

struct Tap {
    QList<int> edges;     // cell boundaries, twips (cells + 1)
    QList<quint16> flags; // per cell
    QList<QColor> shades; // per cell; invalid: none
};

struct Tab {
    int position = 0; // twips
    int kind = 0;     // 0 left, 1 centre, 2 right, 3 decimal, 4 bar
};

struct Pap {
    int istd = 0;
    int jc = 0;
    int left = 0;
    int firstLine = 0; // relative to left
    int right = 0;
    int before = 0;
    int after = 0;
    int line = 240;
    bool multipleLine = true;
    QList<Tab> tabs;
    bool inTable = false;
    bool rowEnd = false;
    int itap = 0;
    bool innerCell = false;
    bool innerRowEnd = false;
    int ilfo = 0;
    int ilvl = 0;
    qint64 hugePapx = -1;
    Tap tap;
};

// Calls `apply(sprm, operand)` for every modifier of `grpprl`.
template <typename F>
void forEachSprm(const QByteArray& grpprl, F apply);

void applyChp(Chp& chp, const QByteArray& grpprl, const Chp& style);
void applyPap(Pap& pap, const QByteArray& grpprl);

struct Style {
    int kind = 0; // 1 paragraph, 2 character
    Chp chp;
    Pap pap;
    QByteArray chpx; // a character style's modifiers, its bases' first
};

// The resolved styles of a style sheet (each with its base styles applied)
// and the defaults of text that names no style.
class StyleSheet {
public:
    StyleSheet() = default;
    explicit StyleSheet(const QByteArray& stsh);
    const Style& style(int istd) const;
    const Style& normal() const { return style(0); }
    // `chp` with the character style that `grpprl` names (if any) applied.
    void applyCharacterStyle(Chp& chp, const QByteArray& grpprl) const;

private:
    QList<std::optional<Style>> m_styles;
    Style m_default;
};

// The byte ranges of the WordDocument stream and their property modifiers,
// from the pages listed by a bin table.
struct FkpRun {
    quint32 fcStart = 0;
    quint32 fcEnd = 0;
    QByteArray grpprl;
};

class FkpRuns {
public:
    FkpRuns() = default;
    FkpRuns(const QByteArray& word, const QByteArray& binTable, bool paragraphs);
    // The modifiers of the byte at `fc`; empty when none.
    const QByteArray& at(quint32 fc) const;

private:
    QList<FkpRun> m_runs;
    mutable qsizetype m_last = 0;
};

} // namespace Word97Props

#include "wordproc/formats/Word97Format.h"

template <typename F>
void Word97Props::forEachSprm(const QByteArray& g, F apply)
{
    qsizetype pos = 0;
    while (pos + 2 <= g.size()) {
        const quint16 sprm = Word97Format::le16(g, pos);
        pos += 2;
        qsizetype size = Word97Format::operandSize(sprm);
        if (size < 0) {
            if (pos >= g.size())
                return;
            if (sprm == Word97Format::sprmTDefTable || sprm == 0xD606) {
                const qsizetype cb = Word97Format::le16(g, pos);
                pos += 2;
                size = std::max<qsizetype>(cb - 1, 0);
            } else {
                size = quint8(g[pos]);
                ++pos;
            }
        }
        if (pos + size > g.size())
            return;
        apply(sprm, g.mid(pos, size));
        pos += size;
    }
}
