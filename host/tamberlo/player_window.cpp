#include "host/tamberlo/player_window.h"

#include "control/automation/class_entry.h"
#include "control/playctrl.h"
#include "host/control_loader.h"
#include "host/tamberlo/app_info.h"
#include "host/tamberlo/downloader.h"
#include "host/tamberlo/locations.h"
#include "host/tamberlo/player_driver.h"
#include "host/tamberlo/recent_melodies.h"
#include "host/tamberlo/roll_area.h"
#include "host/tamberlo/tamberlo_settings.h"
#include "platform/desktop/common_dialogs.h"
#include "platform/desktop/handles.h"
#include "platform/desktop/recent_documents.h"
#include "platform/runtime/message_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace tambolin::tamberlo {

namespace {

// The control's own panel: element 4 saves under a new name, 5 the settings.
constexpr int kSaveButton = 4;
constexpr int kSettingsButton = 5;

// The control downloads http:// and ftp:// addresses into this file itself;
// it is no document of the user's.
const QString kControlDownloadName = QStringLiteral("~tambol.tbn");

QString melodyFilter() {
    const QChar nul(0);
    return QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn)") + nul + QStringLiteral("*.tbn") + nul +
           QStringLiteral("全てのﾌｧｲﾙ(*.*)") + nul + QStringLiteral("*.*") + nul;
}

// A title read from a file, fit for a window title: no control characters.
QString printableTitle(const QString &title) {
    QString text = title;
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QLatin1Char(' ');
    return text.simplified();
}

} // namespace

PlayerWindow::PlayerWindow(ControlLoader &loader, QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tamberlo"));
    setAcceptDrops(true);
    QWidget *created = loader.create(QString::fromLatin1(kPlayctrlProgId), this);
    m_control = qobject_cast<PLAYCTRL *>(created);
    if (!m_control) {
        // A class from another copy of the library is no control this
        // program can drive.
        delete created;
        m_loadError =
            created ? QCoreApplication::translate(
                          "tamberlo", "登録されているコントロールのライブラリは、このプログラムと"
                                      "一緒にビルドされたものではありません。")
                    : loader.errorString();
        return;
    }
    m_control->setObjectName(QStringLiteral("PLAYCTRL1"));
    m_control->move(0, 0);
    m_control->show();
    setFixedSize(m_control->size());

    m_driver = new PlayerDriver(*m_control, this);
    m_downloader = new Downloader(this);
    m_roll = new RollArea(*m_control, this);
    m_roll->setGeometry(0, m_control->height(), m_control->width(), RollArea::kHeight);
    connect(m_driver, &PlayerDriver::melodyChanged, m_roll, &RollArea::refresh);
    connect(m_driver, &PlayerDriver::playingChanged, m_roll, &RollArea::setPlaying);
    connect(m_driver, &PlayerDriver::melodyChanged, this, &PlayerWindow::onMelodyChanged);
    connect(m_driver, &PlayerDriver::titleChanged, this, &PlayerWindow::showTitle);
    connect(m_driver, &PlayerDriver::playingChanged, this, &PlayerWindow::updateActions);
    connect(m_downloader, &Downloader::fetched, this,
            [this](const QString &path) { m_driver->open(path); });
    connect(m_downloader, &Downloader::failed, this, [](const QUrl &url, const QString &reason) {
        // One pass over both: neither the address nor the reason is read for markers.
        MsgBox(QCoreApplication::translate("tamberlo", "%1のﾀﾞｳﾝﾛｰﾄﾞに失敗\n%2")
                   .arg(url.toDisplayString(), reason),
               vbExclamation, QString::fromLatin1(kIdentity));
    });
    createActions();
    showRoll(storedRollShown());
    showTitle();
    updateActions();
}

PlayerWindow::~PlayerWindow() = default;

void PlayerWindow::createActions() {
    auto make = [this](const QString &text, const QKeySequence &keys, auto slot) {
        auto *action = new QAction(text, this);
        if (!keys.isEmpty())
            action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    m_open = make(QCoreApplication::translate("tamberlo", "開く(&O)..."), QKeySequence::Open,
                  &PlayerWindow::chooseAndOpen);
    m_saveAs = make(QCoreApplication::translate("tamberlo", "名前を付けて保存(&A)..."),
                    QKeySequence(Qt::CTRL | Qt::Key_S), [this] { clickPanelButton(kSaveButton); });
    m_settings = make(QCoreApplication::translate("tamberlo", "MIDI設定(&M)..."), QKeySequence(),
                      [this] { clickPanelButton(kSettingsButton); });
    m_quit = make(QCoreApplication::translate("tamberlo", "終了(&Q)"),
                  QKeySequence(Qt::CTRL | Qt::Key_Q), &QWidget::close);
    m_playStop = make(QCoreApplication::translate("tamberlo", "再生/停止"),
                      QKeySequence(Qt::Key_Space), &PlayerWindow::playOrStop);
    m_showRoll =
        make(QCoreApplication::translate("tamberlo", "ピアノロール(&P)"), QKeySequence(), [this] {
            showRoll(m_showRoll->isChecked());
            storeRollShown(m_showRoll->isChecked());
        });
    m_showRoll->setCheckable(true);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("contextMenu"));
    m_menu->addAction(m_playStop);
    m_menu->addAction(m_showRoll);
    m_menu->addSeparator();
    m_menu->addAction(m_open);
    m_recentMenu =
        m_menu->addMenu(QCoreApplication::translate("tamberlo", "最近使ったファイル(&R)"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    m_menu->addAction(m_saveAs);
    m_menu->addSeparator();
    m_menu->addAction(m_settings);
    m_menu->addSeparator();
    m_menu->addAction(m_quit);
}

QMenu *PlayerWindow::contextMenu() {
    updateActions();
    m_recentMenu->clear();
    const QStringList recent = recentMelodies(recentDocumentsFile());
    for (const QString &path : recent) {
        // The file name says enough; the whole path is in the tooltip.
        QAction *action = m_recentMenu->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { openLocation(path); });
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
    return m_menu;
}

void PlayerWindow::contextMenuEvent(QContextMenuEvent *event) {
    contextMenu()->popup(event->globalPos());
    event->accept();
}

void PlayerWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (m_driver && !locationsFromMimeData(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PlayerWindow::dragMoveEvent(QDragMoveEvent *event) {
    if (m_driver && !locationsFromMimeData(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PlayerWindow::dropEvent(QDropEvent *event) {
    const QStringList locations = locationsFromMimeData(*event->mimeData());
    if (locations.isEmpty() || !m_driver)
        return;
    event->acceptProposedAction();
    openLocations(locations);
}

void PlayerWindow::openLocations(const QStringList &locations) {
    if (locations.isEmpty() || !m_driver)
        return;
    for (qsizetype i = 1; i < locations.size(); ++i)
        if (!isDownload(locations.at(i)))
            addRecentDocument(locations.at(i));
    openLocation(locations.first());
}

void PlayerWindow::openLocation(const QString &location) {
    if (!m_driver)
        return;
    const QUrl url(location);
    if (isDownload(location) && url.scheme() == QLatin1String("https"))
        m_downloader->fetch(url);
    else
        m_driver->open(location);
}

void PlayerWindow::chooseAndOpen() {
    if (!m_driver)
        return;
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.owner = handleOf(this);
    request.filter = melodyFilter();
    request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    const QString path = currentDialogs().fileDialog(request);
    if (!path.isEmpty())
        openLocation(path);
}

void PlayerWindow::clickPanelButton(int index) {
    // The panel's own button, so the control does what it always does; it is
    // disabled while a melody plays, and so is the action.
    QAbstractButton *button = m_control ? m_control->Command1(index) : nullptr;
    if (button && button->isEnabled())
        button->click();
}

void PlayerWindow::playOrStop() {
    // A panel button whose focus the user sees takes Space itself, before
    // this shortcut.
    if (m_driver)
        m_driver->togglePlay();
}

void PlayerWindow::updateActions() {
    if (!m_control)
        return;
    auto enabled = [this](int index) {
        QAbstractButton *button = m_control->Command1(index);
        return button && button->isEnabled();
    };
    m_saveAs->setEnabled(enabled(kSaveButton));
    m_settings->setEnabled(enabled(kSettingsButton));
}

void PlayerWindow::onMelodyChanged() {
    const QString file = m_driver->fileName();
    if (!file.isEmpty() && QFileInfo(file).fileName() != kControlDownloadName &&
        !m_downloader->holds(file))
        addRecentDocument(file);
    showTitle();
}

void PlayerWindow::showTitle() {
    // The application's name follows on the desktop's title bar.
    setWindowTitle(m_driver && m_driver->hasMelody() ? printableTitle(m_driver->title())
                                                     : QString());
}

void PlayerWindow::showRoll(bool shown) {
    // The panel keeps its place and size; the roll adds to the window below it.
    m_showRoll->setChecked(shown);
    m_roll->setVisible(shown);
    setFixedSize(m_control->width(), m_control->height() + (shown ? m_roll->height() : 0));
}

void PlayerWindow::raiseWindow() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

} // namespace tambolin::tamberlo
