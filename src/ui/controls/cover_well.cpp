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

}  // namespace

// What the newest look-up found, handed from its thread to the GUI thread.
struct CoverWell::Shared {
    std::mutex mutex;
    std::uint64_t generation = 0;
    QImage image;          // scaled to the well; null: no picture
    QString text;          // where it came from, or why there is none
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
    picture_->setText(QStringLiteral("Looking..."));
    lookups_.emplace_back([shared = shared_, sink = sink_, wish = std::move(wish), chosen, generation] {
        QImage image;
        QString text;
        std::string kept;
        bool refused = false;
        if (chosen) {
            std::string why;
            if (const auto picture = ReadCoverPictureFile(wish.file, &why)) {
                const CoverCache cache(wish.cacheFolder.empty() ? DefaultCoverCacheFolder() : std::filesystem::path(wish.cacheFolder));
                kept = cache.KeepOwn(*picture).value_or(std::filesystem::path(wish.file)).string();
                image = QImage::fromData(reinterpret_cast<const uchar*>(picture->bytes.data()),
                                         static_cast<int>(picture->bytes.size()));
                text = QStringLiteral("Your picture, %1").arg(QString::fromStdString(CoverPictureSummary(*picture)));
            } else {
                refused = true;
                text = QStringLiteral("That file cannot be a cover: %1.").arg(QString::fromStdString(why));
            }
        } else {
            CoverArtFetch fetch(wish);
            const std::shared_ptr<const CoverPicture> picture = fetch.Picture();
            const CoverOutcome outcome = fetch.Outcome();
            if (picture) {
                image = QImage::fromData(reinterpret_cast<const uchar*>(picture->bytes.data()),
                                         static_cast<int>(picture->bytes.size()));
                const bool own = outcome.source == CoverOutcome::Source::File;
                text = (own ? QStringLiteral("Your picture, %1") : QStringLiteral("From the Cover Art Archive, %1"))
                           .arg(QString::fromStdString(CoverPictureSummary(*picture)));
            } else {
                text = QStringLiteral("No cover: %1.").arg(QString::fromStdString(outcome.problem));
            }
        }
        if (!image.isNull())
            image = image.scaled(kWellPixels - 4, kWellPixels - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        {
            std::lock_guard lock(shared->mutex);
            if (generation < shared->generation) return;
            shared->generation = generation;
            shared->image = std::move(image);
            shared->text = std::move(text);
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
        picture_->setText(hasPicture_ ? QString() : QStringLiteral("No cover"));
        source_->setText(shared_->text);
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
    ShowNone(QStringLiteral("No cover: you removed it."));
}

void CoverWell::ShowNone(const QString& why)
{
    hasPicture_ = false;
    picture_->setPixmap(QPixmap());
    picture_->setText(QStringLiteral("No cover"));
    source_->setText(why);
    remove_->setEnabled(false);
    emit Shown();
}

}  // namespace tesslow
