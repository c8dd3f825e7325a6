#include "platform/desktop/common_dialogs.h"

#include "platform/desktop/common_dialogs_desktop.h"
#include "platform/desktop/handles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

namespace tambolin {

namespace {

// A glob that matches letters in either case: "*.tbn" -> "*.[tT][bB][nN]".
QString caseBlindGlob(const QString &pattern) {
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

// The owner is a window handle of ours, as the utility class hands them out.
QWidget *ownerWidget(Long owner) {
    return widgetOf(owner);
}

// The real dialogs: Qt's file dialogs and the desktop's services.
class RealDialogs final : public CommonDialogs {
public:
    QString fileDialog(const FileDialogRequest &request) override {
        QFileDialog dialog(ownerWidget(request.owner));
        configureFileDialog(dialog, request);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList chosen = dialog.selectedFiles();
        return chosen.isEmpty() ? QString() : chosen.first();
    }

    QString folderDialog(const FolderDialogRequest &request) override {
        return QFileDialog::getExistingDirectory(ownerWidget(request.owner), request.title,
                                                 request.startDir, QFileDialog::ShowDirsOnly);
    }

    bool openWith(Long, const QString &path) override { return DesktopShell().openWith(path); }

    Long showProperties(Long, const QString &path) override {
        return DesktopShell().showProperties(path);
    }
};

thread_local CommonDialogs *t_dialogs = nullptr;

QString runFileDialog(const FileDialogRequest &request) {
    const QString chosen = currentDialogs().fileDialog(request);
    if (!chosen.isEmpty() && !(request.flags & OFN_NOCHANGEDIR))
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return chosen;
}

} // namespace

CommonDialogs &currentDialogs() {
    thread_local RealDialogs real;
    return t_dialogs ? *t_dialogs : real;
}

ScopedDialogs::ScopedDialogs(CommonDialogs &dialogs) : m_previous(t_dialogs) {
    t_dialogs = &dialogs;
}

ScopedDialogs::~ScopedDialogs() {
    t_dialogs = m_previous;
}

QStringList qtNameFilters(const QString &filter) {
    QStringList items = filter.split(QChar(u'\0'));
    // The final NUL (and any extra) end the list; they are not items.
    while (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    QStringList out;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QStringList globs;
        for (const QString &p : items[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = p.trimmed();
            if (!trimmed.isEmpty())
                globs << caseBlindGlob(trimmed);
        }
        if (globs.isEmpty())
            continue;
        const QString display = items[i].isEmpty() ? items[i + 1] : items[i];
        out << QStringLiteral("%1 (%2)").arg(display, globs.join(QLatin1Char(' ')));
    }
    return out;
}

void configureFileDialog(QFileDialog &dialog, const FileDialogRequest &request) {
    const bool save = request.kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name to save under may be new; only opening insists on an existing file.
    dialog.setFileMode(!save && (request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                    : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !(save && (request.flags & OFN_OVERWRITEPROMPT)));
    // The patterns are ours (case-blind globs); show the caller's text only.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);

    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }

    QString dir = request.initialDir;
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::currentPath();
    dialog.setDirectory(dir);
    // A full path as the suggestion opens its folder, as a name opens dir.
    if (!request.suggestedFile.isEmpty())
        dialog.selectFile(request.suggestedFile);
}

QString GetOpenFileName(FileDialogRequest request) {
    request.kind = FileDialogKind::Open;
    return runFileDialog(request);
}

QString GetSaveFileName(FileDialogRequest request) {
    request.kind = FileDialogKind::Save;
    return runFileDialog(request);
}

QString BrowseForFolder(const FolderDialogRequest &request) {
    return currentDialogs().folderDialog(request);
}

bool ShellOpenWith(Long owner, const QString &path) {
    return currentDialogs().openWith(owner, path);
}

Long ShellShowProperties(Long owner, const QString &path) {
    return currentDialogs().showProperties(owner, path);
}

} // namespace tambolin
