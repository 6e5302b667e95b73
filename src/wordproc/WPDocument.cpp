#include "wordproc/WPDocument.h"

#include "core/SafeFile.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPPaths.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/formats/NotKept.h"
#include "wordproc/print/WPPrint.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <cmath>

namespace {

constexpr qreal kMinPaper = 72;
constexpr qreal kMaxPaper = 14400; // 200 inches, the largest page a PDF can hold
constexpr qreal kMinText = 72;
// Larger files are refused before anything is read into memory.
constexpr qint64 kMaxFileBytes = qint64(1) << 30;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

std::optional<WPFormat::DocType> docTypeFor(const QString& typeName)
{
    if (typeName.isEmpty())
        return std::nullopt;
    return WPFormat::documentType(typeName);
}

// Margins that are not finite keep `fallback`; negative ones become 0.
qreal margin(qreal value, qreal fallback)
{
    if (!std::isfinite(value))
        value = std::isfinite(fallback) ? fallback : 72;
    return qMax<qreal>(0, value);
}

// Shrinks a pair of opposite margins, keeping their proportion, until at
// least kMinText is left between them.
void fitMargins(qreal extent, qreal& a, qreal& b)
{
    const qreal room = extent - kMinText;
    if (a + b <= room)
        return;
    const qreal total = a + b;
    a = room * (a / total);
    b = room - a;
}

} // namespace

WPDocument::WPDocument(QObject* parent)
    : QObject(parent)
    , m_storage(new QTextDocument(this))
{
    connect(m_storage, &QTextDocument::modificationChanged, this, &WPDocument::reportEdited);
}

WPDocument::~WPDocument() = default;

void WPDocument::setHeaderFooter(const QString& header, const QString& footer)
{
    if (header == m_headerText && footer == m_footerText)
        return;
    m_headerText = header;
    m_footerText = footer;
    Q_EMIT headerFooterChanged();
    setEdited(true);
}

void WPDocument::setPageSetup(const WPPageSetup& setup)
{
    const WPPageSetup before = m_pageSetup;
    setPageSetupQuietly(setup);
    if (!(m_pageSetup == before))
        setEdited(true);
}

void WPDocument::setPageSetupQuietly(const WPPageSetup& setup)
{
    m_pageSetup = clamped(setup);
    Q_EMIT pageSetupChanged();
}

void WPDocument::setFilePath(const QString& path)
{
    if (path == m_filePath)
        return;
    m_filePath = path;
    Q_EMIT filePathChanged();
}

QString WPDocument::displayName() const
{
    return m_filePath.isEmpty() ? m_untitledName : QFileInfo(m_filePath).fileName();
}

void WPDocument::setUntitledName(const QString& name)
{
    if (name == m_untitledName)
        return;
    m_untitledName = name;
    if (m_filePath.isEmpty())
        Q_EMIT filePathChanged();
}

bool WPDocument::isEdited() const
{
    return m_otherEdits || m_storage->isModified();
}

void WPDocument::setEdited(bool edited)
{
    m_otherEdits = edited;
    if (!edited)
        m_storage->setModified(false);
    reportEdited();
}

void WPDocument::reportEdited()
{
    if (isEdited() == m_reportedEdited)
        return;
    m_reportedEdited = isEdited();
    Q_EMIT editedChanged(m_reportedEdited);
}

// ---- reading

bool WPDocument::read(const QString& path, const QString& typeName, QString* error)
{
    const QFileInfo info(path);
    // A pipe, a device or a kernel file would block the reader: refused
    // before anything opens it.
    if (const QString problem = WPPaths::readProblem(path); !problem.isEmpty()) {
        setError(error, problem);
        return false;
    }
    const std::optional<WPFormat::DocType> type = docTypeFor(typeName);
    if (info.isDir() || type == WPFormat::DocType::Rtfd) {
        WPDocAttributes attributes;
        QString why;
        if (!WPFormat::readRtfd(path, m_storage, &attributes, &why)) {
            setError(error, why.isEmpty() ? QStringLiteral("The file “%1” couldn’t be opened because it isn’t in "
                                                           "the correct format.")
                                                .arg(info.fileName())
                                          : why);
            return false;
        }
        apply(attributes);
        finishReading();
        return true;
    }
    QFile file(path);
    if (info.size() > kMaxFileBytes) {
        setError(error, QStringLiteral("The file “%1” is too large to open.").arg(info.fileName()));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("The file “%1” couldn’t be opened. %2").arg(info.fileName(), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("The file “%1” couldn’t be opened. %2").arg(info.fileName(), file.errorString()));
        return false;
    }
    if (!readData(bytes, typeName, error))
        return false;
    // What a save cut short beside it is of no use any more.
    SafeFile::removeLeftoversOf(path, SafeFile::kLeftoverAgeSeconds);
    return true;
}

bool WPDocument::readData(const QByteArray& data, const QString& typeName, QString* error)
{
    const std::optional<WPFormat::DocType> type = docTypeFor(typeName);
    WPDocAttributes attributes;
    if (!WPFormat::read(data, type, m_storage, &attributes, error))
        return false;
    apply(attributes);
    if (type == WPFormat::DocType::Docx) {
        // The package keeps header and footer in parts of their own, and
        // the pictures beside the text.
        if (const auto hf = Docx::readHeaderFooter(data)) {
            m_headerText = hf->first;
            m_footerText = hf->second;
            Q_EMIT headerFooterChanged();
        }
        Docx::restoreImages(data, m_storage);
    }
    finishReading();
    return true;
}

void WPDocument::clearForReading()
{
    if (!m_headerText.isEmpty() || !m_footerText.isEmpty()) {
        m_headerText.clear();
        m_footerText.clear();
        Q_EMIT headerFooterChanged();
    }
    if (!(m_pageSetup == WPPageSetup()))
        setPageSetupQuietly(WPPageSetup());
}

void WPDocument::finishReading()
{
    m_storage->clearUndoRedoStacks();
    setEdited(false);
}

void WPDocument::apply(const WPDocAttributes& attributes)
{
    m_notKeptNotice = NotKept::notice(attributes.notKept);
    setPageSetupQuietly(pageSetupFrom(m_pageSetup, attributes));
    if (attributes.comment) {
        if (const auto hf = WPHeaderFooter::decode(*attributes.comment)) {
            m_headerText = hf->first;
            m_footerText = hf->second;
            Q_EMIT headerFooterChanged();
        }
    }
}

WPPageSetup WPDocument::pageSetupFrom(const WPPageSetup& current, const WPDocAttributes& a)
{
    WPPageSetup s = current;
    if (a.paperSize && std::isfinite(a.paperSize->width()) && std::isfinite(a.paperSize->height())
        && a.paperSize->width() > 0 && a.paperSize->height() > 0)
        s.paperSize = *a.paperSize;
    s.leftMargin = a.leftMargin ? margin(*a.leftMargin, s.leftMargin) : s.leftMargin;
    s.rightMargin = a.rightMargin ? margin(*a.rightMargin, s.rightMargin) : s.rightMargin;
    s.topMargin = a.topMargin ? margin(*a.topMargin, s.topMargin) : s.topMargin;
    s.bottomMargin = a.bottomMargin ? margin(*a.bottomMargin, s.bottomMargin) : s.bottomMargin;
    return clamped(s);
}

WPPageSetup WPDocument::clamped(const WPPageSetup& setup)
{
    WPPageSetup s = setup;
    auto side = [](qreal v, qreal fallback) {
        if (!std::isfinite(v) || v <= 0)
            v = fallback;
        return qBound(kMinPaper, v, kMaxPaper);
    };
    s.paperSize = QSizeF(side(setup.paperSize.width(), 612), side(setup.paperSize.height(), 792));
    s.leftMargin = margin(s.leftMargin, 72);
    s.rightMargin = margin(s.rightMargin, 72);
    s.topMargin = margin(s.topMargin, 72);
    s.bottomMargin = margin(s.bottomMargin, 72);
    fitMargins(s.paperSize.width(), s.leftMargin, s.rightMargin);
    fitMargins(s.paperSize.height(), s.topMargin, s.bottomMargin);
    return s;
}

// ---- writing

WPDocAttributes WPDocument::documentAttributes() const
{
    WPDocAttributes a;
    a.paperSize = m_pageSetup.paperSize;
    a.leftMargin = m_pageSetup.leftMargin;
    a.rightMargin = m_pageSetup.rightMargin;
    a.topMargin = m_pageSetup.topMargin;
    a.bottomMargin = m_pageSetup.bottomMargin;
    a.comment = WPHeaderFooter::encode(m_headerText, m_footerText);
    return a;
}

std::optional<QByteArray> WPDocument::data(const QString& typeName, QString* error) const
{
    const std::optional<WPFormat::DocType> type = docTypeFor(typeName);
    if (!type || *type == WPFormat::DocType::Rtfd) {
        setError(error, QStringLiteral("Documents of the type “%1” can’t be written.").arg(typeName));
        return std::nullopt;
    }
    return WPFormat::write(*m_storage, *type, documentAttributes(), error);
}

bool WPDocument::writeTo(const QString& path, const QString& typeName, QString* error) const
{
    const std::optional<WPFormat::DocType> type = docTypeFor(typeName);
    if (type == WPFormat::DocType::Rtfd)
        return WPFormat::writeRtfd(*m_storage, documentAttributes(), path, error);
    const std::optional<QByteArray> bytes = data(typeName, error);
    if (!bytes)
        return false;
    if (!SafeFile::write(path, *bytes, error))
        return false;
    SafeFile::removeLeftoversOf(path, SafeFile::kLeftoverAgeSeconds);
    return true;
}

// ---- pictures

bool WPDocument::containsImages() const
{
    for (QTextBlock block = m_storage->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                return true;
        }
    }
    return false;
}

bool WPDocument::shouldWarnAboutPictures(const QString& typeName, SaveOperation operation) const
{
    // Cheap tests first: the walk over the text only when it matters.
    if (!pictureWarningNeeded(typeName, true, m_warnedAboutImages, operation))
        return false;
    return containsImages();
}

bool WPDocument::pictureWarningNeeded(const QString& typeName, bool containsImages, bool warnedAlready,
                                      SaveOperation operation)
{
    if (typeName == kRtfdType || typeName == kDocxType)
        return false;
    return containsImages && !warnedAlready && operation != SaveOperation::autosaveElsewhere;
}

QString WPDocument::pictureWarningTitle()
{
    return QStringLiteral("This document contains pictures");
}

QString WPDocument::pictureWarningText(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? name.mid(dot + 1).toUpper() : QString();
    return QStringLiteral("Pictures are kept in Word (.docx) and Rich Text with Attachments (.rtfd). Other formats "
                          "(%1) may save the text without the pictures. Save anyway?")
        .arg(extension);
}

// ---- PDF

QString WPDocument::printTitle() const
{
    const QString name = displayName();
    return name.isEmpty() ? QStringLiteral("Document") : name;
}

bool WPDocument::exportPDF(const QString& path) const
{
    return WPPrint::exportPDF(*m_storage, m_pageSetup, m_headerText, m_footerText, printTitle(), path);
}
