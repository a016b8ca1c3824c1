// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Img.h"

#include "platform/Question.h"

#include "media/ImgDlg.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

namespace {
// Shows the picture centred at its own size.
class PictureView : public QWidget {
public:
    explicit PictureView(const ImgFile::Picture &picture, QWidget *parent)
        : QWidget(parent), m_picture(picture)
    {
        setMinimumSize(ImgFile::StartupWidth, ImgFile::StartupHeight);
    }
    QSize sizeHint() const override
    {
        return m_picture.isNull() ? minimumSize() : m_picture.image.size().expandedTo(minimumSize());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_picture.isNull())
            return;
        QPainter p(this);
        const QSize s = m_picture.image.size();
        p.drawImage(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), m_picture.image);
    }

private:
    const ImgFile::Picture &m_picture;
};

QString pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &f : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(f);
    return TImg::tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))) + QStringLiteral(";;")
           + TImg::tr("All files (*)");
}
} // namespace

TImg::TImg(IShell &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(this);
    m_tools = bar->addMenu(tr("Tools"));
    QMenu *bitmap = m_tools->addMenu(tr("Bitmap"));
    bitmap->addAction(tr("Import from file"), this, &TImg::ImportClick);
    bitmap->addAction(tr("Paste from clipboard"), this, &TImg::PasteClick);
    bitmap->addAction(tr("Copy to clipboard"), this, &TImg::CopyClick);
    layout->setMenuBar(bar);
    m_bar = bar;
    m_view = new PictureView(m_picture, this);
    layout->addWidget(m_view);
    Cap(false);
}

void TImg::hideOwnMenuBar()
{
    m_bar->hide();
}

void TImg::OpenBMP(const QString &nodeText, const QString &path)
{
    Q_UNUSED(nodeText)   // the path already holds the node's file name
    if (QFileInfo(path).isFile())
        m_picture = ImgFile::load(path);
    else
        m_picture = {};
    m_imagePath = path;
    pictureChanged();
    Cap(false);
}

void TImg::ImportClick()
{
    const QString file = QFileDialog::getOpenFileName(m_shell.window(), tr("Import from file"),
                                                      ImgFile::folderOf(m_imagePath), pictureFilter());
    if (file.isEmpty())
        return;
    ErrorGuard::run(m_shell.window(), [&] { importFile(file); });
}

void TImg::importFile(const QString &path)
{
    const ImgFile::Picture source = ImgFile::load(path);
    m_picture = ImgFile::stretchedStartup(source.image, m_picture);
    pictureChanged();
    Cap(true);
}

void TImg::PasteClick()
{
    ErrorGuard::run(m_shell.window(), [&] {
        if (!pasteFrom(QGuiApplication::clipboard()->mimeData()))
            m_shell.SetStatus(tr("The clipboard holds no picture."));
    });
}

bool TImg::pasteFrom(const QMimeData *mime)
{
    if (!mime)
        return false;
    // A bitmap first, then any other picture format; each through the size guard.
    QStringList formats;
    for (const QString &f : mime->formats())
        if (f.startsWith(QLatin1String("image/"))) {
            if (f.contains(QLatin1String("bmp")))
                formats.prepend(f);
            else
                formats.append(f);
        }
    QImage image;
    for (const QString &f : formats) {
        try {
            image = ImgFile::loadData(mime->data(f)).image;
        } catch (const KorvixError &) {
            continue;
        }
        if (!image.isNull())
            break;
    }
    if (image.isNull() && mime->hasImage())
        image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull())
        return false;   // nothing usable: the picture stays as it was
    m_picture = ImgFile::stretchedStartup(image, m_picture);
    pictureChanged();
    Cap(true);
    return true;
}

void TImg::CopyClick()
{
    if (!m_picture.isNull())
        QGuiApplication::clipboard()->setImage(m_picture.image);
}

void TImg::Save()
{
    saveNow();
}

bool TImg::saveNow()
{
    if (!ImgFile::isStartupName(QFileInfo(m_imagePath).fileName()))
        return Saveas();
    ImgFile::save(m_imagePath, m_picture);
    Cap(false);
    m_shell.UpdateTreeView(m_imagePath, 3);
    return true;
}

bool TImg::Saveas()
{
    const QString target = ImgFile::pathForChoice(m_imagePath, TImgDlg::choose(m_shell.window()));
    if (target.isEmpty())
        return false;
    ImgFile::save(target, m_picture);   // on failure the editor keeps its old name
    m_imagePath = target;
    Cap(false);
    // A new picture must show up in the tree like one saved under its own name.
    m_shell.UpdateTreeView(m_imagePath, 3);
    return true;
}

void TImg::Cap(bool modified)
{
    m_modified = modified;
    setWindowTitle(m_imagePath + (modified ? QStringLiteral("*") : QString()));
}

void TImg::pictureChanged()
{
    m_view->updateGeometry();
    m_view->update();
}

void TImg::closeEvent(QCloseEvent *event)
{
    if (!m_modified) {
        event->accept();
        return;
    }
    const auto answer = askToSaveChanges(this, tr("Images"), tr("Do you want to save changes?"));
    bool closes = answer == QMessageBox::No;
    if (answer == QMessageBox::Yes)
        ErrorGuard::run(m_shell.window(), [&] { closes = saveNow(); });
    // An imported picture is never lost: without a save the window stays open.
    if (closes)
        event->accept();
    else
        event->ignore();
}
