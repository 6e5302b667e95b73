#include "ui/Symbols.h"

#include "ui/Fonts.h"

#include <QBrush>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QRawFont>

namespace Symbols {

namespace {

const QString kMaterial = QStringLiteral("Material Icons");

struct Entry {
    const char* name;
    char32_t code;
    bool material;
};

// Symbol names of the windows, mapped to Material icon code points (or, for
// a few, to characters of the text face).
const Entry kTable[] = {
    // Tools
    {"plus.forwardslash.minus", 0xea5f, true}, // calculate
    {"function", 0xe24a, true},                // functions
    {"doc.richtext", 0xef42, true},            // article
    {"note.text", 0xf1fc, true},               // sticky_note_2
    {"mic.fill", 0xe029, true},                // mic
    {"mic", 0xe02a, true},                     // mic_none
    {"timer", 0xe425, true},
    {"text.quote", 0xe244, true},              // format_quote
    {"dollarsign.circle", 0xe263, true},       // monetization_on
    {"calendar", 0xe935, true},                // calendar_today
    {"arrow.left.arrow.right", 0xe8d4, true},  // swap_horiz
    {"graduationcap", 0xe80c, true},           // school
    {"key.fill", 0xe0da, true},                // vpn_key
    {"suit.spade.fill", 0x2660, false},        // ♠
    {"circle.grid.3x3.fill", 0xe5c3, true},    // apps
    // Menus and shell
    {"wrench.and.screwdriver", 0xe869, true},  // build
    {"ellipsis.circle.fill", 0xef64, true},    // pending
    {"ellipsis.circle", 0xef64, true},
    {"ellipsis", 0xe5d3, true},                // more_horiz
    {"minus.circle", 0xe15d, true},            // remove_circle_outline
    {"minus.circle.fill", 0xe15c, true},
    {"plus.circle", 0xe148, true},             // add_circle_outline
    {"plus.circle.fill", 0xe147, true},
    {"xmark", 0xe5cd, true},                   // close
    {"xmark.circle.fill", 0xe5c9, true},       // cancel
    {"gearshape", 0xe8b8, true},               // settings
    {"questionmark.circle", 0xe8fd, true},     // help_outline
    {"info.circle", 0xe88e, true},             // info
    {"exclamationmark.triangle", 0xe002, true},// warning
    // Word processor
    {"bold", 0xe238, true},
    {"italic", 0xe23f, true},
    {"underline", 0xe249, true},
    {"strikethrough", 0xe257, true},           // strikethrough_s
    {"text.alignleft", 0xe236, true},
    {"text.aligncenter", 0xe234, true},
    {"text.alignright", 0xe237, true},
    {"text.justify", 0xe235, true},
    {"list.bullet", 0xe241, true},
    {"list.number", 0xe242, true},
    {"decrease.indent", 0xe23d, true},
    {"increase.indent", 0xe23e, true},
    {"arrow.up.and.down.text.horizontal", 0xe240, true}, // format_line_spacing
    {"tablecells", 0xe265, true},              // table_chart
    {"photo", 0xe410, true},
    {"doc", 0xe24d, true},                     // insert_drive_file
    {"rectangle.topthird.inset.filled", 0xe069, true}, // web_asset
    {"magnifyingglass", 0xe8b6, true},         // search
    {"arrow.left.arrow.right.square", 0xe881, true},   // find_replace
    {"textformat.abc.dottedunderline", 0xe8ce, true},  // spellcheck
    {"printer", 0xe8ad, true},                 // print
    {"minus.magnifyingglass", 0xe900, true},   // zoom_out
    {"plus.magnifyingglass", 0xe8ff, true},    // zoom_in
    // Notes
    {"pin", 0xf10d, true},                     // push_pin
    {"pin.fill", 0xf10d, true},
    {"plus", 0xe145, true},                    // add
    {"minus", 0xe15b, true},                   // remove
    {"trash", 0xe872, true},                   // delete
    {"stop.fill", 0xe047, true},               // stop
    {"play.fill", 0xe037, true},               // play_arrow
    {"pause.fill", 0xe034, true},              // pause
    {"record.circle", 0xe061, true},           // fiber_manual_record
    {"waveform", 0xe1b8, true},                // graphic_eq
    {"square.and.arrow.up", 0xe6b8, true},     // ios_share
    {"doc.on.doc", 0xe14d, true},              // content_copy
    // Planner
    {"checkmark.circle.fill", 0xe86c, true},   // check_circle
    {"checkmark", 0xe5ca, true},               // check
    {"circle", 0xe836, true},                  // radio_button_unchecked
    {"target", 0xe1b3, true},                  // gps_fixed
    {"scope", 0xe8e1, true},                   // track_changes
    {"flag", 0xe153, true},
    {"star.fill", 0xe838, true},               // star
    // General
    {"chevron.left", 0xe5cb, true},
    {"chevron.right", 0xe5cc, true},
    {"chevron.down", 0xe5cf, true},            // expand_more
    {"chevron.up", 0xe5ce, true},              // expand_less
    {"lock.fill", 0xe897, true},               // lock
    {"lock.open.fill", 0xe898, true},          // lock_open
    {"eye", 0xe8f4, true},                     // visibility
    {"eye.slash", 0xe8f5, true},               // visibility_off
    {"arrow.clockwise", 0xe5d5, true},         // refresh
    {"arrow.uturn.backward", 0xe166, true},    // undo
    {"arrow.uturn.forward", 0xe15a, true},     // redo
    {"shuffle", 0xe043, true},
    {"speaker.wave.2.fill", 0xe050, true},     // volume_up
    {"lightbulb", 0xe0f0, true},
    {"wand.and.stars", 0xe663, true},          // auto_fix_high
    {"clock", 0xe8b5, true},                   // schedule
    {"globe", 0xe80b, true},                   // public
    {"square.and.arrow.down", 0xf090, true},   // download
    {"folder", 0xe2c7, true},
    {"envelope", 0xe0be, true},                // email
    {"person.crop.circle", 0xe853, true},      // account_circle
    {"list.bullet.rectangle", 0xe896, true},   // list
    {"slider.horizontal.3", 0xe429, true},     // tune
};

const QHash<QString, Glyph>& table()
{
    static const QHash<QString, Glyph> t = [] {
        QHash<QString, Glyph> h;
        for (const Entry& e : kTable)
            h.insert(QString::fromLatin1(e.name), Glyph{e.code, e.material});
        return h;
    }();
    return t;
}

class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color) : m_name(std::move(name)), m_color(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor c = m_color;
        if (mode == QIcon::Disabled)
            c.setAlphaF(c.alphaF() * 0.35f);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        Symbols::paint(*painter, m_name, qMin(rect.width(), rect.height()), QRectF(rect), QBrush(c));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels here.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        if (scale <= 0)
            scale = 1.0;
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        pm.setDevicePixelRatio(scale);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), (QSizeF(size) / scale).toSize()), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(m_name, m_color); }
    QString key() const override { return QStringLiteral("BrindleworksSymbol"); }
    bool isNull() override { return !Symbols::isKnown(m_name); }

private:
    QString m_name;
    QColor m_color;
};

} // namespace

qreal emFor(qreal pointSize)
{
    return pointSize * 1.2;
}

std::optional<Glyph> glyph(const QString& name)
{
    const auto& t = table();
    if (auto it = t.constFind(name); it != t.constEnd())
        return *it;
    return std::nullopt;
}

bool isKnown(const QString& name)
{
    return table().contains(name);
}

QStringList knownNames()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}

QFont font(const QString& name, qreal size)
{
    const auto g = glyph(name);
    if (g && !g->material) {
        // The text faces' symbols come from DejaVu Sans, which has them all.
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleStrategy(QFont::NoFontMerging);
        Fonts::setSize(f, size);
        return f;
    }
    // The icon face is registered when first asked for.
    Fonts::ensureLoaded();
    QFont f(kMaterial);
    f.setStyleStrategy(QFont::NoFontMerging);
    Fonts::setSize(f, size);
    return f;
}

QString text(const QString& name)
{
    const auto g = glyph(name);
    if (!g)
        return QString();
    return QString::fromUcs4(&g->code, 1);
}

namespace {

// A glyph's outline at one size, before centring: the pen at the origin on
// the baseline.
struct Outline {
    QPainterPath path;
    QRectF bounds;
    qreal advance = 0;
};

// The Material face's file, read once (empty when missing).
const QByteArray& materialData()
{
    static const QByteArray data = [] {
        QFile f(Fonts::materialIconFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    return data;
}

// The Material face straight from its file (no font matching, no web copy).
const QRawFont& materialFace()
{
    static const QRawFont face = materialData().isEmpty() ? QRawFont() : QRawFont(materialData(), 16);
    return face;
}

Outline makeOutline(const QString& name, const Glyph& g, qreal size)
{
    Outline o;
    const QString t = text(name);
    if (g.material && materialFace().isValid()) {
        QRawFont face = materialFace();
        face.setPixelSize(size);
        const QList<quint32> glyphs = face.glyphIndexesForString(t);
        if (glyphs.size() == 1 && glyphs.first() != 0) {
            o.path = face.pathForGlyph(glyphs.first());
            o.advance = face.advancesForGlyphIndexes(glyphs).value(0).x();
            o.bounds = o.path.boundingRect();
            return o;
        }
    }
    const QFont f = font(name, size);
    o.path.addText(0, 0, f, t);
    o.bounds = o.path.boundingRect();
    o.advance = QFontMetricsF(f).horizontalAdvance(t);
    return o;
}

// Turning a glyph into a path is the dear part of painting a symbol:
// outlines are kept per name and size (a few dozen in a session).
const Outline& outline(const QString& name, const Glyph& g, qreal size)
{
    static QHash<QPair<QString, qreal>, Outline> cache;
    const QPair<QString, qreal> key(name, size);
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) {
        if (cache.size() > 2000)
            cache.clear();
        it = cache.insert(key, makeOutline(name, g, size));
    }
    return *it;
}

} // namespace

QGlyphRun glyphRun(const QString& name, int pixelSize, QFont::HintingPreference hinting)
{
    const auto g = glyph(name);
    if (!g || !g->material || materialData().isEmpty() || pixelSize <= 0)
        return {};
    // Opening the face is the dear part: one per size and hinting, let go
    // of while the font system is still there.
    static QHash<QPair<int, int>, QRawFont> faces;
    static const bool cleared = [] {
        qAddPostRoutine([] { faces.clear(); });
        return true;
    }();
    (void)cleared;
    const QPair<int, int> key(pixelSize, int(hinting));
    auto it = faces.constFind(key);
    if (it == faces.constEnd()) {
        if (faces.size() > 64)
            faces.clear();
        it = faces.insert(key, QRawFont(materialData(), pixelSize, hinting));
    }
    const QRawFont& face = *it;
    if (!face.isValid())
        return {};
    const QList<quint32> glyphs = face.glyphIndexesForString(text(name));
    if (glyphs.size() != 1 || glyphs.first() == 0)
        return {};
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(glyphs);
    run.setPositions({QPointF(0, 0)});
    return run;
}

QPainterPath path(const QString& name, qreal size, const QRectF& rect)
{
    const auto g = glyph(name);
    if (!g || !(size > 0) || size > 10000)
        return {};
    const Outline& o = outline(name, *g, size);
    const QRectF& b = o.bounds;
    if (b.isEmpty())
        return {};
    // Centre the ink (Material glyphs fill their em square; centring the ink
    // also suits the text-face characters).
    qreal x = rect.center().x() - o.advance / 2.0;
    const qreal y = rect.center().y() - (b.top() + b.bottom()) / 2.0;
    if (!g->material)
        x = rect.center().x() - (b.left() + b.right()) / 2.0;
    return o.path.translated(x, y);
}

void paint(QPainter& painter, const QString& name, qreal size, const QRectF& rect, const QBrush& brush)
{
    const QPainterPath p = path(name, size, rect);
    if (p.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(p);
    painter.restore();
}

QIcon icon(const QString& name, const QColor& color)
{
    if (!isKnown(name))
        return QIcon();
    return QIcon(new SymbolIconEngine(name, color));
}

QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio)
{
    QPixmap pm(QSize(size, size) * devicePixelRatio);
    pm.fill(Qt::transparent);
    pm.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pm);
    paint(p, name, size, QRectF(0, 0, size, size), QBrush(color));
    return pm;
}

} // namespace Symbols
