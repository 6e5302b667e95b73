#include "ui/FontsFigures.h"

#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace Fonts {

namespace {

const char* const kRoundedBoldFile = "/usr/share/fonts/truetype/quicksand/Quicksand-Bold.ttf";
const QByteArray kRoundedFamily = QByteArrayLiteral("Quicksand");
// Same length as the original name.
const QByteArray kMendedFamily = QByteArrayLiteral("BwRounded");
const qreal kBearingLimit = 1.6;

struct Table {
    qsizetype offset = 0;
    qsizetype length = 0;
};

std::optional<Table> table(const QByteArray& font, const char* tag)
{
    if (font.size() < 12)
        return std::nullopt;
    const int count = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (record + 16 > font.size())
            return std::nullopt;
        if (font.mid(record, 4) != QByteArray(tag))
            continue;
        const Table t{qFromBigEndian<quint32>(font.constData() + record + 8),
                      qFromBigEndian<quint32>(font.constData() + record + 12)};
        if (t.offset < 0 || t.length < 0 || t.offset + t.length > font.size())
            return std::nullopt;
        return t;
    }
    return std::nullopt;
}

QByteArray utf16(const QByteArray& latin1)
{
    QByteArray out;
    for (const char c : latin1) {
        out.append('\0');
        out.append(c);
    }
    return out;
}

// Made and registered once, when first asked for (by whichever thread asks
// first; another meanwhile waits for it).
const QString& mendedFamily()
{
    static const QString family = [] {
        QFile file(QString::fromUtf8(kRoundedBoldFile));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        const QByteArray mended = mendFigures(file.readAll(), kMendedFamily, kBearingLimit);
        if (mended.isEmpty())
            return QString();
        const int id = QFontDatabase::addApplicationFontFromData(mended);
        const QString name = QString::fromLatin1(kMendedFamily);
        return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(name) ? name : QString();
    }();
    return family;
}

} // namespace

QByteArray mendFigures(const QByteArray& font, const QByteArray& family, qreal limit)
{
    const std::optional<Table> head = table(font, "head");
    const std::optional<Table> hhea = table(font, "hhea");
    const std::optional<Table> hmtx = table(font, "hmtx");
    const std::optional<Table> name = table(font, "name");
    if (!head || !hhea || !hmtx || !name || head->length < 54 || hhea->length < 36
        || family.size() != kRoundedFamily.size())
        return {};
    const int unitsPerEm = qFromBigEndian<quint16>(font.constData() + head->offset + 18);
    const int metrics = qFromBigEndian<quint16>(font.constData() + hhea->offset + 34);
    if (unitsPerEm <= 0)
        return {};

    // Ink bounds in font units.
    const QRawFont raw(font, unitsPerEm, QFont::PreferNoHinting);
    if (!raw.isValid())
        return {};
    struct Figure {
        quint32 glyph = 0;
        qreal left = 0;  // bearings in font units
        qreal right = 0;
    };
    QList<Figure> figures;
    for (char c = '0'; c <= '9'; ++c) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString(QLatin1Char(c)));
        if (glyphs.size() != 1 || glyphs[0] == 0 || qsizetype(glyphs[0]) >= metrics
            || hmtx->offset + 4 * qsizetype(glyphs[0]) + 4 > hmtx->offset + hmtx->length)
            return {};
        const qreal advance = raw.advancesForGlyphIndexes(glyphs).constFirst().x();
        const QRectF ink = raw.boundingRect(glyphs[0]);
        figures.append({glyphs[0], ink.left(), advance - ink.right()});
    }

    QList<qreal> room;
    for (const Figure& f : std::as_const(figures))
        room.append(f.left + f.right);
    std::sort(room.begin(), room.end());
    const qreal most = (room.at(4) + room.at(5)) / 2 * limit;

    QByteArray out = font;
    bool changed = false;
    for (const Figure& f : std::as_const(figures)) {
        if (f.left + f.right <= most)
            continue;
        qreal left = 0, right = 0;
        int others = 0;
        for (const Figure& g : std::as_const(figures)) {
            if (g.left + g.right <= most) {
                left += g.left;
                right += g.right;
                ++others;
            }
        }
        if (others == 0)
            return {};
        left /= others;
        right /= others;
        char* entry = out.data() + hmtx->offset + 4 * qsizetype(f.glyph);
        const int oldAdvance = qFromBigEndian<quint16>(entry);
        const int oldLeft = qFromBigEndian<qint16>(entry + 2);
        const int newLeft = qRound(left);
        const int newAdvance = qRound(oldAdvance - (f.left - left) - (f.right - right));
        if (newAdvance <= 0 || newAdvance > 0xFFFF)
            return {};
        // The outline is placed so that its left edge lies at the bearing.
        qToBigEndian<qint16>(qint16(oldLeft - qRound(f.left) + newLeft), entry + 2);
        qToBigEndian<quint16>(quint16(newAdvance), entry);
        changed = true;
    }
    if (!changed)
        return {};

    // A family of its own, so the installed face is never shadowed.
    QByteArray names = out.mid(name->offset, name->length);
    for (const auto& [from, to] : {std::pair{kRoundedFamily, family}, std::pair{utf16(kRoundedFamily), utf16(family)}}) {
        for (qsizetype at = names.indexOf(from); at >= 0; at = names.indexOf(from, at + to.size()))
            names.replace(at, from.size(), to);
    }
    out.replace(name->offset, name->length, names);
    return out;
}

QString roundedFamily(QFont::Weight weight)
{
    if (weight < QFont::DemiBold)
        return QString::fromLatin1(kRoundedFamily);
    return mendedFamily().isEmpty() ? QString::fromLatin1(kRoundedFamily) : mendedFamily();
}

} // namespace Fonts
