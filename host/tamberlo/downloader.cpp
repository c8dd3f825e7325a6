#include "host/tamberlo/downloader.h"
#include "platform/runtime/bounded_read.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace tambolin::tamberlo {

Downloader::Downloader(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    // Never from https to plain http on a redirect.
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

Downloader::~Downloader() {
    if (m_reply)
        m_reply->abort();
}

void Downloader::fetch(const QUrl &url) {
    if (m_reply) {
        QNetworkReply *old = m_reply;
        m_reply = nullptr;
        old->abort();
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeoutMs);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxBytes || total > kMaxBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
}

bool Downloader::holds(const QString &path) const {
    return m_folder.isValid() &&
           QFileInfo(path).absolutePath() == QFileInfo(m_folder.path()).absoluteFilePath();
}

void Downloader::onFinished(QNetworkReply *reply) {
    reply->deleteLater();
    if (reply != m_reply)
        return; // abandoned for a newer one
    m_reply = nullptr;
    const QUrl url = reply->request().url();
    const QByteArray data = readAtMost(*reply, kMaxBytes);
    if (reply->error() != QNetworkReply::NoError || data.size() > kMaxBytes) {
        emit failed(
            url,
            data.size() > kMaxBytes || reply->error() == QNetworkReply::OperationCanceledError
                ? QCoreApplication::translate("tamberlo", "メロディのファイルにしては大きすぎます")
                : reply->errorString());
        return;
    }
    if (!m_folder.isValid()) {
        emit failed(url, QCoreApplication::translate(
                             "tamberlo", "受け取ったファイルを置くフォルダがありません"));
        return;
    }
    QSaveFile file(m_folder.filePath(QStringLiteral("download.tbn")));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        emit failed(url, file.errorString());
        return;
    }
    emit fetched(file.fileName());
}

} // namespace tambolin::tamberlo
