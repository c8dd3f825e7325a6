#include "melody/melody_reader.h"

#include "melody/mod_tambolin.h"
#include "melody/note_codec.h"
#include "melody/title_text.h"
#include "platform/files/file_numbers.h"
#include "platform/files/filesystem.h"

#include <QByteArray>
#include <algorithm>
#include <limits>

namespace tambolin {

namespace {

constexpr Byte Esc = 27;
constexpr Byte TieByte = 34;
constexpr Byte CommandByte = 33;
constexpr Byte PartEnd = 15;
constexpr Long ShortestFile = 14;

// The bytes of the token being read. Only its length, its first byte and its
// last three bytes matter, so a token of any length fits and a part header
// is recognised however long the open token before it.
class TokenBuffer {
public:
    void append(Byte c) {
        if (m_size == 0)
            m_first = c;
        m_last[0] = m_last[1];
        m_last[1] = m_last[2];
        m_last[2] = c;
        m_size = std::min(m_size + 1, SizeCap);
    }
    void clear() { m_size = 0; }
    int size() const { return m_size; }
    Byte first() const { return m_first; }
    bool endsWithPartHeader() const {
        return m_size >= 3 && m_last[0] == Esc && m_last[1] == '$' && m_last[2] == 'D';
    }

private:
    static constexpr int SizeCap = 1000; // anything from 3 up behaves the same
    int m_size = 0;
    Byte m_first = 0;
    Byte m_last[3] = {0, 0, 0};
};

enum class State { Plain, TiePending, Triplet };

// One more on a 16-bit counter; at the top of the range it stays where it is,
// as the failed statement would leave it, without raising anything (a file
// of nothing but ties would otherwise fail a statement on every byte).
void countUp(Integer &counter) {
    if (counter < std::numeric_limits<Integer>::max())
        ++counter;
}

class Reader {
public:
    explicit Reader(MOD_TAMBOLIN &store) : m_store(store) {}

    void read(Byte c);
    QString title() const { return decodeTitle(m_title); }
    Integer tempoCode() const { return m_tempo; }

private:
    void command(Byte second);
    void partHeader();
    void note(Byte c);
    void applyTieRules(Integer prev, Integer c, Integer &length);
    void store(Integer length, Integer pitch);
    void storeUnlimited(Integer length, Integer pitch);

    MOD_TAMBOLIN &m_store;
    TokenBuffer m_token;
    QByteArray m_title; // grows with the title: no title byte is lost
    Integer m_part = 0;
    bool m_melody = false;
    State m_state = State::Plain;
    Integer m_tieCounter = 0;
    bool m_triplet = false;
    Integer m_tripletCounter = 0;
    bool m_repeated = false;
    Integer m_previous = 0;
    bool m_split = false;
    Integer m_tempo = 1;
    bool m_partHasNote = false; // a tie needs a note of its own part to join
};

void Reader::read(Byte c) {
    m_split = false;
    m_token.append(c);
    if (m_token.size() == 1 && m_melody) {
        if (c == TieByte) {
            m_state = State::TiePending;
            countUp(m_tieCounter);
            m_token.clear();
        } else if (c == PartEnd) {
            m_token.clear();
        } else {
            const Byte noteByte = c == 39 ? 127 : c; // 127 travels as 39
            // Any other byte opens a two-byte token.
            if (noteByte >= 35 && noteByte <= 127)
                note(noteByte);
        }
    }
    if (m_token.size() == 2 && m_melody && m_token.first() == CommandByte)
        command(c);
    if (m_token.endsWithPartHeader())
        partHeader();
    if (!m_melody)
        m_title.append(static_cast<char>(c));
}

void Reader::command(Byte second) {
    switch (second) {
    case '(':
    case ')':
    case '*':
    case '+':
        m_tempo = static_cast<Integer>(second - '(');
        break;
    case '#':
        m_store.kijyun = 0;
        break;
    case '$':
        m_store.kijyun = 1;
        break;
    case '"':
        m_store.kijyun = 2;
        break;
    case '&':
    case '%':
        m_state = State::Triplet;
        m_triplet = true;
        m_tieCounter = 0;
        m_repeated = second == '%';
        break;
    default:
        return; // not a command: the token stays open
    }
    m_token.clear();
}

void Reader::partHeader() {
    countUp(m_part);
    m_token.clear();
    if (!m_melody) {
        m_title.chop(2); // the escape and "$" went into the title
        m_melody = true;
    }
    m_triplet = false;
    m_tripletCounter = 0;
    m_tieCounter = 0;
    m_state = State::Plain;
    m_store.kijyun = 1;
    m_partHasNote = false;
}

void Reader::note(Byte c) {
    if (m_triplet)
        countUp(m_tripletCounter);
    if (m_tripletCounter > 0)
        m_state = State::Triplet;
    // A tie with no earlier note of this part to join is ignored.
    if (m_state == State::TiePending && !m_partHasNote) {
        m_state = State::Plain;
    }

    Integer dat = c;
    Integer length = 0;
    Integer pitch = 0;
    switch (m_state) {
    case State::Plain:
        onpdatget(dat, length, pitch);
        m_tieCounter = 0;
        break;
    case State::TiePending:
        onpdatget(m_previous, length, pitch);
        applyTieRules(m_previous, dat, length);
        // The first tie of a chain replaces the note it joins.
        if (m_tieCounter == 1)
            step([&] {
                Integer &count = m_store.onpcnt(m_part);
                if (count > 0)
                    --count;
            });
        m_state = State::Plain;
        countUp(m_tieCounter);
        break;
    case State::Triplet:
        onpdatget(dat, length, pitch);
        length = static_cast<Integer>(length + 20);
        m_state = State::Plain;
        m_tieCounter = 0;
        if (m_repeated) {
            storeUnlimited(length, pitch);
            storeUnlimited(length, pitch);
        }
        break;
    }
    store(length, pitch);

    m_previous = dat;
    m_partHasNote = true;
    m_token.clear();
    if (m_tripletCounter >= 3) {
        m_tripletCounter = 0;
        m_triplet = false;
    }
}

void Reader::applyTieRules(Integer p, Integer c, Integer &length) {
    if (p - 1 == c) {
        length = static_cast<Integer>(m_tieCounter > 2 && length < 20 ? length + 32 : length + 10);
    } else if (p + 2 == c && length < 20) {
        length = static_cast<Integer>(length + 8);
    } else if (p + 3 == c && length < 20) {
        length = static_cast<Integer>(length - 3);
        m_split = true; // a rest of the rest of the value follows
    } else if (p + 1 == c && length < 20) {
        length = static_cast<Integer>(length + 9);
    } else if (p == c) {
        if (length % 10 == 1)
            length = static_cast<Integer>(length - 1); // two halves make a whole
        else
            m_tieCounter = -1; // the earlier note stays; an equal one follows
    }
}

void Reader::store(Integer length, Integer pitch) {
    step([&] {
        Integer &count = m_store.onpcnt(m_part);
        if (count >= m_store.onpmax)
            return;
        const Integer limited = std::clamp<Integer>(pitch, 0, 35);
        ++count;
        m_store.onpary(count, m_part) = length;
        m_store.kaiary(count, m_part) = limited;
        if (count < m_store.onpmax && m_split) {
            ++count;
            m_store.onpary(count, m_part) = static_cast<Integer>(length + 33);
            m_store.kaiary(count, m_part) = limited;
        }
    });
}

// The extra copies of a repeated triplet note keep their pitch as decoded.
void Reader::storeUnlimited(Integer length, Integer pitch) {
    step([&] {
        Integer &count = m_store.onpcnt(m_part);
        if (count >= m_store.onpmax)
            return;
        ++count;
        m_store.onpary(count, m_part) = length;
        m_store.kaiary(count, m_part) = pitch;
    });
}

// The length the reader goes by: -1 for a missing file or one too large to
// count in a Long, as the utility's size query reports it.
Long fileLength(const QString &name) {
    const qint64 size = fileSize(name);
    return size >= 0 && size <= std::numeric_limits<Long>::max() ? static_cast<Long>(size) : -1;
}

} // namespace

void FileLoad(QString &fname) {
    MOD_TAMBOLIN &store = mod();
    if (fileLength(fname) < ShortestFile)
        return;
    store.kijyun = 1;
    Reader reader(store);

    const bool opened = step([&] {
        store.fno = FreeFile();
        Open(fname, FileAccess::Read, store.fno);
    });
    if (opened) {
        Byte c = 0;
        while (GetByte(store.fno, c))
            reader.read(c);
        step([&] { Close(store.fno); });
    }
    store.mtitle = reader.title();
    store.tempo = reader.tempoCode();
}

} // namespace tambolin
