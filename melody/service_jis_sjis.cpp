#include "melody/service_jis_sjis.h"

namespace tambolin {

void SjisToJis(Byte &b1, Byte &b2) {
    int r;
    if (b1 >= 0x81 && b1 <= 0x9F)
        r = b1 - 0x81;
    else if (b1 >= 0xE0 && b1 <= 0xEF)
        r = b1 - 0xC1;
    else {
        b1 = b2 = 0; // user-defined area, single bytes
        return;
    }
    int t;
    if (b2 >= 0x40 && b2 <= 0x7E)
        t = b2 - 0x3F;
    else if (b2 >= 0x80 && b2 <= 0xFC)
        t = b2 - 0x40;
    else {
        b1 = b2 = 0;
        return;
    }
    int row = 2 * r + 1;
    if (t > 94) {
        t -= 94;
        ++row;
    }
    b1 = static_cast<Byte>(row + 0x20);
    b2 = static_cast<Byte>(t + 0x20);
}

void JisToSjis(Byte &b1, Byte &b2) {
    int a = b1 > 0x20 ? b1 - 0x20 : 0;
    int t = b2 > 0x20 ? b2 - 0x20 : 0;
    if (a < 1 || a > 94 || t > 94) {
        b1 = b2 = 0;
        return;
    }
    // Even rows take the second half of a lead byte's cells; a cell of 0
    // there lands on the row's last cell (second byte 9E).
    if (a % 2 == 0)
        t += 94;
    a = (a - 1) / 2;
    const int lead = a <= 30 ? a + 0x81 : a + 0xC1;
    int trail;
    if (t >= 1 && t <= 63)
        trail = t + 0x3F;
    else if (t >= 64 && t <= 188)
        trail = t + 0x40;
    else {
        b1 = b2 = 0;
        return;
    }
    b1 = static_cast<Byte>(lead);
    b2 = static_cast<Byte>(trail);
}

} // namespace tambolin
