// Feeds arbitrary text to the utility class's text methods: the formatter
// and the character, substitution, splitting, sorting and byte methods.

#include "util/cl_gl010c.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    const int mode = data[0];
    // The remaining bytes as text, split at NULs into the arguments.
    const QStringList args = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                               static_cast<qsizetype>(size - 1))
                                 .split(QChar(0));
    QString a = args.value(0);
    QString b = args.value(1);
    QString c = args.value(2);

    CL_GL010C gl;
    gl.RVN_FormatChange(a, b);
    Integer lineMode = static_cast<Integer>(mode % 5);
    gl.RVN_CharChange(a, b, c, &lineMode);
    Integer count = static_cast<Integer>(mode % 7);
    gl.RVN_CharDoubleCheck(a, b, count, c);
    QString head, value;
    gl.RVN_CharLet(a, head, value);
    gl.RVN_CharCut(a, b);
    const QString replaced = gl.RVN_StrSubst(a, b, c);
    if (replaced.size() > CL_GL010C::StrSubstLongest)
        __builtin_trap();
    StringArray items;
    items.lower = mode % 3;
    items.items.resize(static_cast<std::size_t>(mode % 9));
    gl.RVN_StrEnum(a, b, items);
    StringArray sorted;
    sorted.lower = 1;
    for (const QString &s : args)
        sorted.items.push_back(s);
    gl.RVN_ShellSort(sorted);
    for (std::size_t i = 1; i < sorted.items.size(); ++i)
        if (sorted.items[i - 1] > sorted.items[i])
            __builtin_trap();
    gl.RVN_LenB(a);
    Long start = static_cast<Long>(mode) - 8;
    QVariant length = static_cast<Long>(mode % 13);
    gl.RVN_MidB(a, start, &length);
    gl.RVN_GetFileName(a);
    gl.RVN_GetFileExt(a);
    return 0;
}
