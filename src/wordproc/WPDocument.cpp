#include "wordproc/WPDocument.h"

#include <QFileInfo>
#include <QTextDocument>

WPDocument::WPDocument(QObject* parent)
    : QObject(parent)
    , m_storage(new QTextDocument(this))
{
}

WPDocument::~WPDocument() = default;

void WPDocument::setHeaderFooter(const QString& header, const QString& footer)
{
    if (header == m_headerText && footer == m_footerText)
        return;
    m_headerText = header;
    m_footerText = footer;
    Q_EMIT headerFooterChanged();
}

void WPDocument::setPageSetup(const WPPageSetup& setup)
{
    m_pageSetup = setup;
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
