#pragma once
// Note bytes of a melody file and the (length code, pitch) pairs of the store.
// All arguments by reference; the writers write to the open file mod().fno.
// None of them lets an error escape.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

// Decodes one note byte under the current reference octave.
void onpdatget(Integer &dat, Integer &onpdat, Integer &kaidat);

// Encodes one note and writes its one to three bytes. sanrflg comes back True
// for a triplet note; sanrcnt (notes of the triplet group so far) decides
// whether the group's opening command is written.
void onpdatput(Integer &onpdat, Integer &kaidat, Boolean &sanrflg, Integer &sanrcnt);

// Sets the reference octave and writes its two-byte command.
void kijyunput(Integer &kno);

} // namespace tambolin
