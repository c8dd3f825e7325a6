#pragma once
// Titles: 7-bit JIS in the melody file (two-byte runs between ESC $ B and
// ESC ( B), Unicode in the store, converted through code page 932.

#include "platform/runtime/basic_runtime.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace tambolin {

// Decodes tbyte(1..tsize) (element 0 unused) into a string; positions past
// the end of tbyte hold nothing.
QVariant TitleName_Get(QByteArray &tbyte, Integer &tsize);

// Writes mtitle to the open file pnum, cut so that it takes at most 25 bytes.
void TitleName_Put(Integer &pnum);

// The bytes TitleName_Put writes for title: cut so that they take at most 25.
QByteArray encodeTitle(const QString &title);

// The decoding of TitleName_Get on a whole title of any length.
QString decodeTitle(const QByteArray &bytes);

} // namespace tambolin
