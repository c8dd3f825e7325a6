#include "cli/melody_io.h"

#include "cli/json_writer.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>
#include <cmath>
#include <optional>
#include <vector>

namespace tambolin::cli {

namespace {

constexpr int PartCount = 3;
constexpr int MostNotes = 200;

struct Note {
    Integer length;
    Integer pitch;
};

std::optional<Integer> integerOf(const QJsonValue &v) {
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (std::floor(d) != d || d < -32768 || d > 32767)
        return std::nullopt;
    return static_cast<Integer>(d);
}

} // namespace

bool loadMelodyFile(const QString &path, QString &problem) {
    if (!checkMelodyFile(path, problem))
        return false;
    loadIntoStore(path);
    return true;
}

QString melodyJson(const MOD_TAMBOLIN &store) {
    QStringList parts;
    for (int part = 1; part <= PartCount; ++part) {
        QStringList notes;
        const Integer count = store.onpcnt(part);
        for (int n = 1; n <= count && n <= MostNotes; ++n)
            notes +=
                QStringLiteral("[%1, %2]").arg(store.onpary(n, part)).arg(store.kaiary(n, part));
        parts += u'[' + notes.join(QStringLiteral(", ")) + u']';
    }
    return QStringLiteral("{\"title\": %1, \"tempo\": %2, \"parts\": [%3]}")
        .arg(jsonString(store.mtitle), QString::number(store.tempo),
             parts.join(QStringLiteral(", ")));
}

bool fillFromJson(const QByteArray &json, MOD_TAMBOLIN &store, QString &problem) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        problem = QStringLiteral("not valid JSON at offset %1: %2")
                      .arg(error.offset)
                      .arg(error.errorString());
        return false;
    }
    if (!doc.isObject()) {
        problem =
            QStringLiteral("expected an object {\"title\": ..., \"tempo\": ..., \"parts\": [...]}");
        return false;
    }
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != u"title" && it.key() != u"tempo" && it.key() != u"parts") {
            problem =
                QStringLiteral("unknown key \"%1\" (expected title, tempo, parts)").arg(it.key());
            return false;
        }
    }

    QString title;
    if (root.contains(u"title")) {
        if (!root[u"title"].isString()) {
            problem = QStringLiteral("\"title\" must be a string");
            return false;
        }
        title = root[u"title"].toString();
    }
    Integer tempo = 1;
    if (root.contains(u"tempo")) {
        const auto value = integerOf(root[u"tempo"]);
        if (!value) {
            problem = QStringLiteral("\"tempo\" must be an integer from -32768 to 32767");
            return false;
        }
        tempo = *value;
    }
    if (!root[u"parts"].isArray()) {
        problem = QStringLiteral("\"parts\" must be an array of up to three arrays of notes");
        return false;
    }
    const QJsonArray parts = root[u"parts"].toArray();
    if (parts.size() > PartCount) {
        problem = QStringLiteral("\"parts\" holds %1 parts; a melody has at most %2")
                      .arg(parts.size())
                      .arg(PartCount);
        return false;
    }
    std::vector<std::vector<Note>> notes(PartCount);
    for (qsizetype p = 0; p < parts.size(); ++p) {
        if (!parts[p].isArray()) {
            problem =
                QStringLiteral("part %1 must be an array of [length, pitch] notes").arg(p + 1);
            return false;
        }
        const QJsonArray part = parts[p].toArray();
        if (part.size() > MostNotes) {
            problem = QStringLiteral("part %1 holds %2 notes; a part holds at most %3")
                          .arg(p + 1)
                          .arg(part.size())
                          .arg(MostNotes);
            return false;
        }
        for (qsizetype n = 0; n < part.size(); ++n) {
            const QJsonArray pair = part[n].toArray();
            const auto length = pair.size() == 2 ? integerOf(pair[0]) : std::nullopt;
            const auto pitch = pair.size() == 2 ? integerOf(pair[1]) : std::nullopt;
            if (!part[n].isArray() || !length || !pitch) {
                problem = QStringLiteral("part %1, note %2: expected [length, pitch], two integers "
                                         "from -32768 to 32767")
                              .arg(p + 1)
                              .arg(n + 1);
                return false;
            }
            notes[static_cast<std::size_t>(p)].push_back({*length, *pitch});
        }
    }

    store.mtitle = title;
    store.tempo = tempo;
    for (int part = 1; part <= PartCount; ++part) {
        const auto &list = notes[static_cast<std::size_t>(part - 1)];
        store.onpcnt(part) = static_cast<Integer>(list.size());
        for (std::size_t n = 0; n < list.size(); ++n) {
            store.onpary(static_cast<long long>(n + 1), part) = list[n].length;
            store.kaiary(static_cast<long long>(n + 1), part) = list[n].pitch;
        }
    }
    return true;
}

} // namespace tambolin::cli
