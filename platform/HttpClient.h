// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;

// The shared HTTP client: plain GETs with the program's header values, cookies kept
// in memory for the run, no proxy, transfer progress as signals.
class HttpClient : public QObject {
    Q_OBJECT
public:
    static constexpr const char *Accept = "text/html, */*,xml";
    static constexpr const char *UserAgent = "Mozilla/3.0 (compatible; Indy Library)";

    explicit HttpClient(QObject *parent = nullptr);

    struct Result {
        bool ok = false;
        int status = 0;
        QByteArray body;
        QString error;
    };

    // Waits in a local event loop until the answer, the time limit or cancel().
    // maxBytes > 0 stops reading after that many bytes.
    Result get(const QUrl &url, int timeoutMs = 30000, qint64 maxBytes = 0);
    // Answers through `done` on this object's thread; the caller never waits.
    void getAsync(const QUrl &url, std::function<void(const Result &)> done,
                  int timeoutMs = 30000, qint64 maxBytes = 0);
    // Ends the blocking and the running transfers.
    void cancel();

    QNetworkAccessManager *manager() const { return m_nam; }

    // A GET of `url` with the program's header values, for transfers that read the
    // reply themselves through manager().
    static QNetworkRequest request(const QUrl &url, QNetworkRequest::RedirectPolicy redirects =
                                                        QNetworkRequest::NoLessSafeRedirectPolicy);
    // The transfer's progress as workBegin (once, with the expected size or 0) and work.
    void reportProgress(QNetworkReply *reply);
    struct Ending {
        int status = 0; // 0: no HTTP answer
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QString reason;
    };
    // How a transfer of its own ended, once its body is read: the reply is then cut off
    // from every handler (they refer to the caller's frame) and deleted later.
    Ending finish(QNetworkReply *reply);

signals:
    void workBegin(qint64 expectedBytes);
    void work(qint64 bytesSoFar);
    void cancelled();

private:
    QNetworkReply *start(const QUrl &url);
    QNetworkAccessManager *m_nam;
};
