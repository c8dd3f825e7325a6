#pragma once
// A FILE argument as the melody loaders open it. The loaders open files by
// name, so "-" (standard input) is read once, bounded like a melody file,
// into an anonymous in-memory file that they open by its /proc name;
// nothing is written to disk.

#include <QString>

namespace tambolin::cli {

class MelodyInput final {
public:
    MelodyInput() = default;
    ~MelodyInput();
    MelodyInput(const MelodyInput &) = delete;
    MelodyInput &operator=(const MelodyInput &) = delete;

    // argument as given: "-" reads standard input now. False, with a message,
    // when standard input is larger than a melody file may be or cannot be
    // read. Any other argument is passed on as it is (the loaders check it).
    bool open(const QString &argument, QString &problem);

    // What the loaders open.
    const QString &path() const { return m_path; }
    // What messages call it: the argument.
    const QString &name() const { return m_name; }
    // A loader's message about path() as one about name().
    QString named(const QString &message) const;

private:
    QString m_path;
    QString m_name;
    int m_fd = -1;
};

// Reads at most limit + 1 bytes from the descriptor (to tell "too large"
// from "exactly the limit"). False, with errno's text, when it cannot.
bool readBounded(int fd, long long limit, QByteArray &out, QString &problem);

} // namespace tambolin::cli
