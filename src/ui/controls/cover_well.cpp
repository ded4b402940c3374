#include "ui/controls/cover_well.h"

#include "metadata/cover_cache.h"
#include "ui/qt_message_sink.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <mutex>
#include <optional>

namespace tesslow {

namespace {

constexpr int kWellPixels = 128;
constexpr std::uint32_t kLookupEnded = 1;

// "500x500 JPEG"
QString Summary(const CoverPicture& picture)
{
    return QStringLiteral("%1x%2 %3").arg(picture.width).arg(picture.height).arg(
        picture.mime == "image/png" ? QStringLiteral("PNG") : QStringLiteral("JPEG"));
}

}  // namespace

// What the newest look-up found, handed from its thread to the GUI thread.
struct CoverWell::Shared {
    std::mutex mutex;
    std::uint64_t generation = 0;
    QImage image;          // scaled to the well; null: no picture
    QString text;          // where it came from, or why there is none, in a line or two
    QString detail;        // more of why, for the tooltip
    std::string keptFile;  // a chosen picture's copy in the cover cache
    bool refused = false;  // a chosen file that is no picture: the well stays as it was
};

CoverWell::CoverWell(QWidget* parent, CoverWish wish)
    : QWidget(parent),
      picture_(new QLabel(this)),
      source_(new QLabel(this)),
      choose_(new QPushButton(QStringLiteral("C&hoose..."), this)),
      remove_(new QPushButton(QStringLiteral("&Remove"), this)),
      shared_(std::make_shared<Shared>()),
      cacheFolder_(wish.cacheFolder)
{
    setObjectName(QStringLiteral("coverWell"));
    picture_->setObjectName(QStringLiteral("coverPicture"));
    source_->setObjectName(QStringLiteral("coverSource"));
    choose_->setObjectName(QStringLiteral("coverChoose"));
    remove_->setObjectName(QStringLiteral("coverRemove"));
    picture_->setFixedSize(kWellPixels, kWellPixels);
    picture_->setFrameShape(QFrame::StyledPanel);
    picture_->setFrameShadow(QFrame::Sunken);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setWordWrap(true);
    source_->setWordWrap(true);
    source_->setFixedWidth(kWellPixels + 40);
    // Room for two lines from the start: the text that comes later never squeezes the buttons.
    source_->setMinimumHeight(source_->fontMetrics().lineSpacing() * 2 + 4);
    source_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    remove_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose_);
    buttons->addWidget(remove_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addWidget(source_);
    layout->addLayout(buttons);
    layout->addStretch();

    sink_ = std::make_shared<QtMessageSink>([this](const Message& message) -> std::intptr_t {
        if (message.id == kLookupEnded) Arrived(message.wParam);
        return 0;
    });
    connect(choose_, &QPushButton::clicked, this, &CoverWell::ChooseWithDialog);
    connect(remove_, &QPushButton::clicked, this, &CoverWell::Remove);
    Start(std::move(wish), false);
}

CoverWell::~CoverWell()
{
    sink_->Close();
    // Never waits: a fetch still under way ends on its own.
    for (WorkerThread& lookup : lookups_)
        if (lookup.Running()) (void)lookup.WaitFor(std::chrono::milliseconds(0));
}

void CoverWell::Start(CoverWish wish, bool chosen)
{
    const std::uint64_t generation = ++generation_;
    looking_ = true;
    if (!hasPicture_) picture_->setText(QStringLiteral("Looking..."));
    // Scaled for the screen's pixels, so a high-density screen shows it sharp.
    const qreal ratio = devicePixelRatioF();
    lookups_.emplace_back([shared = shared_, sink = sink_, wish = std::move(wish), chosen, generation, ratio] {
        QImage image;
        QString text;
        QString detail;  // the whole story, as the line's tooltip
        std::string kept;
        bool refused = false;
        if (chosen) {
            std::string why;
            if (const auto picture = ReadCoverPictureFile(wish.file, &why)) {
                const CoverCache cache(wish.cacheFolder.empty() ? DefaultCoverCacheFolder()
                                                                : std::filesystem::path(wish.cacheFolder));
                kept = cache.KeepOwn(*picture).value_or(std::filesystem::path(wish.file)).string();
                image = QImage::fromData(reinterpret_cast<const uchar*>(picture->bytes.data()),
                                         static_cast<int>(picture->bytes.size()));
                text = QStringLiteral("Your picture\n%1").arg(Summary(*picture));
            } else {
                refused = true;
                text = QStringLiteral("Not taken: %1").arg(QString::fromStdString(why));
            }
        } else {
            CoverArtFetch fetch(wish);
            const std::shared_ptr<const CoverPicture> picture = fetch.Picture();
            const CoverOutcome outcome = fetch.Outcome();
            if (picture) {
                image = QImage::fromData(reinterpret_cast<const uchar*>(picture->bytes.data()),
                                         static_cast<int>(picture->bytes.size()));
                const bool own = outcome.source == CoverOutcome::Source::File;
                text = (own ? QStringLiteral("Your picture\n%1") : QStringLiteral("Cover Art Archive\n%1"))
                           .arg(Summary(*picture));
            } else {
                text = wish.noCover && wish.file.empty() ? QStringLiteral("Removed") : QStringLiteral("None found");
                detail = QString::fromStdString(outcome.problem);
            }
        }
        if (!image.isNull()) {
            const int side = static_cast<int>((kWellPixels - 4) * ratio);
            image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio);
        }
        {
            std::lock_guard lock(shared->mutex);
            if (generation < shared->generation) return;
            shared->generation = generation;
            shared->image = std::move(image);
            shared->text = std::move(text);
            shared->detail = std::move(detail);
            shared->keptFile = std::move(kept);
            shared->refused = refused;
        }
        sink->Post(kLookupEnded, generation, 0);
    });
}

void CoverWell::Arrived(std::uint64_t generation)
{
    if (generation != generation_) return;  // a later look-up replaces this one
    std::lock_guard lock(shared_->mutex);
    if (shared_->refused) {
        // The well keeps what it showed; the line says why the file was not taken.
        if (!hasPicture_) picture_->setText(QStringLiteral("No cover"));  // a text would replace the picture
        source_->setText(shared_->text);
        source_->setToolTip(shared_->text);
        looking_ = false;
        emit Shown();
        return;
    }
    if (!shared_->keptFile.empty()) {
        choice_ = Choice::Chosen;
        chosenFile_ = shared_->keptFile;
    }
    hasPicture_ = !shared_->image.isNull();
    if (hasPicture_)
        picture_->setPixmap(QPixmap::fromImage(shared_->image));
    else
        picture_->setText(QStringLiteral("No cover"));
    source_->setText(shared_->text);
    source_->setToolTip(shared_->detail);
    looking_ = false;
    remove_->setEnabled(hasPicture_);
    emit Shown();
}

void CoverWell::ChooseFile(const QString& path)
{
    CoverWish wish;
    wish.file = path.toStdString();
    wish.cacheFolder = cacheFolder_;
    Start(std::move(wish), true);
}

void CoverWell::ChooseWithDialog()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Choose a cover picture"), QString(),
                                                      QStringLiteral("Pictures (*.jpg *.jpeg *.png)"));
    if (!path.isEmpty()) ChooseFile(path);
}

void CoverWell::Remove()
{
    ++generation_;  // a look-up under way no longer counts
    choice_ = Choice::Removed;
    chosenFile_.clear();
    ShowNone(QStringLiteral("Removed"));
}

void CoverWell::ShowNone(const QString& why)
{
    hasPicture_ = false;
    picture_->setPixmap(QPixmap());
    picture_->setText(QStringLiteral("No cover"));
    source_->setText(why);
    source_->setToolTip(QString());
    looking_ = false;
    remove_->setEnabled(false);
    emit Shown();
}

}  // namespace tesslow
