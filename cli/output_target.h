#pragma once
// An output argument as the writers take it. The writers write named files
// (beside the target, then renamed into place), so "-" (standard output)
// has them write into a private folder of its own (mode 0700, removed with
// this object) and copies the finished file to standard output.

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tambolin::cli {

class OutputTarget final {
public:
    OutputTarget();
    ~OutputTarget();
    OutputTarget(const OutputTarget &) = delete;
    OutputTarget &operator=(const OutputTarget &) = delete;

    // argument as given; "-" is standard output, refused when it is a
    // terminal (binary data would garble it). The writer's file for "-" is
    // named fileName (its ending may choose the format).
    bool open(const QString &argument, const QString &fileName, QString &problem);

    bool isStandardOutput() const { return m_folder != nullptr; }
    // What the writer writes.
    const QString &path() const { return m_path; }
    // A writer's message about path() as one about the argument.
    QString named(const QString &message) const;
    // For standard output: copies the written file there. False, with a
    // message, when it cannot. Nothing to do for a named file.
    bool deliver(QString &problem);

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
};

} // namespace tambolin::cli
