// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/FeedMenu.h"

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
#include "poi/Ov2Editor.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
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

void addAll(TOV2 &editor, const Feeds::Result &result)
{
    for (const Feeds::Point &p : result.points)
        editor.AddPoi(p.lon, p.lat, p.name);
    if (!result.error.isEmpty())
        throw KorvixError(result.error);
}

QUrl sourceUrl(IShell &shell, Feeds::Source source, const char *path)
{
    return Feeds::feedUrl(Feeds::server(shell.settings(), source), QString::fromLatin1(path));
}

} // namespace

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
        addAll(*this, Feeds::GDDKiA(fetch(*this, m_shell, url), QDate::currentDate()));
        url = sourceUrl(m_shell, Feeds::Source::Gddkia, Feeds::GddkiaMobiPath);
        m_shell.SetStatus(tr("Download GDDKIA"));
        addAll(*this, Feeds::GDDKiAMobi(fetch(*this, m_shell, url)));
        NeedSave(ListBit);
    } catch (const KorvixError &e) {
        prompts.message(this, tr("Error"),
                        tr("Can't open \"%1\"\nThe existing file will be opened, if exists.").arg(url.toString()),
                        e.message());
        OpenOV2(FileName);
    }
}

namespace FeedMenu {

void install(TOV2 &editor, IShell &shell)
{
    if (!editor.prompts.askUrl)
        editor.prompts.askUrl = [](QWidget *parent, const QString &def, bool &ok) {
            return QInputDialog::getText(parent, TOV2::tr("Podaj URL"), TOV2::tr("URL:"), QLineEdit::Normal, def, &ok);
        };
    if (!editor.prompts.openMapSettings)
        editor.prompts.openMapSettings = [](QWidget *parent) {
            QFileDialog dlg(parent);
            dlg.setAcceptMode(QFileDialog::AcceptOpen);
            dlg.setFileMode(QFileDialog::ExistingFile);
            dlg.setNameFilter(TOV2::tr("TTMapSettings (*.cfg)"));
            dlg.setDefaultSuffix(QStringLiteral("cfg"));
            dlg.selectFile(QStringLiteral("MapSettings.cfg"));
            if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
                return QString();
            return dlg.selectedFiles().constFirst();
        };
    QMenu *menu = editor.importMenu();
    TOV2 *w = &editor;
    IShell *s = &shell;
    auto guarded = [w, s](void (*handler)(TOV2 &, IShell &)) {
        return [w, s, handler] { ErrorGuard::run(s->window() ? s->window() : w, [&] { handler(*w, *s); }); };
    };
    menu->addAction(TOV2::tr("GDDKiA Utrudnienia"), w, [w] { w->GDKIA(QString(), QImage()); });
    menu->addAction(TOV2::tr("Kraków Utrudnienia"), w, guarded(&KrakwUtrudnienia1Click));
    menu->addAction(TOV2::tr("Zakopane Kwatery"), w, guarded(&ZakopaneKwatery1Click));
    menu->addAction(TOV2::tr("WEB"), w, guarded(&WEB1Click));
    menu->addAction(TOV2::tr("MapSettings.cfg"), w, guarded(&MapSettingscfg1Click));
}

void KrakwUtrudnienia1Click(TOV2 &editor, IShell &shell)
{
    addAll(editor, Feeds::krakow(fetch(editor, shell, sourceUrl(shell, Feeds::Source::Krakow, Feeds::KrakowPath))));
}

void ZakopaneKwatery1Click(TOV2 &editor, IShell &shell)
{
    addAll(editor,
           Feeds::zakopane(fetch(editor, shell, sourceUrl(shell, Feeds::Source::Zakopane, Feeds::ZakopanePath))));
}

void WEB1Click(TOV2 &editor, IShell &shell)
{
    const QString def = QStringLiteral("http:\\\\");
    bool ok = false;
    const QString address = editor.prompts.askUrl(&editor, def, ok);
    if (!ok || address == def)
        return;
    addAll(editor, Feeds::webPage(fetch(editor, shell, Feeds::feedUrl(address, QString())), address));
}

void MapSettingscfg1Click(TOV2 &editor, IShell &shell)
{
    const QString file = editor.prompts.openMapSettings(&editor);
    if (file.isEmpty())
        return;
    // Scanned in blocks: any regular file, but never a FIFO or an endless device.
    QFile in;
    if (const QString error = FileReader::open(in, file, FileReader::MaxListBytes); !error.isEmpty())
        throw KorvixError(error);
    const bool read = MapSettings::scan(in, DeviceCodec::fromSettings(shell.settings()), [&](const MapSettings::Record &r) {
        editor.AddPoi(MapSettings::degreesText(r.lon), MapSettings::degreesText(r.lat), r.name);
    });
    if (!read)
        throw KorvixError(TOV2::tr("Can't open %1: %2").arg(QFileInfo(file).fileName(), in.errorString()));
}

} // namespace FeedMenu
