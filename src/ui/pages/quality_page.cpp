#include "ui/pages/quality_page.h"

#include "app/settings.h"
#include "encoding/presets.h"
#include "ripper/stored_choices.h"
#include "ui/controls/note_label.h"
#include "ui/pages/format_page.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tesslow {
QualityPage::QualityPage(const PageContext& context)
    : WizardPage(PageId::Quality, context), slider_(new QSlider(Qt::Horizontal, this)), step_(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* intro = new QLabel(QStringLiteral("Setting audio quality is a very important step. We have prepared three "
                                            "presets for you."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* more = new QLabel(QStringLiteral("High quality preset makes your audio files sound very similar to original "
                                           "audio disc. Low one instead focuses on reducing file size but you will "
                                           "probably notice some distortions. Meduim one is a gold mean of both and a "
                                           "good choice in most cases."),
                            this);
    more->setWordWrap(true);
    layout->addWidget(more);

    const char* const labels[] = {"&Low quality", "&Medium quality", "&High quality", "&Custom quality:"};
    const char* const names[] = {"presetLow", "presetMedium", "presetHigh", "presetCustom"};
    const char* const notes[] = {"Recommended for saving disc capacity or network bandwidth.",
                                 "Good choice for home music collections.",
                                 "Best choice for melomaniacs and music professionals."};
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        presets_[i] = new QRadioButton(QString::fromUtf8(labels[i]), this);
        presets_[i]->setObjectName(QString::fromLatin1(names[i]));
        group->addButton(presets_[i], i);
        layout->addWidget(presets_[i]);
        if (i < 3) {
            QLabel* note = MakeNoteLabel(QString::fromUtf8(notes[i]), this);
            note->setContentsMargins(22, 0, 0, 0);
            layout->addWidget(note);
        }
    }
    slider_->setObjectName(QStringLiteral("qualitySlider"));
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setPageStep(1);
    step_->setObjectName(QStringLiteral("qualityStep"));
    step_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    step_->setMinimumWidth(step_->fontMetrics().horizontalAdvance(QStringLiteral("320 kbps")) + 8);
    auto* custom = new QHBoxLayout;
    custom->setContentsMargins(22, 0, 0, 0);
    custom->addWidget(slider_, 1);
    custom->addWidget(step_);
    layout->addLayout(custom);
    layout->addStretch(1);

    connect(group, &QButtonGroup::idClicked, this, &QualityPage::EnableSlider);
    connect(slider_, &QSlider::valueChanged, this, &QualityPage::ShowStep);
}

QString QualityPage::Subtitle() const { return QStringLiteral("How good do you want your audio files to sound?"); }

void QualityPage::OnSetActive()
{
    Frame().SetButtons({});
    const Settings settings;
    const FormatCode format = ChosenFormat(State());
    const auto steps = QualitySteps(format);
    slider_->setRange(0, std::max<int>(0, static_cast<int>(steps.size()) - 1));
    // The slider clamps a stored position outside the table.
    slider_->setValue(static_cast<int>(std::min<std::uint32_t>(StoredStep(settings, format), 1000)));
    ShowStep();
    presets_[static_cast<std::size_t>(StoredPreset(settings))]->setChecked(true);
    EnableSlider();
}

void QualityPage::ShowStep()
{
    const auto steps = QualitySteps(ChosenFormat(State()));
    const int at = slider_->value();
    step_->setText(at < static_cast<int>(steps.size()) ? QString::fromUtf8(steps[static_cast<std::size_t>(at)].label)
                                                       : QString());
}

void QualityPage::EnableSlider()
{
    const bool custom = presets_[3]->isChecked();
    slider_->setEnabled(custom);
    step_->setEnabled(custom);
}

void QualityPage::OnLeave()
{
    int preset = 1;
    for (int i = 0; i < 4; ++i) {
        if (presets_[i]->isChecked()) preset = i;
    }
    Settings settings;
    settings.WriteLastPreset(static_cast<QualityPreset>(preset));
    settings.WriteLastQualityValue(ChosenFormat(State()), static_cast<std::uint32_t>(slider_->value()));
    RipChoices& choices = State().choices;
    choices.preset = static_cast<QualityPreset>(preset);
    choices.qualityStep = static_cast<std::uint32_t>(slider_->value());
}

}  // namespace tesslow
