#pragma once
// Fetches https:// melodies, which the control does not take as URLs (only
// http and ftp), into a folder of the player's own, so the control loads them as
// local files. One transfer at a time, bounded in size and time; the folder
// and its file go when the player ends.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace tambolin::tamberlo {

class Downloader final : public QObject {
    Q_OBJECT
public:
    explicit Downloader(QObject *parent = nullptr);
    ~Downloader() override;

    // Starts fetching url, abandoning a transfer still running.
    void fetch(const QUrl &url);

    // True for a file this downloader wrote.
    bool holds(const QString &path) const;

    // A melody file is a few kilobytes; anything far larger is not one.
    static constexpr qint64 kMaxBytes = 256 * 1024;
    static constexpr int kTimeoutMs = 30000;

signals:
    void fetched(const QString &localPath);
    void failed(const QUrl &url, const QString &reason);

private:
    void onFinished(QNetworkReply *reply);

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QTemporaryDir m_folder;
};

} // namespace tambolin::tamberlo
