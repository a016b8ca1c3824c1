// SPDX-License-Identifier: GPL-3.0-or-later
// The POI list's Tools > Import: the feeds, the web page scan, "MapSettings.cfg",
// KML files and map links. Every source ends in AddPoi.
#include "poi/Ov2Editor.h"

#include "exchange/KmlImport.h"
#include "exchange/MapLink.h"
#include "grid/RBGrids.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/FileReader.h"
#include "platform/HttpClient.h"
#include "platform/Shell.h"
#include "poi/FeedDownload.h"
#include "poi/Feeds.h"
#include "poi/MapSettings.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace {

// While a feed downloads the window cannot be closed and its list and menus rest;
// only its Cancel button is live.
class DownloadLock : public QObject {
public:
    DownloadLock(TOV2 &editor, IShell &shell) : m_editor(&editor)
    {
        editor.installEventFilter(this);
        editor.grid()->setEnabled(false);
        editor.editorMenu()->setEnabled(false);
        m_cancel = new QPushButton(TOV2::tr("Cancel"), &editor);
        m_cancel->setObjectName(QStringLiteral("feedCancel"));
        m_cancel->adjustSize();
        m_cancel->move(editor.width() - m_cancel->width() - 4, 4);
        m_cancel->show();
        m_cancel->raise();
        QObject::connect(m_cancel, &QPushButton::clicked, &shell.http(), &HttpClient::cancel);
    }
    ~DownloadLock() override
    {
        if (!m_editor)
            return;
        m_editor->removeEventFilter(this);
        m_editor->grid()->setEnabled(true);
        m_editor->editorMenu()->setEnabled(true);
        delete m_cancel;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }

private:
    QPointer<TOV2> m_editor;
    QPointer<QPushButton> m_cancel;
};

QByteArray fetch(TOV2 &editor, IShell &shell, const QUrl &url)
{
    DownloadLock lock(editor, shell);
    return Feeds::download(shell.http(), &shell, url);
}

QUrl sourceUrl(IShell &shell, Feeds::Source source, const char *path)
{
    return Feeds::feedUrl(Feeds::server(shell.settings(), source), QString::fromLatin1(path));
}

} // namespace

void TOV2::addAll(const Feeds::Result &result)
{
    for (const Feeds::Point &p : result.points)
        AddPoi(p.lon, p.lat, p.name);
    if (!result.error.isEmpty())
        throw KorvixError(result.error);
}

void TOV2::GDKIA(const QString &folder, const QImage &badge)
{
    if (!folder.isEmpty())
        FileName = QDir(folder).filePath(QStringLiteral("GDDKIA.ov2"));
    QImage icon = smallIcon().isNull() ? defaultIcon() : smallIcon();
    icon = icon.convertToFormat(QImage::Format_ARGB32);
    if (!badge.isNull()) {
        QPainter p(&icon);
        p.drawImage(0, 0, badge);
    }
    setSmallIcon(icon);
    QUrl url = sourceUrl(m_shell, Feeds::Source::Gddkia, Feeds::GddkiaPath);
    try {
        m_shell.SetStatus(tr("Download GDDKIA"));
        addAll(Feeds::GDDKiA(fetch(*this, m_shell, url), QDate::currentDate()));
        url = sourceUrl(m_shell, Feeds::Source::Gddkia, Feeds::GddkiaMobiPath);
        m_shell.SetStatus(tr("Download GDDKIA"));
        addAll(Feeds::GDDKiAMobi(fetch(*this, m_shell, url)));
        NeedSave(ListBit);
    } catch (const KorvixError &e) {
        dialogs.message(this, tr("Error"),
                        tr("Can't open \"%1\"\nThe existing file will be opened, if exists.").arg(url.toString()),
                        e.message());
        OpenOV2(FileName);
    }
}

void TOV2::installImports()
{
    auto guarded = [this](void (TOV2::*handler)()) {
        return [this, handler] {
            ErrorGuard::run(m_shell.window() ? m_shell.window() : this, [&] { (this->*handler)(); });
        };
    };
    m_import->addAction(tr("GDDKiA Utrudnienia"), this, [this] { GDKIA(QString(), QImage()); });
    m_import->addAction(tr("Kraków Utrudnienia"), this, guarded(&TOV2::KrakwUtrudnienia1Click));
    m_import->addAction(tr("Zakopane Kwatery"), this, guarded(&TOV2::ZakopaneKwatery1Click));
    m_import->addAction(tr("WEB"), this, guarded(&TOV2::WEB1Click));
    m_import->addAction(tr("MapSettings.cfg"), this, guarded(&TOV2::MapSettingscfg1Click));
    QMenu *maps = m_import->addMenu(tr("GoogleMaps"));
    maps->addAction(tr("Kml"), this, guarded(&TOV2::Kml1Click));
    maps->addAction(tr("Link"), this, guarded(&TOV2::Link1Click));
}

void TOV2::KrakwUtrudnienia1Click()
{
    addAll(Feeds::krakow(fetch(*this, m_shell, sourceUrl(m_shell, Feeds::Source::Krakow, Feeds::KrakowPath))));
}

void TOV2::ZakopaneKwatery1Click()
{
    addAll(Feeds::zakopane(fetch(*this, m_shell, sourceUrl(m_shell, Feeds::Source::Zakopane, Feeds::ZakopanePath))));
}

void TOV2::WEB1Click()
{
    const QString def = QStringLiteral("http:\\\\");
    bool ok = false;
    const QString address = dialogs.inputText(this, tr("Podaj URL"), tr("URL:"), def, ok);
    if (!ok || address == def)
        return;
    addAll(Feeds::webPage(fetch(*this, m_shell, Feeds::feedUrl(address, QString())), address));
}

void TOV2::MapSettingscfg1Click()
{
    const QString file = dialogs.openFile(this, QStringLiteral("MapSettings.cfg"), {tr("TTMapSettings (*.cfg)")});
    if (file.isEmpty())
        return;
    // Scanned in blocks: any regular file, but never a FIFO or an endless device.
    QFile in;
    if (const QString error = FileReader::open(in, file, FileReader::MaxListBytes); !error.isEmpty())
        throw KorvixError(error);
    const DeviceCodec codec = DeviceCodec::fromSettings(m_shell.settings());
    const bool read = MapSettings::scan(in, codec, [&](const MapSettings::Record &r) {
        AddPoi(MapSettings::degreesText(r.lon), MapSettings::degreesText(r.lat), r.name);
    });
    if (!read)
        throw KorvixError(tr("Can't open %1: %2").arg(QFileInfo(file).fileName(), in.errorString()));
}

void TOV2::Kml1Click()
{
    const QString file = dialogs.openFile(this, FileName.isEmpty() ? QString() : QFileInfo(FileName).path(),
                                          {tr("Kml file (*.kml)"), tr("All (*)")});
    if (file.isEmpty())
        return;
    QString error;
    const std::optional<QByteArray> bytes = FileReader::read(file, FileReader::MaxXmlBytes, &error);
    if (!bytes)
        throw KorvixError(error);
    ImportKML(*bytes);
}

void TOV2::Link1Click()
{
    const QString link = dialogs.clipboardText().trimmed();
    // A link that spells out its point needs no download.
    if (const auto point = Itn::pointFromMapLink(link)) {
        AddPoi(point->lon, point->lat, point->name);
        return;
    }
    if (!Itn::isHttpLink(link)) {
        dialogs.message(this, tr("Uwaga!"), Itn::noLinkMessage(), QString());
        return;
    }
    QByteArray answer;
    {
        DownloadLock lock(*this, m_shell);
        answer = Itn::fetchMapLink(m_shell.http(), Itn::fetchUrl(Itn::kmlRequestUrl(link)));
    }
    ImportKML(answer);
}

void TOV2::ImportKML(const QByteArray &bytes)
{
    // Read as a stream: no document model of a large file.
    const Itn::KmlPoints kml = Itn::ImportKML(bytes);
    if (!kml.points.empty()) {
        // One step back for the whole import.
        m_grid->BeginChange(QStringLiteral("Import"));
        for (const Itn::ImportedPoint &p : kml.points)
            AddPoi(p.lon, p.lat, p.name);
        m_grid->EndChange();
    }
    if (!kml.valid)
        dialogs.message(this, tr("Error"), Itn::invalidKmlMessage(), kml.reason);
}
