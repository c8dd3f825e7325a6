#include "host/tamberlo/tamberlo_settings.h"

#include "platform/registry/private_profile.h"

#include <cstring>

namespace tambolin::tamberlo {

namespace {

constexpr char File[] = "tamberlo.ini";
constexpr char Section[] = "Window";
constexpr char RollKey[] = "PianoRoll";

} // namespace

bool storedRollShown() {
    char value[8] = {};
    GetPrivateProfileStringA(Section, RollKey, "0", value, sizeof value, File);
    return std::strcmp(value, "1") == 0;
}

bool storeRollShown(bool shown) {
    return WritePrivateProfileStringA(Section, RollKey, shown ? "1" : "0", File) != 0;
}

} // namespace tambolin::tamberlo
