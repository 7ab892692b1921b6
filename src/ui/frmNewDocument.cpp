#include "frmNewDocument.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

constexpr const char *LinkedFrame = "Select Directory and Enter Name of New Linked File";
constexpr const char *UnlinkedFrame = "Select Directory and Enter Name of New File";

} // namespace

frmNewDocument::frmNewDocument(const QString &caption, const NewDocumentChoice &initial,
                               bool timeCardAvailable, Apply apply, QWidget *parent)
    : QDialog(parent), m_apply(std::move(apply))
{
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);

    auto *sourceFrame = new QGroupBox(tr("Document source"), this);
    auto *sourceLayout = new QVBoxLayout(sourceFrame);
    m_sources = new QButtonGroup(this);
    const auto addSource = [&](const QString &text, DocumentSource source) {
        auto *button = new QRadioButton(text, sourceFrame);
        button->setEnabled(timeCardAvailable || source == DocumentSource::NewUnlinked);
        m_sources->addButton(button, static_cast<int>(source));
        sourceLayout->addWidget(button);
    };
    addSource(QStringLiteral(" &Link new document to current TimeCard"), DocumentSource::NewLinked);
    addSource(QStringLiteral(" &No link"), DocumentSource::NewUnlinked);
    addSource(QStringLiteral("&Select document to link from file system."),
              DocumentSource::ExistingFile);
    layout->addWidget(sourceFrame);

    auto *typeRow = new QHBoxLayout;
    auto *typeLabel = new QLabel(tr("Document &type:"), this);
    m_types = new QComboBox(this);
    m_types->setObjectName(QStringLiteral("cbDocType"));
    m_types->addItems(documentTypeList());
    m_types->setCurrentIndex(static_cast<int>(initial.type));
    typeLabel->setBuddy(m_types);
    typeRow->addWidget(typeLabel);
    typeRow->addWidget(m_types, 1);
    layout->addLayout(typeRow);

    m_frame = new QGroupBox(this);
    auto *grid = new QGridLayout(m_frame);
    auto *directoryLabel = new QLabel(tr("&Directory:"), m_frame);
    m_directory = new QLineEdit(initial.directory, m_frame);
    directoryLabel->setBuddy(m_directory);
    m_browse = new QPushButton(tr("B&rowse..."), m_frame);
    m_browse->setAutoDefault(false);
    m_browse->setAccessibleName(tr("Browse for the directory"));
    auto *nameLabel = new QLabel(tr("File na&me:"), m_frame);
    m_fileName = new QLineEdit(initial.fileName, m_frame);
    nameLabel->setBuddy(m_fileName);
    grid->addWidget(directoryLabel, 0, 0);
    grid->addWidget(m_directory, 0, 1);
    grid->addWidget(m_browse, 0, 2);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_fileName, 1, 1, 1, 2);
    layout->addWidget(m_frame);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    const DocumentSource start = timeCardAvailable ? initial.source : DocumentSource::NewUnlinked;
    m_sources->button(static_cast<int>(start))->setChecked(true);
    sourceChanged();

    connect(m_sources, &QButtonGroup::idClicked, this, [this](int) { sourceChanged(); });
    connect(m_browse, &QPushButton::clicked, this, &frmNewDocument::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmNewDocument::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmNewDocument::reject);
}

QRadioButton *frmNewDocument::sourceButton(DocumentSource source) const
{
    return static_cast<QRadioButton *>(m_sources->button(static_cast<int>(source)));
}

NewDocumentChoice frmNewDocument::choice() const
{
    NewDocumentChoice c;
    c.source = static_cast<DocumentSource>(m_sources->checkedId());
    c.type = documentTypeFromCode(m_types->currentIndex());
    c.directory = m_directory->text().trimmed();
    c.fileName = m_fileName->text();
    return c;
}

void frmNewDocument::sourceChanged()
{
    const DocumentSource source = static_cast<DocumentSource>(m_sources->checkedId());
    const bool creating = source != DocumentSource::ExistingFile;
    // An existing file brings its own type and name; the folder is where the
    // search for it starts.
    m_types->setEnabled(creating);
    m_fileName->setEnabled(creating);
    m_frame->setTitle(
        QLatin1String(source == DocumentSource::NewLinked ? LinkedFrame : UnlinkedFrame));
}

void frmNewDocument::browse()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Select the Document Directory from the following list."),
        m_directory->text());
    if (!chosen.isEmpty())
        m_directory->setText(chosen);
}

void frmNewDocument::accept()
{
    if (!m_apply || m_apply(choice()))
        QDialog::accept();
}

} // namespace quorvale
