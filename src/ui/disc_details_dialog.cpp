#include "ui/disc_details_dialog.h"

#include "encoding/track_tags.h"
#include "metadata/album_edits.h"
#include "metadata/cover_art_lookup.h"
#include "ui/controls/cover_well.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tesslow {

namespace {

QLineEdit* Edit(QWidget* parent, const char* name, const std::string& text)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// What the disc has as its cover now: the person's choice, else its release's.
CoverWish CoverWishOf(const AlbumInfo& album, int size)
{
    CoverWish wish;
    wish.chosenFile = album.coverFile;
    wish.noCover = album.noCover;
    if (IsMusicBrainzId(album.source)) wish.releaseId = album.source;
    wish.size = size;
    wish.baseUrl = CoverArtBaseUrl();
    return wish;
}

}  // namespace

DiscDetailsDialog::DiscDetailsDialog(QWidget* parent, AlbumInfo album, int coverArtSize)
    : QDialog(parent),
      album_(std::move(album)),
      artist_(Edit(this, "detailsArtist", album_.artist)),
      title_(Edit(this, "detailsAlbum", album_.album)),
      year_(Edit(this, "detailsYear", album_.year)),
      genre_(Edit(this, "detailsGenre", album_.genre)),
      cover_(new CoverWell(this, CoverWishOf(album_, coverArtSize)))
{
    setObjectName(QStringLiteral("discDetailsDialog"));
    setWindowTitle(QStringLiteral("Disc details"));
    year_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), year_));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Artist:"), artist_);
    form->addRow(QStringLiteral("A&lbum:"), title_);
    form->addRow(QStringLiteral("&Year:"), year_);
    form->addRow(QStringLiteral("&Genre:"), genre_);
    if (HasTrackArtists(album_)) {
        trackArtists_ = new QCheckBox(QStringLiteral("Album artist &differs from track artists"), this);
        trackArtists_->setObjectName(QStringLiteral("detailsTrackArtists"));
        trackArtists_->setChecked(true);
        form->addRow(trackArtists_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form, 1);
    columns->addSpacing(12);
    columns->addWidget(cover_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

AlbumInfo DiscDetailsDialog::Album() const
{
    AlbumInfo album = album_;
    album.artist = artist_->text().trimmed().toStdString();
    if (album.artist != album_.artist) album.artistIds.clear();  // the ids named the artist that was replaced
    album.album = title_->text().trimmed().toStdString();
    const std::string year = year_->text().toStdString();
    if (year != album.year) album.date = year;  // a year typed over the release's date replaces it
    album.year = year;
    album.genre = genre_->text().trimmed().toStdString();
    if (trackArtists_ && !trackArtists_->isChecked()) {
        // Every track is the album artist's: titles lose their "artist / " part.
        for (std::size_t i = 0; i < album.credits.size() && i < album.trackTitles.size(); ++i) {
            if (album.credits[i].artist.empty()) continue;
            album.trackTitles[i] = album.credits[i].title;
            album.credits[i].artist.clear();
            album.credits[i].artistIds.clear();
        }
    }
    switch (cover_->PersonsChoice()) {
    case CoverWell::Choice::Chosen:
        album.coverFile = cover_->ChosenFile();
        album.noCover = false;
        break;
    case CoverWell::Choice::Removed:
        album.coverFile.clear();
        album.noCover = true;
        break;
    case CoverWell::Choice::Unchanged: break;
    }
    return album;
}

}  // namespace tesslow
