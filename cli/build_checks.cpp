#include "cli/build_checks.h"

#include "melody/mod_tambolin.h"

#include <QSet>
#include <algorithm>
#include <vector>

namespace tambolin::cli {

namespace {

// Reads the JSON string that starts at json[i] (the opening quote) and
// leaves i after its closing quote; escapes are decoded so that "a" and
// "\u0061" are the same key.
QString readString(const QByteArray &json, qsizetype &i) {
    QString out;
    QByteArray run; // UTF-8 bytes not yet decoded
    const auto flush = [&] {
        out += QString::fromUtf8(run);
        run.clear();
    };
    ++i;
    while (i < json.size() && json[i] != '"') {
        if (json[i] != '\\') {
            run += json[i++];
            continue;
        }
        ++i;
        if (i >= json.size())
            break;
        const char e = json[i++];
        switch (e) {
        case 'b':
            run += '\b';
            break;
        case 'f':
            run += '\f';
            break;
        case 'n':
            run += '\n';
            break;
        case 'r':
            run += '\r';
            break;
        case 't':
            run += '\t';
            break;
        case 'u':
            flush();
            out += QChar(static_cast<char16_t>(json.mid(i, 4).toUInt(nullptr, 16)));
            i += 4;
            break;
        default:
            run += e; // '"', '\\' and '/' stand for themselves
            break;
        }
    }
    flush();
    ++i; // the closing quote
    return out;
}

// Lengths the writer has bytes for: notes, then rests.
bool writableLength(Integer length) {
    static constexpr Integer codes[] = {0,  1,  2,  3,  4,  11, 12, 13, 21, 22,
                                        23, 24, 30, 31, 32, 33, 34, 41, 42, 43};
    return std::find(std::begin(codes), std::end(codes), length) != std::end(codes);
}

bool isRest(Integer length) {
    return length >= 30;
}

bool isTriplet(Integer length) {
    return length >= 21 && length <= 24;
}

} // namespace

bool checkUniqueKeys(const QByteArray &json, QString &problem) {
    // One entry per open object or array: the keys seen so far (objects only).
    struct Level {
        bool object;
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    bool expectKey = false;
    qsizetype i = 0;
    while (i < json.size()) {
        const char c = json[i];
        if (c == '"') {
            const QString text = readString(json, i);
            if (expectKey && !levels.empty() && levels.back().object) {
                if (levels.back().keys.contains(text)) {
                    problem = QStringLiteral("the key \"") + text +
                              QStringLiteral("\" is given twice in one object");
                    return false;
                }
                levels.back().keys.insert(text);
                expectKey = false;
            }
            continue;
        }
        switch (c) {
        case '{':
            levels.push_back({true, {}});
            expectKey = true;
            break;
        case '[':
            levels.push_back({false, {}});
            break;
        case '}':
        case ']':
            if (!levels.empty())
                levels.pop_back();
            break;
        case ',':
            expectKey = !levels.empty() && levels.back().object;
            break;
        default:
            break;
        }
        ++i;
    }
    return true;
}

bool checkWritable(const MOD_TAMBOLIN &store, QString &problem) {
    if (store.tempo < 0 || store.tempo > 3) {
        problem = QStringLiteral("tempo ") + QString::number(store.tempo) +
                  QStringLiteral(" is not a tempo code (0 to 3)");
        return false;
    }
    if (store.mtitle.contains(QStringLiteral("\x1B$D"))) {
        problem = QStringLiteral("the title holds ESC \"$D\", which starts a part in the file");
        return false;
    }
    for (int part = 1; part <= 3; ++part) {
        const Integer count = std::min<Integer>(store.onpcnt(part), 200);
        for (int n = 1; n <= count; ++n) {
            const Integer length = store.onpary(n, part);
            const Integer pitch = store.kaiary(n, part);
            const QString where = QStringLiteral("part ") + QString::number(part) +
                                  QStringLiteral(", note ") + QString::number(n) +
                                  QStringLiteral(": ");
            if (!writableLength(length)) {
                problem = where + QStringLiteral("length code ") + QString::number(length) +
                          QStringLiteral(" has no form in a melody file (notes 0-4, 11-13, "
                                         "21-24; rests 30-34, 41-43)");
                return false;
            }
            // The reader keeps pitches above 35 only in triplets.
            const Integer highest = isTriplet(length) ? 42 : 35;
            if (!isRest(length) && (pitch < 0 || pitch > highest)) {
                problem = where + QStringLiteral("pitch ") + QString::number(pitch) +
                          QStringLiteral(" cannot be written (0 to ") + QString::number(highest) +
                          QStringLiteral(")");
                return false;
            }
        }
    }
    return true;
}

} // namespace tambolin::cli
