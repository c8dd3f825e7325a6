#pragma once
// Several FILEs through one command (`export`, `render`): where each output
// goes, and the loop over them with a progress line on a terminal.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tambolin::cli {

struct BatchJob {
    QString input;
    QString output;
    QString problem; // not empty: this input cannot be done (exit status 2)
};

// One FILE and -o naming no folder: the output as given. Otherwise output
// must be an existing folder, and each FILE's output is named after it
// there with the ending suffix ("a.tbn" -> "FOLDER/a.mid"); a FILE that
// would overwrite an earlier one's output, and "-" (no name to go by), are
// jobs with a problem. False, with a message, when output is no folder.
bool planOutputs(const QStringList &files, const QString &output, const QString &suffix,
                 std::vector<BatchJob> &jobs, QString &problem);

// Does every job (work gives its exit status), a bad one said and passed
// over; with more than one job on a terminal, "[k/n] FILE" on standard
// error as each starts. The worst exit status of them all.
int runBatch(const char *command, const std::vector<BatchJob> &jobs,
             const std::function<int(const BatchJob &)> &work);

} // namespace tambolin::cli
