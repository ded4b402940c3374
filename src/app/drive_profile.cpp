#include "app/drive_profile.h"

#include "app/cd_audio.h"
#include "app/store_file.h"

namespace tesslow {

namespace {

// The store's key names cannot hold a backslash or a closing bracket, nor
// should they hold control characters; drives name themselves in ASCII.
std::string KeyOf(const DriveModel& model)
{
    std::string name = model.Name();
    for (char& c : name)
        if (c == '\\' || c == ']' || c == '[' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            c = '_';
    return std::string(kUserKey) + "\\Drives\\" + name;
}

bool Store(const DriveModel& model, const char* valueName, std::uint32_t value)
{
    if (!model.Known()) return false;
    const std::string key = KeyOf(model);
    return StoreFile(UserStorePath())
        .Update([&](RegDocument& document) {
            document.EnsureKey(std::string(kUserKey) + "\\Drives");
            document.EnsureKey(key).Set(valueName, RegValue::Dword(value));
        })
        .written;
}

}  // namespace

std::string DriveModel::Name() const
{
    std::string name;
    for (const std::string* part : {&vendor, &product}) {
        for (char c : *part) {
            if (c == ' ' && (name.empty() || name.back() == ' ')) continue;
            name += c;
        }
        if (!name.empty() && name.back() != ' ') name += ' ';
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

DriveProfile LoadDriveProfile(const DriveModel& model)
{
    DriveProfile profile;
    if (!model.Known()) return profile;
    const RegDocument document = StoreFile(UserStorePath()).Read().document;
    const RegKey* key = document.FindKey(KeyOf(model));
    if (!key) return profile;
    if (const RegValue* offset = key->Find("ReadOffset")) {
        const auto samples = static_cast<std::int32_t>(ReadNumber(offset, 0x80000000u));
        if (samples >= -kLargestReadOffset && samples <= kLargestReadOffset) profile.readOffset = samples;
    }
    profile.overread = ReadNumber(key->Find("Overread"), 0) != 0;
    return profile;
}

bool RememberReadOffset(const DriveModel& model, std::int32_t samples)
{
    return Store(model, "ReadOffset", static_cast<std::uint32_t>(samples));
}

bool RememberOverread(const DriveModel& model, bool overread) { return Store(model, "Overread", overread ? 1 : 0); }

}  // namespace tesslow
