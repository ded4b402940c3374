#include "ui/pages/destination_page.h"

#include "app/settings.h"
#include "encoding/encoder_factory.h"
#include "metadata/naming.h"
#include "platform/folders.h"
#include "platform/system_error.h"
#include "ui/controls/browse_button.h"
#include "ui/controls/contrast.h"
#include "ui/controls/note_label.h"
#include "ui/controls/pictures.h"
#include "ui/controls/preview_strip.h"
#include "ui/label_text.h"
#include "ui/pages/format_page.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace tesslow {


DestinationPage::DestinationPage(const PageContext& context)
    : WizardPage(PageId::Destination, context),
      folder_(new QLineEdit(this)),
      artist_(new QCheckBox(QStringLiteral("Create \"&Artist\" subfolder"), this)),
      album_(new QCheckBox(QStringLiteral("Create \"A&lbum\" subfolder"), this)),
      year_(new QCheckBox(QStringLiteral("Add &year to folder name"), this)),
      folderPreview_(new PreviewStrip(LoadPicture(context.skin.previewStrip), PreviewStrip::Shortening::Middle, this)),
      template_(new QLineEdit(this)),
      templateWarning_(new QLabel(this)),
      filePreview_(new PreviewStrip(LoadPicture(context.skin.previewStrip), PreviewStrip::Shortening::End, this)),
      overwrite_(new QCheckBox(QStringLiteral("If files exist &overwrite without prompt"), this))
{
    folder_->setObjectName(QStringLiteral("folderEdit"));
    artist_->setObjectName(QStringLiteral("artistBox"));
    album_->setObjectName(QStringLiteral("albumBox"));
    year_->setObjectName(QStringLiteral("yearBox"));
    folderPreview_->setObjectName(QStringLiteral("folderPreview"));
    template_->setObjectName(QStringLiteral("templateEdit"));
    templateWarning_->setObjectName(QStringLiteral("templateWarning"));
    filePreview_->setObjectName(QStringLiteral("filePreview"));
    overwrite_->setObjectName(QStringLiteral("overwriteBox"));
    auto* browse = new BrowseButton;
    browse->setObjectName(QStringLiteral("browseButton"));
    AttachBuddyButton(folder_, browse);
    QPalette red = templateWarning_->palette();
    // Dark red on a light window, light red on a dark one.
    const QColor window = red.color(QPalette::Window);
    red.setColor(QPalette::WindowText, ContrastRatio(window, QColor(0xb0, 0x20, 0x20)) >= 4.5 ? QColor(0xb0, 0x20, 0x20)
                                                                                              : QColor(0xff, 0x8a, 0x80));
    templateWarning_->setPalette(red);
    templateWarning_->setWordWrap(true);
    templateWarning_->hide();

    auto* prompt = new QLabel(context.skin.folderPrompt, this);
    prompt->setBuddy(folder_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(prompt);
    layout->addWidget(folder_);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(artist_);
    boxes->addWidget(album_);
    boxes->addWidget(year_);
    boxes->addStretch(1);
    layout->addLayout(boxes);
    auto* previews = new QGridLayout;
    previews->addWidget(new QLabel(QStringLiteral("Output folder is:"), this), 0, 0);
    previews->addWidget(folderPreview_, 0, 1);
    auto* templateLabel = new QLabel(QStringLiteral("File name &template is:"), this);
    templateLabel->setBuddy(template_);
    previews->addWidget(templateLabel, 1, 0);
    previews->addWidget(template_, 1, 1);
    QLabel* legend = MakeNoteLabel(QStringLiteral("%1 - Artist, %2 - Track title, %3 - Album name, %4 - Year, %5 - Track No"), this);
    legend->setAlignment(Qt::AlignRight);
    previews->addWidget(legend, 2, 1);
    previews->addWidget(templateWarning_, 3, 1);
    previews->addWidget(new QLabel(QStringLiteral("File names will be like:"), this), 4, 0);
    previews->addWidget(filePreview_, 4, 1);
    previews->setColumnStretch(1, 1);
    layout->addLayout(previews);
    layout->addWidget(overwrite_);
    layout->addStretch(1);

    connect(folder_, &QLineEdit::textChanged, this, &DestinationPage::Refresh);
    connect(template_, &QLineEdit::textChanged, this, &DestinationPage::Refresh);
    connect(artist_, &QCheckBox::clicked, this, &DestinationPage::Refresh);
    connect(year_, &QCheckBox::clicked, this, &DestinationPage::Refresh);
    connect(album_, &QCheckBox::clicked, this, [this](bool checked) {
        year_->setEnabled(checked);  // only a click on the album box changes the year box's state
        Refresh();
    });
    connect(browse, &QAbstractButton::clicked, this, &DestinationPage::Browse);
}

QString DestinationPage::Subtitle() const { return QStringLiteral("Where you would like audio tracks to be saved?"); }

void DestinationPage::OnSetActive()
{
    const Settings settings;
    const QSignalBlocker quietFolder(folder_), quietTemplate(template_);
    folder_->setText(QString::fromStdString(settings.LastFolder));
    artist_->setChecked(settings.CreateArtistSubfolder != 0);
    album_->setChecked(settings.CreateAlbumSubfolder != 0);
    year_->setChecked(settings.AddYearToFolderName != 0);
    template_->setText(QString::fromStdString(settings.NameTemplate));
    overwrite_->setChecked(settings.AlwaysOverwrite != 0);
    Refresh();
}

std::string DestinationPage::ComposedFolder() const
{
    const SubfolderChoice choice{artist_->isChecked(), album_->isChecked(), year_->isChecked()};
    return ComposeOutputFolder(folder_->text().toStdString(), choice, (*State().records)[State().job.driveKey]);
}

void DestinationPage::Refresh()
{
    folderPreview_->SetText(LabelText(ComposedFolder()));
    const DiscRecord& disc = (*State().records)[State().job.driveKey];
    const std::string name = ExpandNameTemplate(disc, 0, template_->text().toStdString());
    filePreview_->SetText(LabelText(name + TargetExtension(ChosenFormat(State()))));
    // A name of nothing but separators, dots and spaces names no file; a
    // template without the title or the track number names every track alike.
    const bool named = name.find_first_not_of("/ ._-") != std::string::npos;
    const bool apart = TemplateTellsTracksApart(template_->text().toStdString());
    const bool usable = named && apart;
    templateWarning_->setText(!named ? QStringLiteral("This template gives no file name: put some text or %1 to %5 into it.")
                                     : QStringLiteral("This template gives every track the same name: put %2 or %5 into it."));
    templateWarning_->setVisible(!usable);
    Frame().SetButtons({.next = usable ? ButtonState::Enabled : ButtonState::Disabled});
}

void DestinationPage::Browse()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, {}, folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
}

void DestinationPage::OnLeave()
{
    Settings settings;
    settings.WriteLastFolder(folder_->text().toStdString());
    settings.WriteSubfolders(artist_->isChecked(), album_->isChecked(), year_->isChecked());
    settings.WriteNameTemplate(template_->text().toStdString());
    settings.WriteAlwaysOverwrite(overwrite_->isChecked());
    RipChoices& choices = State().choices;
    choices.destination = folder_->text().toStdString();
    choices.artistFolder = artist_->isChecked();
    choices.albumFolder = album_->isChecked();
    choices.yearInAlbumFolder = year_->isChecked();
    choices.nameTemplate = template_->text().toStdString();
    choices.alwaysOverwrite = overwrite_->isChecked();
}

PageTurn DestinationPage::OnWizardNext()
{
    // Every choice is in: the job is built as the command line builds its own.
    WizardState& state = State();
    try {
        state.job = PlanRip(Settings(), state.choices, state.job.driveKey, (*state.records)[state.job.driveKey]).job;
    } catch (const RipChoiceError& error) {
        QMessageBox::warning(this, QStringLiteral("Tesslow"),
                             QStringLiteral("These choices cannot make a rip: %1.").arg(QString::fromStdString(error.what())));
        return PageTurn::Stay();
    }
    const std::string problem = FolderProblem(state.job.OutputFolder);
    if (problem.empty()) return PageTurn::Onward();
    QMessageBox::warning(this, QStringLiteral("Tesslow"),
                         QStringLiteral("The files cannot be saved in this folder (%1). Please choose another one.")
                             .arg(QString::fromStdString(problem)));
    folder_->setFocus();
    return PageTurn::Stay();
}

PageTurn DestinationPage::OnWizardBack()
{
    if (HasQualityChoice(ChosenFormat(State()))) return PageTurn::Onward();
    return PageTurn::ToTemplate(TemplateOf(PageId::Format));
}

}  // namespace tesslow
