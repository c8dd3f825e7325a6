#pragma once
// MOD_TAMBOLIN: the module state shared by every player control on a thread:
// the melody store, the dialog folder and the MIDI output state. One copy per
// thread. The thread's utility object lives beside it (control/module_utility.h).

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <array>

namespace tambolin {

// A fixed-size array with the inclusive bounds of the melody store; an index
// outside them fails the statement instead of touching memory.
template <class T, int Lo, int Hi> class BoundedArray {
public:
    T &operator()(long long i) {
        checkIndex(i, Lo, Hi);
        return m_items[static_cast<std::size_t>(i - Lo)];
    }
    const T &operator()(long long i) const {
        checkIndex(i, Lo, Hi);
        return m_items[static_cast<std::size_t>(i - Lo)];
    }
    static constexpr int lower() { return Lo; }
    static constexpr int upper() { return Hi; }
    void fill(const T &v) { m_items.fill(v); }

private:
    std::array<T, Hi - Lo + 1> m_items{};
};

// Notes 1..200 by parts 1..3.
class NoteTable {
public:
    Integer &operator()(long long note, long long part) {
        checkIndex(note, 1, 200);
        checkIndex(part, 1, 3);
        return m_cells[static_cast<std::size_t>((part - 1) * 200 + (note - 1))];
    }
    Integer operator()(long long note, long long part) const {
        checkIndex(note, 1, 200);
        checkIndex(part, 1, 3);
        return m_cells[static_cast<std::size_t>((part - 1) * 200 + (note - 1))];
    }
    void clear() { m_cells.fill(0); }

private:
    std::array<Integer, 600> m_cells{};
};

struct MOD_TAMBOLIN {
    Integer onpmax = 0;
    NoteTable onpary; // length code of note n of part p
    NoteTable kaiary; // pitch number of note n of part p
    BoundedArray<Integer, 1, 3> onpcnt;
    Integer tempo = 0;
    Integer kijyun = 0;
    QString mtitle;
    Integer fno = 0;
    BoundedArray<Byte, 0, 4> mhead0;
    BoundedArray<Byte, 0, 2> mhead1;
    BoundedArray<Byte, 0, 4> mhead2;
    BoundedArray<Byte, 0, 4> mhead3;
    BoundedArray<Byte, 0, 0> mtail;
    QString inidir;
    Integer maxprt = 0;
    BoundedArray<Long, 1, 200> tmacc;

    // MIDI output, shared by every control on the thread: one device handle.
    Long hmidiout = 0;      // handle of the open output device; 0 until the first open
    Long midiret = 0;       // result of the last MIDI call (0 = success)
    Long midimsg = 0;       // the short message last composed by MidiOn or MidiOff
    Long keybase = 0;       // MIDI note number of pitch 0; 48 once MidiInit has run
    Integer midiport = 0;   // chosen device list entry: 0 = the mapper, k = device k-1
    Integer midisource = 0; // chosen instrument list entry = program number - 1

    // Part headers and terminator bytes, as the control fills them at start.
    void fillHeaders();

    // The store as a control sets it up when it starts: onpmax 200, empty
    // parts, tempo 1, the part headers and terminator.
    void initialiseStore();
};

// The module state of the calling thread.
MOD_TAMBOLIN &mod();

} // namespace tambolin
