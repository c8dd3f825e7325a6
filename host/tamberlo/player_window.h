#pragma once
// The desktop player's window: one player control, created by its class
// name, with what a desktop player adds around it: opening what it is given
// (arguments, drops, the bus), a context menu, the usual shortcuts, the
// melody's title in the window title and the desktop's recent files.

#include "control/playctrl.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QAction;
class QMenu;

namespace tambolin {

class ControlLoader;

namespace tamberlo {

class Downloader;
class PlayerDriver;
class RollArea;

class PlayerWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PlayerWindow(ControlLoader &loader, QWidget *parent = nullptr);
    ~PlayerWindow() override;

    // The control, or null when it could not be created (see loadError()).
    PLAYCTRL *control() const { return m_control; }
    QString loadError() const { return m_loadError; }
    PlayerDriver *driver() const { return m_driver; }

    // Opens the first location and plays it; the other local files join the
    // recent files, one click away. No locations: only shows the window.
    void openLocations(const QStringList &locations);
    // Brings the window to the front.
    void raiseWindow();

    // The context menu as it would show now.
    QMenu *contextMenu();

    // The actions, for their shortcuts: open, save as, settings, quit, play/stop.
    QAction *openAction() const { return m_open; }
    QAction *saveAsAction() const { return m_saveAs; }
    QAction *settingsAction() const { return m_settings; }
    QAction *quitAction() const { return m_quit; }
    QAction *playStopAction() const { return m_playStop; }
    // Shows or hides the piano roll under the panel; the choice is kept.
    QAction *rollAction() const { return m_showRoll; }
    RollArea *rollArea() const { return m_roll; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void openLocation(const QString &location);
    void chooseAndOpen();
    void clickPanelButton(int index);
    void playOrStop();
    void updateActions();
    void onMelodyChanged();
    void showTitle();
    void showRoll(bool shown);

    QPointer<PLAYCTRL> m_control;
    QString m_loadError;
    PlayerDriver *m_driver = nullptr;
    Downloader *m_downloader = nullptr;
    QMenu *m_menu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QAction *m_open = nullptr;
    QAction *m_saveAs = nullptr;
    QAction *m_settings = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_playStop = nullptr;
    QAction *m_showRoll = nullptr;
    RollArea *m_roll = nullptr;
};

} // namespace tamberlo
} // namespace tambolin
