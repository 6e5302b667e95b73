#pragma once

#include "wordproc/WPPageSetup.h"

#include <QObject>
#include <QString>

class QTextDocument;

// One open word-processing document: its rich text (one QTextDocument,
// created with the document and never replaced), the header and footer
// templates and the page setup, plus where it lives on disk and in which
// format. Reading, writing and saving are added by the document services;
// the editor window works on storage() directly.
class WPDocument : public QObject {
    Q_OBJECT
public:
    explicit WPDocument(QObject* parent = nullptr);
    ~WPDocument() override;

    QTextDocument* storage() const { return m_storage; }

    QString headerText() const { return m_headerText; }
    QString footerText() const { return m_footerText; }
    void setHeaderFooter(const QString& header, const QString& footer);

    WPPageSetup pageSetup() const { return m_pageSetup; }
    // Every change reaches every window of the document (pageSetupChanged).
    void setPageSetup(const WPPageSetup& setup);

    // Absolute path of the file, empty while untitled.
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString& path);
    // The type name the document was read as or will be saved as.
    QString fileType() const { return m_fileType; }
    void setFileType(const QString& type) { m_fileType = type; }
    // "Untitled", "Untitled 2", … while untitled; else the file name.
    QString displayName() const;
    void setUntitledName(const QString& name) { m_untitledName = name; }

Q_SIGNALS:
    void headerFooterChanged();
    void pageSetupChanged();
    void filePathChanged();

private:
    QTextDocument* m_storage;
    QString m_headerText;
    QString m_footerText;
    WPPageSetup m_pageSetup;
    QString m_filePath;
    QString m_fileType = QStringLiteral("org.openxmlformats.wordprocessingml.document");
    QString m_untitledName = QStringLiteral("Untitled");
};
