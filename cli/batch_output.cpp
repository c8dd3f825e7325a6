#include "cli/batch_output.h"

#include "cli/console.h"
#include "cli/status_line.h"
#include "cli/terminal_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace tambolin::cli {

bool planOutputs(const QStringList &files, const QString &output, const QString &suffix,
                 std::vector<BatchJob> &jobs, QString &problem) {
    jobs.clear();
    const bool folder = output != u"-" && QFileInfo(output).isDir();
    if (files.size() == 1 && !folder) {
        jobs.push_back({files.first(), output, {}});
        return true;
    }
    if (!folder) {
        problem = output + QStringLiteral(" is no folder; with several FILEs -o names an "
                                          "existing folder");
        return false;
    }
    const QDir dir(output);
    QSet<QString> taken;
    for (const QString &file : files) {
        BatchJob job{file, {}, {}};
        if (file == u"-") {
            job.problem = QStringLiteral("-: standard input has no name to name its output "
                                         "after; give it alone with -o FILE");
        } else {
            job.output = dir.filePath(QFileInfo(file).completeBaseName() + u'.' + suffix);
            if (taken.contains(job.output))
                job.problem = file + QStringLiteral(": ") + job.output +
                              QStringLiteral(" is the output of an earlier FILE already");
            taken.insert(job.output);
        }
        jobs.push_back(std::move(job));
    }
    return true;
}

int runBatch(const char *command, const std::vector<BatchJob> &jobs,
             const std::function<int(const BatchJob &)> &work) {
    StatusLine progress(stderr);
    const QString total = QString::number(jobs.size());
    int worst = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const BatchJob &job = jobs[i];
        if (jobs.size() > 1)
            progress.show(u'[' + QString::number(i + 1) + u'/' + total + QStringLiteral("] ") +
                          QString::fromLatin1(command) + u' ' + terminalText(job.input));
        int status = 2;
        if (job.problem.isEmpty())
            status = work(job);
        else
            complain(command, job.problem);
        worst = std::max(worst, status);
    }
    progress.clear();
    return worst;
}

} // namespace tambolin::cli
