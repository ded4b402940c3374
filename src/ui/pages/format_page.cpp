#include "ui/pages/format_page.h"

#include "app/settings.h"
#include "encoding/presets.h"
#include "ripper/stored_choices.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/note_label.h"
#include "ui/help.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tesslow {
namespace {

struct FormatRadio {
    FormatCode code;
    const char* label;
    const char* name;
};
constexpr FormatRadio kLossless[] = {
    {FormatCode::Wav, "W&AV (uncompressed audio tracks)", "formatWav"},
    {FormatCode::Ape, "A&PE (save to MonkeyAudio format)", "formatApe"},
    {FormatCode::Flac, "&FLAC (process using Free Lossless Audio Codec)", "formatFlac"},
};
constexpr FormatRadio kLossy[] = {
    {FormatCode::Mp3, "&MP3 (automatically compress to MP3 audio format)", "formatMp3"},
    {FormatCode::Wma, "&WMA (use Microsoft Windows Media Audio for compression)", "formatWma"},
    {FormatCode::Ogg, "&OGG (compress to OggVorbis format)", "formatOgg"},
};

constexpr int kFormatsHelp = 6;

}  // namespace

bool HasQualityChoice(FormatCode format)
{
    const FormatInfo* info = FindFormat(format);
    return info && !info->lossless;
}

FormatCode ChosenFormat(const WizardState& state)
{
    return state.choices.format.value_or(StoredFormat(Settings()));
}

FormatPage::FormatPage(const PageContext& context) : WizardPage(PageId::Format, context)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    const QString linkText = QStringLiteral("Audio format defines the way your audio files are created. Click "
                                            "<a>here</a> to learn more about supported audio formats.");
    HyperlinkLabel* link = context.skin.twoLineFormatLink ? new TwoLineHyperlink(this) : new HyperlinkLabel(linkText, this);
    link->setObjectName(QStringLiteral("formatsLink"));
    connect(link, &HyperlinkLabel::clicked, this,
            [this] { OpenHelp(Context().shell, Settings().AppPath, kFormatsHelp); });
    layout->addWidget(link);

    auto* group = new QButtonGroup(this);
    auto addGroup = [&](const char* title, std::span<const FormatRadio> radios, const char* note) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* column = new QVBoxLayout(box);
        column->setSpacing(2);
        column->setContentsMargins(8, 4, 8, 4);
        for (const FormatRadio& radio : radios) {
            auto* button = new QRadioButton(QString::fromUtf8(radio.label), box);
            button->setObjectName(QString::fromLatin1(radio.name));
            group->addButton(button);
            radios_[radio.code] = button;
            column->addWidget(button);
        }
        column->addWidget(MakeNoteLabel(QString::fromUtf8(note), box));
        layout->addWidget(box);
    };
    addGroup("Lossless audio formats", kLossless,
             "Lossless encoding is similar to ZIP compression. When playing or burning a CD you get a bit-exact copy "
             "of the source.");
    addGroup("Lossy audio formats", kLossy, "These achieve much better compression ratio but introduce some distortions.");
    layout->addStretch(1);
}

QString FormatPage::Subtitle() const { return QStringLiteral("What type of audio files you want to create?"); }

void FormatPage::OnSetActive()
{
    Frame().SetButtons({});
    radios_.at(StoredFormat(Settings()))->setChecked(true);
}

void FormatPage::OnLeave()
{
    for (const auto& [code, radio] : radios_) {
        if (!radio->isChecked()) continue;
        State().choices.format = code;
        Settings().WriteLastFormat(code);
    }
}

PageTurn FormatPage::OnWizardNext()
{
    if (HasQualityChoice(ChosenFormat(State()))) return PageTurn::Onward();
    return PageTurn::ToTemplate(TemplateOf(PageId::Destination));
}

}  // namespace tesslow
