#include "ui/Fonts.h"

#include "ui/FontsFigures.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>

namespace Fonts {

namespace {

const QString kSystem = QStringLiteral("Inter");
const QString kRounded = QStringLiteral("Quicksand");
const QString kMono = QStringLiteral("DejaVu Sans Mono");
const QString kSerif = QStringLiteral("DejaVu Serif");
const QString kFallback = QStringLiteral("DejaVu Sans");

// Faces registered with Qt from their files: they may not be known to
// fontconfig, and where they are, fontconfig may list a compressed web copy
// first (slow to open). Registered by file, the plain TrueType copy is used.
const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf",
};

} // namespace

QString materialIconFile()
{
    return QString::fromUtf8(kFontFiles[0]);
}

void ensureLoaded()
{
    static const bool done = [] {
        // No listing of the installed families here: that makes fontconfig
        // enumerate every font on the system.
        for (const char* file : kFontFiles) {
            const QString path = QString::fromUtf8(file);
            if (QFileInfo::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
        return true;
    }();
    (void)done;
}

QString familyFor(Design design)
{
    switch (design) {
    case Design::Rounded:
        return kRounded;
    case Design::Monospaced:
        return kMono;
    case Design::Serif:
        return kSerif;
    case Design::Default:
        break;
    }
    return kSystem;
}

qreal pointSizeFor(qreal layoutSize)
{
    qreal dpi = 96.0;
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = app->primaryScreen())
            dpi = s->logicalDotsPerInchY();
    }
    if (dpi <= 0)
        dpi = 96.0;
    return layoutSize * 72.0 / dpi;
}

void setSize(QFont& font, qreal layoutSize)
{
    font.setPointSizeF(pointSizeFor(qMax<qreal>(layoutSize, 1.0)));
}

void setTracking(QFont& font, qreal layoutUnits)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, layoutUnits);
}

QFont system(qreal size, QFont::Weight weight, Design design)
{
    // Bold rounded text takes the copy whose figures are evenly spaced.
    const QString family = design == Design::Rounded ? roundedFamily(weight) : familyFor(design);
    QFont f(family);
    f.setFamilies({family, kFallback});
    f.setWeight(weight);
    setSize(f, size);
    f.setStyleHint(design == Design::Monospaced ? QFont::Monospace
                   : design == Design::Serif    ? QFont::Serif
                                                : QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont style(TextStyle textStyle, Design design)
{
    switch (textStyle) {
    case TextStyle::LargeTitle:
        return system(26, QFont::Normal, design);
    case TextStyle::Title:
        return system(22, QFont::Normal, design);
    case TextStyle::Title2:
        return system(17, QFont::Normal, design);
    case TextStyle::Title3:
        return system(15, QFont::Normal, design);
    case TextStyle::Headline:
        return system(13, QFont::DemiBold, design);
    case TextStyle::Body:
        return system(13, QFont::Normal, design);
    case TextStyle::Callout:
        return system(12, QFont::Normal, design);
    case TextStyle::Subheadline:
        return system(11, QFont::Normal, design);
    case TextStyle::Footnote:
    case TextStyle::Caption:
    case TextStyle::Caption2:
        return system(10, QFont::Normal, design);
    }
    return system(13, QFont::Normal, design);
}

QString nearestFamily(const QString& family)
{
    if (family.isEmpty())
        return kSystem;
    if (QFontDatabase::hasFamily(family))
        return family;
    return standIn(family);
}

QString standIn(const QString& family)
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("helvetica neue"), kSystem},   {QStringLiteral("helvetica"), kSystem},
        {QStringLiteral("arial"), kSystem},            {QStringLiteral("sf pro"), kSystem},
        {QStringLiteral("sf pro text"), kSystem},      {QStringLiteral("sf pro display"), kSystem},
        {QStringLiteral("system font"), kSystem},
        {QStringLiteral("lucida grande"), kSystem},    {QStringLiteral("avenir"), kSystem},
        {QStringLiteral("avenir next"), kSystem},      {QStringLiteral("calibri"), kSystem},
        {QStringLiteral("verdana"), kSystem},          {QStringLiteral("gill sans"), kSystem},
        {QStringLiteral("futura"), kSystem},           {QStringLiteral("optima"), kSystem},
        {QStringLiteral("marker felt"), kRounded},     {QStringLiteral("chalkboard"), kRounded},
        {QStringLiteral("chalkboard se"), kRounded},   {QStringLiteral("noteworthy"), kRounded},
        {QStringLiteral("comic sans ms"), kRounded},   {QStringLiteral("sf pro rounded"), kRounded},
        {QStringLiteral("arial rounded mt bold"), kRounded},
        {QStringLiteral("menlo"), kMono},              {QStringLiteral("monaco"), kMono},
        {QStringLiteral("courier"), kMono},            {QStringLiteral("courier new"), kMono},
        {QStringLiteral("sf mono"), kMono},            {QStringLiteral("andale mono"), kMono},
        {QStringLiteral("american typewriter"), kMono},
        {QStringLiteral("times"), kSerif},             {QStringLiteral("times new roman"), kSerif},
        {QStringLiteral("georgia"), kSerif},           {QStringLiteral("palatino"), kSerif},
        {QStringLiteral("baskerville"), kSerif},       {QStringLiteral("didot"), kSerif},
        {QStringLiteral("cambria"), kSerif},           {QStringLiteral("new york"), kSerif},
        {QStringLiteral("hoefler text"), kSerif},      {QStringLiteral("garamond"), kSerif},
    };
    const QString key = family.trimmed().toLower();
    if (auto it = map.constFind(key); it != map.constEnd())
        return *it;
    const QString lowered = key;
    if (lowered.contains(QStringLiteral("mono")) || lowered.contains(QStringLiteral("courier")))
        return kMono;
    if (lowered.contains(QStringLiteral("serif")) && !lowered.contains(QStringLiteral("sans")))
        return kSerif;
    return kSystem;
}

QFont named(const QString& family, qreal size, QFont::Weight weight)
{
    ensureLoaded();
    const QString face = nearestFamily(family);
    QFont f(face);
    f.setFamilies({face, kFallback});
    f.setWeight(weight);
    setSize(f, size);
    return f;
}

} // namespace Fonts
