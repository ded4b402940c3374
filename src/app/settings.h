#pragma once

#include "app/rip_job.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tesslow {

class RegDocument;

// A snapshot of every setting, loaded whole when constructed; it does not see
// later writes by others, so each user makes its own when it needs current
// values. Fields are in the store's table order and carry the stored names.
// Numbers are read from at most 4 bytes of a value of any type, strings must be
// well-formed REG_SZ or REG_EXPAND_SZ values no longer than a path can be
// (PATH_MAX bytes); a failed read leaves the default.
//
// Loading creates the user store's key when it is missing (a first run). No
// failure of the store is ever reported: reads fall back to defaults and the
// writers fail silently, having updated the field already.
struct Settings {
    Settings();

    std::uint32_t JitterCorrection = 0;
    std::uint32_t LockDisk = 0;
    std::uint32_t SpinUpTime = 0;
    std::uint32_t EjectWhenDone = 0;
    std::uint32_t EncodeOnTheFly = 1;
    std::uint32_t PreventClicks = 1;
    std::uint32_t MP3ForceCBR = 0;
    std::uint32_t SkipFirst = 0;
    std::string LastFolder;  // default: the music folder, created if missing
    std::uint32_t LastFormat = 2;
    std::uint32_t LastPreset = 1;
    std::uint32_t LastMP3Value = 8;
    std::uint32_t LastWMAValue = 15;
    std::uint32_t LastOGGValue = 1;
    std::uint32_t LastAPEValue = 2;
    std::uint32_t LastFLACValue = 5;
    std::uint32_t CDDBAutoConfig = 1;
    std::string CDDBServer;
    std::uint32_t CDDBMode = 0;
    std::uint32_t CDDBProxyEnabled = 0;
    std::string CDDBProxyServer;
    std::uint32_t CDDBProxyPort = 0;
    std::string CDDBProxyEmail;
    std::uint32_t CDDBProxyTimeout = 20;
    std::uint32_t CDDBAutoLoad = 0;
    std::uint32_t SetMaxSpeed = 0;
    std::uint32_t AlwaysOverwrite = 0;
    std::string NameTemplate;  // default "%1 - [%5] %2"
    std::uint32_t CreateArtistSubfolder = 0;
    std::uint32_t CreateAlbumSubfolder = 0;
    std::uint32_t AddYearToFolderName = 0;
    std::uint32_t BeepWhenDone = 0;
    std::uint32_t OpenFolderWhenDone = 0;
    std::uint32_t Skin = 0;  // 0 Aero, 1 classic
    std::uint32_t AccurateRip = 1;  // check every rip against the AccurateRip database
    std::uint32_t VerifyReads = 1;  // read a track AccurateRip does not confirm a second time
    std::uint32_t WriteLog = 1;     // a rip log beside the files
    std::uint32_t WriteCue = 1;     // a CUE sheet beside the files
    std::uint32_t Deemphasis = 1;   // de-emphasise a pre-emphasised track (not for WAV)
    std::uint32_t ReplayGain = 1;   // measure each track's and the album's loudness and tag the files with it
    std::uint32_t NotifyWhenDone = 1;  // a desktop notification when a rip ends behind another window
    std::uint32_t CoverArtSize = 500;  // the front cover asked of the Cover Art Archive: 250, 500, 1200, 0 the original
    // From the machine store, written by installation.
    std::string AppPath;
    std::string HomeURL;
    std::string MailURL;

    // Not a setting: where the user store was kept when it could not be read
    // and a new one had to be started, by loading or by a writer of this
    // record; empty otherwise. The front end tells the user once
    // (StoreKeptAsideNotice).
    std::string keptAsideStore;

    // Writers: each sets the field and stores the value at once.
    void WriteSkipFirst();
    void WriteLastFolder(const std::string& folder);
    void WriteLastFormat(FormatCode format);
    void WriteLastPreset(QualityPreset preset);
    // LastMP3Value, LastWMAValue or LastOGGValue by format; other formats keep none.
    void WriteLastQualityValue(FormatCode format, std::uint32_t step);
    void WriteNameTemplate(const std::string& nameTemplate);
    void WriteAlwaysOverwrite(bool overwrite);
    void WriteSubfolders(bool artist, bool album, bool yearInAlbum);
    // Any number of the user store by its name (the options dialog's);
    // false for a name that is not one.
    bool WriteNumber(std::string_view name, std::uint32_t value);

private:
    void Store(const std::function<void(RegDocument&)>& change);
    void StoreNumber(const char* name, std::uint32_t value);
    void StoreString(const char* name, const std::string& value);
};

// What the user is told, once, about a settings file kept aside at `keptAs`.
std::string StoreKeptAsideNotice(const std::string& keptAs);

inline constexpr const char* kDefaultNameTemplate = "%1 - [%5] %2";

// One row of the settings table, for code that walks all settings in order
// (printing them, loading them).
struct SettingField {
    const char* name;
    bool machine;  // from the machine store rather than the user store
    std::uint32_t Settings::*number;  // exactly one of number and text is set
    std::string Settings::*text;
};

std::span<const SettingField> SettingsTable();

}  // namespace tesslow
