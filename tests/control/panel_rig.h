#pragma once
// For the loading and saving tests: melody files made through the writer,
// and file dialogs answered by the test.

#include "control_fixture.h"
#include "melody/melody_writer.h"
#include "melody/mod_tambolin.h"
#include "platform/desktop/common_dialogs.h"

#include <QByteArray>
#include <QFile>
#include <functional>
#include <vector>

namespace tambolin::testing {

// A melody whose parts hold counts[i] notes (quarter notes climbing from
// firstPitch), written to path with title. The store is emptied afterwards.
inline bool writeMelodyFile(const QString &path, const QString &title,
                            const std::vector<int> &counts, int firstPitch = 0) {
    mod().initialiseStore(); // the part headers, whether or not a control started
    std::vector<std::vector<Note>> parts;
    for (int count : counts) {
        std::vector<Note> notes;
        for (int n = 0; n < count; ++n)
            notes.push_back({2, static_cast<Integer>((firstPitch + n) % 36)});
        parts.push_back(notes);
    }
    setMelody(1, parts);
    mod().mtitle = title;
    const bool written = saveMelody(path);
    setMelody(1, {});
    mod().mtitle.clear();
    return written;
}

inline QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline std::vector<int> partCounts() {
    const MOD_TAMBOLIN &m = mod();
    return {m.onpcnt(1), m.onpcnt(2), m.onpcnt(3)};
}

// Answers the file dialogs with a function of what they were asked; the
// function may move the current folder, as a user browsing would.
class AnsweringDialogs final : public CommonDialogs {
public:
    QString fileDialog(const FileDialogRequest &request) override {
        asked.push_back(request);
        return answer ? answer(request) : QString();
    }
    QString folderDialog(const FolderDialogRequest &) override { return {}; }
    bool openWith(Long, const QString &) override { return false; }
    Long showProperties(Long, const QString &) override { return SE_ERR_NOASSOC; }

    std::function<QString(const FileDialogRequest &)> answer;
    std::vector<FileDialogRequest> asked;
};

} // namespace tambolin::testing
