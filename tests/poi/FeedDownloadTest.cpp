// SPDX-License-Identifier: GPL-3.0-or-later
// Feed downloads against a local server started by each test: the body, an error
// answer, silence, a body past the limit, cancel; the servers from the settings.
#include "platform/Error.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "poi/FeedDownload.h"
#include "poi/Feeds.h"
#include "tests/poi/FeedHttp.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

class StatusShell : public QuietShell {
public:
    using QuietShell::QuietShell;
    void SetStatus(const QString &text) override { statuses << text; }
    QStringList statuses;
};

// The reason a download failed, or "" when it succeeded.
QString failure(HttpClient &http, const QUrl &url, int silenceMs = 60000, qint64 maxBytes = Feeds::MaxBytes)
{
    try {
        Feeds::download(http, nullptr, url, silenceMs, maxBytes);
    } catch (const KorvixError &e) {
        return e.message();
    }
    return {};
}

TEST(FeedDownload, ReturnsTheBodyShowingTheAddressAndTheTransfer)
{
    FeedHttp server;
    server.answers["/dane/zima_html/utrdane.xml"] = {"200 OK", "<utrudnienia/>"};
    StatusShell shell;
    qint64 begun = -1, last = -1;
    QObject::connect(&shell.http(), &HttpClient::workBegin, [&](qint64 total) { begun = total; });
    QObject::connect(&shell.http(), &HttpClient::work, [&](qint64 got) { last = got; });
    const QUrl url = Feeds::feedUrl(server.server(), Feeds::GddkiaPath);
    EXPECT_EQ(Feeds::download(shell.http(), &shell, url), "<utrudnienia/>");
    EXPECT_EQ(shell.statuses, (QStringList{url.toString(), QString()}));
    EXPECT_EQ(server.paths, QList<QByteArray>{"/dane/zima_html/utrdane.xml"});
    EXPECT_EQ(begun, 14);
    EXPECT_GE(last, 14); // the bar is told the transfer is over
}

TEST(FeedDownload, FailsOnErrorAnswersSilenceSizeAndCancel)
{
    FeedHttp server;
    server.answers["/broken"] = {"500 Internal Server Error", "oops"};
    server.answers["/big"] = {"200 OK", QByteArray(40 * 1024 * 1024, 'x')};
    HttpClient http;
    EXPECT_EQ(failure(http, QUrl(server.server() + "/broken")), QStringLiteral("HTTP error 500"));
    EXPECT_EQ(failure(http, QUrl(server.server() + "/missing")), QStringLiteral("HTTP error 404"));
    EXPECT_EQ(failure(http, QUrl(server.server() + "/big")), Feeds::tooLargeMessage());
    server.silent = true;
    EXPECT_EQ(failure(http, QUrl(server.server() + "/quiet"), 300), Feeds::silenceMessage(0));
    QTimer::singleShot(200, &http, &HttpClient::cancel);
    const QString cancelled = failure(http, QUrl(server.server() + "/quiet"));
    EXPECT_FALSE(cancelled.isEmpty());
    EXPECT_NE(cancelled, Feeds::silenceMessage(60));
    // A closed port.
    const quint16 port = server.serverPort();
    server.close();
    EXPECT_FALSE(failure(http, QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port))).isEmpty());
}

TEST(FeedDownload, OnlySilenceEndsASlowTransfer)
{
    FeedHttp server;
    server.answers["/slow"] = {"200 OK", "<dane>0123456789012345</dane>"};
    server.trickleMs = 100; // 2.9 s in all, never 1.5 s without a byte
    HttpClient http;
    EXPECT_EQ(Feeds::download(http, nullptr, QUrl(server.server() + "/slow"), 1500), "<dane>0123456789012345</dane>");
}

TEST(FeedDownload, ServersComeFromTheSettingsWithDefaults)
{
    TempFolder dir;
    KorvixSettings settings(dir.file("Korvix.ini"));
    for (Feeds::Source s : {Feeds::Source::Gddkia, Feeds::Source::Krakow, Feeds::Source::Zakopane})
        EXPECT_EQ(Feeds::server(settings, s), Feeds::defaultServer(s));
    settings.WriteString("Settings", "KrakowServer", "mapa.example.test/");
    settings.WriteString("settings", "zakopaneserver", "http://127.0.0.1:8080");
    EXPECT_EQ(Feeds::server(settings, Feeds::Source::Krakow), "http://mapa.example.test");
    EXPECT_EQ(Feeds::server(settings, Feeds::Source::Zakopane), "http://127.0.0.1:8080");
    EXPECT_EQ(Feeds::feedUrl("http://127.0.0.1:8080", Feeds::ZakopanePath).toString(), "http://127.0.0.1:8080/wszystkie.xml");
    EXPECT_EQ(Feeds::feedUrl("http://host.test", Feeds::KrakowPath).port(), 80);
    EXPECT_EQ(Feeds::feedUrl("http://host.test:port", "/a").toString(), "http://host.test:80/a");
}

} // namespace
