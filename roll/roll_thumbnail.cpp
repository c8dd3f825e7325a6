#include "roll/roll_thumbnail.h"

#include "platform/registry/registry_files.h"
#include "roll/roll_files.h"
#include "roll/roll_painter.h"

namespace tambolin::roll {

bool parseThumbnailArgs(const QStringList &args, ThumbnailRequest &out, QString &problem) {
    QStringList files;
    QString sizeText;
    bool haveSize = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(u'-')) {
            files += a;
            continue;
        }
        if (a.startsWith(u"--size=")) {
            sizeText = a.mid(7);
        } else if (a == u"-s" || a == u"--size") {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("option '%1' needs a value").arg(a);
                return false;
            }
            sizeText = args[++i];
        } else {
            problem = QStringLiteral("unknown option '%1'").arg(a);
            return false;
        }
        if (haveSize) {
            problem = QStringLiteral("option '-s' given twice");
            return false;
        }
        haveSize = true;
    }
    if (files.size() != 2) {
        problem = QStringLiteral("give FILE and OUT.png");
        return false;
    }
    if (!haveSize) {
        problem = QStringLiteral("no size: give -s SIZE");
        return false;
    }
    bool ok = false;
    const int size = sizeText.toInt(&ok);
    if (!ok || size < SmallestThumbnail || size > LargestThumbnail) {
        problem = QStringLiteral("-s takes a whole number from %1 to %2, not '%3'")
                      .arg(QString::number(SmallestThumbnail), QString::number(LargestThumbnail),
                           sizeText);
        return false;
    }
    out = {files[0], files[1], size};
    return true;
}

ThumbnailStatus makeThumbnail(const ThumbnailRequest &request, RollLoader load, QString &problem) {
    RollModel model;
    if (!load(request.file, model, problem))
        return ThumbnailRefused;
    const RollPainter painter(std::move(model), RollLook::thumbnail(request.size));
    const QByteArray bytes = rollPng(painter, QSize(request.size, request.size));
    if (bytes.isEmpty() || !writeFileAtomically(request.output, bytes)) {
        problem = QStringLiteral("%1: cannot write").arg(request.output);
        return ThumbnailNotWritten;
    }
    return ThumbnailMade;
}

} // namespace tambolin::roll
