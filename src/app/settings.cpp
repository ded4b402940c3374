#include "app/settings.h"

#include "app/store_file.h"
#include "platform/paths.h"

#include <climits>

#include <array>
#include <filesystem>
#include <optional>

namespace tesslow {

namespace {

#define NUMBER(field) SettingField{#field, false, &Settings::field, nullptr}
#define TEXT(field) SettingField{#field, false, nullptr, &Settings::field}
#define MACHINE_TEXT(field) SettingField{#field, true, nullptr, &Settings::field}

constexpr std::array kFields = {
    NUMBER(JitterCorrection),   NUMBER(LockDisk),          NUMBER(SpinUpTime),
    NUMBER(EjectWhenDone),      NUMBER(EncodeOnTheFly),    NUMBER(PreventClicks),
    NUMBER(MP3ForceCBR),        NUMBER(SkipFirst),         TEXT(LastFolder),
    NUMBER(LastFormat),         NUMBER(LastPreset),        NUMBER(LastMP3Value),
    NUMBER(LastWMAValue),       NUMBER(LastOGGValue),      NUMBER(LastAPEValue),
    NUMBER(LastFLACValue),      NUMBER(CDDBAutoConfig),    TEXT(CDDBServer),
    NUMBER(CDDBMode),           NUMBER(CDDBProxyEnabled),  TEXT(CDDBProxyServer),
    NUMBER(CDDBProxyPort),      TEXT(CDDBProxyEmail),      NUMBER(CDDBProxyTimeout),
    NUMBER(CDDBAutoLoad),       NUMBER(SetMaxSpeed),       NUMBER(AlwaysOverwrite),
    TEXT(NameTemplate),         NUMBER(CreateArtistSubfolder), NUMBER(CreateAlbumSubfolder),
    NUMBER(AddYearToFolderName), NUMBER(BeepWhenDone),     NUMBER(OpenFolderWhenDone),
    NUMBER(Skin),               NUMBER(AccurateRip),       NUMBER(VerifyReads),
    NUMBER(WriteLog),           NUMBER(WriteCue),          NUMBER(Deemphasis),         NUMBER(NotifyWhenDone),
    NUMBER(CoverArtSize),
    NUMBER(ReplayGain),
    MACHINE_TEXT(AppPath),
    MACHINE_TEXT(HomeURL),      MACHINE_TEXT(MailURL),
};

#undef NUMBER
#undef TEXT
#undef MACHINE_TEXT

// Every text setting is a path, a template for one, or a short name: one
// longer than a path can be (PATH_MAX, with its terminating zero) is refused
// as damage, and reads as missing.
std::optional<std::string> ReadText(const RegValue* value)
{
    std::optional<std::string> text = ReadString(value);
    if (text && text->size() >= PATH_MAX) text.reset();
    return text;
}

std::string DefaultMusicFolder()
{
    const std::filesystem::path folder = MusicFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder.string();
}

}  // namespace

std::span<const SettingField> SettingsTable() { return kFields; }

std::string StoreKeptAsideNotice(const std::string& keptAs)
{
    return "Your settings could not be read, so new ones were started; the old settings file was kept as " + keptAs +
           ".";
}

Settings::Settings()
{
    // Machine values first; a missing store leaves them empty.
    RegDocument machine;
    if (auto path = MachineStorePath()) machine = StoreFile(*path).Read().document;
    const RegKey* machineKey = machine.FindKey(kMachineKey);

    const RegDocument user = StoreFile(UserStorePath()).Read().document;
    if (!user.FindKey(kUserKey)) {
        // A first run: create the key, so its values are read from an empty key
        // and every default applies.
        Store([](RegDocument& document) {
            document.EnsureKey(kUserParentKey);
            document.EnsureKey(kUserKey);
        });
    }
    const RegKey* userKey = user.FindKey(kUserKey);

    for (const SettingField& field : kFields) {
        const RegKey* key = field.machine ? machineKey : userKey;
        const RegValue* value = key ? key->Find(field.name) : nullptr;
        if (field.number)
            this->*field.number = ReadNumber(value, this->*field.number);
        else
            this->*field.text = ReadText(value).value_or(std::string());
    }
    if (LastFolder.empty()) LastFolder = DefaultMusicFolder();
    if (NameTemplate.empty()) NameTemplate = kDefaultNameTemplate;
}

void Settings::Store(const std::function<void(RegDocument&)>& change)
{
    const StoreUpdate update = StoreFile(UserStorePath()).Update(change);
    if (update.keptAside) keptAsideStore = update.keptAside->string();
}

void Settings::StoreNumber(const char* name, std::uint32_t value)
{
    Store([&](RegDocument& document) { document.EnsureKey(kUserKey).Set(name, RegValue::Dword(value)); });
}

void Settings::StoreString(const char* name, const std::string& value)
{
    Store([&](RegDocument& document) { document.EnsureKey(kUserKey).Set(name, RegValue::String(value)); });
}

void Settings::WriteSkipFirst()
{
    SkipFirst = 1;
    StoreNumber("SkipFirst", SkipFirst);
}

void Settings::WriteLastFolder(const std::string& folder)
{
    LastFolder = folder;
    StoreString("LastFolder", LastFolder);
}

void Settings::WriteLastFormat(FormatCode format)
{
    LastFormat = static_cast<std::uint32_t>(format);
    StoreNumber("LastFormat", LastFormat);
}

void Settings::WriteLastPreset(QualityPreset preset)
{
    LastPreset = static_cast<std::uint32_t>(preset);
    StoreNumber("LastPreset", LastPreset);
}

void Settings::WriteLastQualityValue(FormatCode format, std::uint32_t step)
{
    switch (format) {
    case FormatCode::Mp3:
        LastMP3Value = step;
        StoreNumber("LastMP3Value", step);
        break;
    case FormatCode::Wma:
        LastWMAValue = step;
        StoreNumber("LastWMAValue", step);
        break;
    case FormatCode::Ogg:
        LastOGGValue = step;
        StoreNumber("LastOGGValue", step);
        break;
    case FormatCode::Wav:
    case FormatCode::Ape:
    case FormatCode::Flac:
        break;
    }
}

void Settings::WriteNameTemplate(const std::string& nameTemplate)
{
    NameTemplate = nameTemplate;
    StoreString("NameTemplate", NameTemplate);
}

bool Settings::WriteNumber(std::string_view name, std::uint32_t value)
{
    for (const SettingField& field : SettingsTable()) {
        if (field.machine || !field.number || name != field.name) continue;
        this->*field.number = value;
        StoreNumber(field.name, value);
        return true;
    }
    return false;
}

void Settings::WriteAlwaysOverwrite(bool overwrite)
{
    AlwaysOverwrite = overwrite ? 1 : 0;
    StoreNumber("AlwaysOverwrite", AlwaysOverwrite);
}

void Settings::WriteSubfolders(bool artist, bool album, bool yearInAlbum)
{
    CreateArtistSubfolder = artist ? 1 : 0;
    CreateAlbumSubfolder = album ? 1 : 0;
    AddYearToFolderName = yearInAlbum ? 1 : 0;
    Store([&](RegDocument& document) {
        RegKey& key = document.EnsureKey(kUserKey);
        key.Set("CreateArtistSubfolder", RegValue::Dword(CreateArtistSubfolder));
        key.Set("CreateAlbumSubfolder", RegValue::Dword(CreateAlbumSubfolder));
        key.Set("AddYearToFolderName", RegValue::Dword(AddYearToFolderName));
    });
}

}  // namespace tesslow
