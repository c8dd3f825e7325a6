#pragma once
// tamberlo's own choices, kept between runs in its profile file
// (tamberlo.ini in the player's profile folder), apart from the control's
// settings. Whatever that file holds, a choice reads as one of its values.

namespace tambolin::tamberlo {

// Whether the piano roll shows under the panel; no by default.
bool storedRollShown();
// False when the choice could not be kept.
bool storeRollShown(bool shown);

} // namespace tambolin::tamberlo
