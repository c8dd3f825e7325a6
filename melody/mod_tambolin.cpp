#include "melody/mod_tambolin.h"

namespace tambolin {

void MOD_TAMBOLIN::fillHeaders() {
    const Byte h0[] = {0x1B, 0x24, 0x44, 0x21, 0x28};
    const Byte h2[] = {0x1B, 0x24, 0x44, 0x21, 0x2A};
    const Byte h3[] = {0x1B, 0x24, 0x44, 0x21, 0x2B};
    for (int i = 0; i <= 4; ++i) {
        mhead0(i) = h0[i];
        mhead2(i) = h2[i];
        mhead3(i) = h3[i];
    }
    for (int i = 0; i <= 2; ++i)
        mhead1(i) = h0[i];
    mtail(0) = 0x0F;
}

void MOD_TAMBOLIN::initialiseStore() {
    onpmax = 200;
    for (int part = 1; part <= 3; ++part)
        onpcnt(part) = 0;
    tempo = 1;
    fillHeaders();
}

MOD_TAMBOLIN &mod() {
    thread_local MOD_TAMBOLIN state;
    return state;
}

} // namespace tambolin
