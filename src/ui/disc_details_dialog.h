#pragma once

#include "app/album_info.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace tesslow {

class CoverWell;

// The disc's names the person can fix before ripping: artist, album, year and
// genre, and on a compilation whether its tracks keep artists of their own;
// beside them the front cover (CoverWell), which the person can replace with
// a picture of their own or remove. OK puts all of it into the album it was
// made with (Album); Cancel leaves it.
class DiscDetailsDialog final : public QDialog {
    Q_OBJECT
public:
    // `coverArtSize`: the CoverArtSize setting, the size the release's cover is asked at.
    DiscDetailsDialog(QWidget* parent, AlbumInfo album, int coverArtSize = 500);

    // The album with what the dialog shows; call after OK.
    AlbumInfo Album() const;

private:
    AlbumInfo album_;
    QLineEdit* artist_;
    QLineEdit* title_;
    QLineEdit* year_;
    QLineEdit* genre_;
    QCheckBox* trackArtists_ = nullptr;  // only for an album whose tracks have artists of their own
    CoverWell* cover_;
};

}  // namespace tesslow
