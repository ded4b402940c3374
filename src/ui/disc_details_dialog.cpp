#include "ui/disc_details_dialog.h"

#include "metadata/album_edits.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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

}  // namespace

DiscDetailsDialog::DiscDetailsDialog(QWidget* parent, AlbumInfo album)
    : QDialog(parent),
      album_(std::move(album)),
      artist_(Edit(this, "detailsArtist", album_.artist)),
      title_(Edit(this, "detailsAlbum", album_.album)),
      year_(Edit(this, "detailsYear", album_.year)),
      genre_(Edit(this, "detailsGenre", album_.genre))
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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
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
    return album;
}

}  // namespace tesslow
