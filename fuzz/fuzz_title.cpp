// Feeds arbitrary title bytes, with a size taken from the input, to the title decoder.

#include "melody/title_text.h"

#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes are the size handed over, which may lie beyond the array.
    Integer tsize = static_cast<Integer>(static_cast<std::uint16_t>(data[0] | (data[1] << 8)));
    QByteArray tbyte(1, '\0');
    tbyte.append(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    const QString title = TitleName_Get(tbyte, tsize).toString();
    // Every byte gives at most two characters (a rejected pair gives two NULs).
    if (title.size() > tbyte.size() * 2)
        __builtin_trap();
    return 0;
}
