#pragma once

#include "wordproc/WPDocAttributes.h"
#include "wordproc/WPPageSetup.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class QTextDocument;

// One open word-processing document: its rich text (one QTextDocument,
// created with the document and never replaced), the header and footer
// templates and the page setup, plus where it lives on disk and in which
// format. It reads itself from a file, writes itself in any of the word
// processor's formats and exports itself as PDF; the panels and prompts
// around those steps belong to the document controller. The editor window
// works on storage() directly.
class WPDocument : public QObject {
    Q_OBJECT
public:
    static inline const QString kDocxType = QStringLiteral("org.openxmlformats.wordprocessingml.document");
    static inline const QString kRtfdType = QStringLiteral("com.apple.rtfd");

    // Why a save happens; an autosave to another place never warns.
    enum class SaveOperation { save, saveAs, saveTo, autosaveElsewhere };

    explicit WPDocument(QObject* parent = nullptr);
    ~WPDocument() override;

    QTextDocument* storage() const { return m_storage; }

    QString headerText() const { return m_headerText; }
    QString footerText() const { return m_footerText; }
    // Marks the document edited when either text changes.
    void setHeaderFooter(const QString& header, const QString& footer);

    WPPageSetup pageSetup() const { return m_pageSetup; }
    // Every change reaches every window of the document (pageSetupChanged)
    // and marks the document edited. Values that would leave less than an
    // inch for the text are brought back into range (clamped()).
    void setPageSetup(const WPPageSetup& setup);

    // Absolute path of the file, empty while untitled.
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString& path);
    // The type name the document was read as or will be saved as.
    QString fileType() const { return m_fileType; }
    void setFileType(const QString& type) { m_fileType = type; }
    // "Untitled", "Untitled 2", … while untitled; else the file name.
    QString displayName() const;
    void setUntitledName(const QString& name);
    QString untitledName() const { return m_untitledName; }

    // Edited: the text changed since it was read or saved, or the header,
    // footer or page setup did.
    bool isEdited() const;
    void setEdited(bool edited);

    // Reading replaces the whole text and takes the page setup and the
    // header/footer the file carries. `typeName` may be empty (the format
    // is then detected). A directory is always read as RTFD. On failure the
    // reason is in `error`; a failed read of a file whose bytes could not
    // even be loaded leaves the document as it was.
    bool read(const QString& path, const QString& typeName, QString* error);
    // Back to what a new document holds before reading: no header or
    // footer and the default page setup (without marking it edited), so
    // that reading a file again gives what opening it would.
    void clearForReading();
    bool readData(const QByteArray& data, const QString& typeName, QString* error);

    // The file contents in `typeName` (never RTFD, which is a directory).
    std::optional<QByteArray> data(const QString& typeName, QString* error) const;
    // Writes the document to `path` atomically: a file through SafeFile,
    // RTFD through a temporary directory renamed into place. On failure the
    // previous file is untouched and `error` says why.
    bool writeTo(const QString& path, const QString& typeName, QString* error) const;

    // Paper size, margins and the header/footer record, as the writers take
    // them; and their reverse, installing what a reader found.
    WPDocAttributes documentAttributes() const;
    void apply(const WPDocAttributes& attributes);

    // What the file read last held that the document cannot keep, as the
    // sentence the editor shows above the text; empty when nothing.
    QString notKeptNotice() const { return m_notKeptNotice; }

    // True when the text holds at least one picture.
    bool containsImages() const;

    // Set once the picture warning has been shown for this document,
    // whatever the answer; never saved with the document.
    bool warnedAboutImages() const { return m_warnedAboutImages; }
    void setWarnedAboutImages() { m_warnedAboutImages = true; }
    // Whether saving as `typeName` must first ask about losing pictures.
    bool shouldWarnAboutPictures(const QString& typeName, SaveOperation operation) const;

    // The document as a PDF file at `path`, with its page setup and its
    // header and footer; false (and the path untouched) on failure.
    bool exportPDF(const QString& path) const;
    // The title "{title}" prints: the display name, or "Document".
    QString printTitle() const;

    // Pure rules, public for the callers that need them without a document.
    static bool pictureWarningNeeded(const QString& typeName, bool containsImages, bool warnedAlready,
                                     SaveOperation operation);
    static QString pictureWarningTitle();
    static QString pictureWarningText(const QString& path);
    // A page setup whose paper is at least 72 points (at most 14400) each
    // way and whose margins are finite, not negative and leave at least 72
    // points of text width and height.
    static WPPageSetup clamped(const WPPageSetup& setup);
    // `current` with what `attributes` holds of the right kind, clamped.
    static WPPageSetup pageSetupFrom(const WPPageSetup& current, const WPDocAttributes& attributes);

Q_SIGNALS:
    void headerFooterChanged();
    void pageSetupChanged();
    void filePathChanged();
    void editedChanged(bool edited);

private:
    void setPageSetupQuietly(const WPPageSetup& setup);
    void finishReading();
    void reportEdited();

    QTextDocument* m_storage;
    QString m_headerText;
    QString m_footerText;
    WPPageSetup m_pageSetup;
    QString m_filePath;
    QString m_fileType = kDocxType;
    QString m_untitledName = QStringLiteral("Untitled");
    bool m_otherEdits = false;
    bool m_reportedEdited = false;
    bool m_warnedAboutImages = false;
    QString m_notKeptNotice;
};
