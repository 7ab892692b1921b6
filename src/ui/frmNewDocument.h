#pragma once

#include "outlook/DocumentTypes.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvale {

// Where the document comes from: a new file linked to the current TimeCard, a
// new file on its own, or a file already on disk linked to the TimeCard.
enum class DocumentSource { NewLinked, NewUnlinked, ExistingFile };

struct NewDocumentChoice {
    DocumentSource source = DocumentSource::NewLinked;
    DocumentType type = DocumentType::WordDocument;
    QString directory;
    QString fileName;
};

// The selection dialog of the new-document commands. It only gathers the
// choice; OK hands it to `apply`, and the dialog closes when that reports the
// work done (a refused name keeps it open for another try).
class frmNewDocument : public QDialog {
    Q_OBJECT

public:
    using Apply = std::function<bool(const NewDocumentChoice &)>;

    // timeCardAvailable: without a saved current TimeCard only " &No link" is offered.
    frmNewDocument(const QString &caption, const NewDocumentChoice &initial, bool timeCardAvailable,
                   Apply apply, QWidget *parent = nullptr);

    NewDocumentChoice choice() const;

    QRadioButton *sourceButton(DocumentSource source) const;
    QComboBox *documentTypes() const { return m_types; }
    QLineEdit *directory() const { return m_directory; }
    QLineEdit *fileName() const { return m_fileName; }
    QGroupBox *fileFrame() const { return m_frame; }

public Q_SLOTS:
    void accept() override;

private:
    void sourceChanged();
    void browse();

    Apply m_apply;
    QButtonGroup *m_sources = nullptr;
    QComboBox *m_types = nullptr;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_directory = nullptr;
    QPushButton *m_browse = nullptr;
    QLineEdit *m_fileName = nullptr;
};

} // namespace quorvale
