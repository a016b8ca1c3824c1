// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Img.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include "PictureFixtures.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {
class FakeShell : public QuietShell {
public:
    void SetStatus(const QString &text) override { status = text; }
    void UpdateTreeView(const QString &path, int action) override { refreshed << QStringLiteral("%1:%2").arg(path).arg(action); }
    QWidget *window() override { return &m_window; }

    QStringList refreshed;
    QString status;

private:
    QWidget m_window;
};

// Answers the save choice dialog with the button of that object name, or closes it.
void answerSaveChoice(const QString &button)
{
    onNextModal([button](QWidget *dialog) {
        if (auto *b = dialog->findChild<QPushButton *>(button))
            b->click();
        else
            static_cast<QDialog *>(dialog)->reject();
    });
}

// Answers the close question; `then` arms the handler of the modal window that follows.
void answerQuestion(QMessageBox::StandardButton answer, const std::function<void()> &then = {})
{
    onNextModal([answer, then](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString(), "Do you want to save changes?");
        EXPECT_EQ(box->windowTitle().toStdString(), "Images");
        if (then)
            then();
        box->button(answer)->click();
    });
}

int bitsOf(const QString &path)
{
    const QByteArray d = readAll(path);
    return d.size() < 30 ? 0 : qFromLittleEndian<quint16>(d.constData() + 28);
}

struct Editor {
    FakeShell shell;
    TImg *img = new TImg(shell);
    ~Editor() { delete img; }
};
} // namespace

TEST(ImageEditor, NewPictureImportedAndSavedAsStartUp)
{
    TempFolder dev;
    const QString root = dev.path() + QLatin1Char('/');
    Editor e;
    e.img->OpenBMP(QStringLiteral("Images"), root);
    EXPECT_TRUE(e.img->picture().isNull());
    EXPECT_FALSE(e.img->isModified());
    EXPECT_EQ(e.img->windowTitle(), root);

    e.img->importFile(writeJpeg(dev.file(QStringLiteral("photo.jpg"))));
    EXPECT_EQ(e.img->picture().image.size(), QSize(320, 240));
    EXPECT_TRUE(e.img->isModified());
    EXPECT_EQ(e.img->windowTitle(), root + QLatin1Char('*'));

    // The root is no picture name: Save asks.
    answerSaveChoice(QStringLiteral("StartUp"));
    e.img->Save();
    const QString splash = root + QStringLiteral("splash.bmp");
    EXPECT_TRUE(QFile::exists(splash));
    EXPECT_EQ(bitsOf(splash), 24);
    EXPECT_EQ(e.img->imagePath(), splash);
    EXPECT_FALSE(e.img->isModified());
    EXPECT_EQ(e.img->windowTitle(), splash);
    EXPECT_EQ(e.shell.refreshed, QStringList{splash + QStringLiteral(":3")});
    EXPECT_EQ(ImgFile::load(splash).image.size(), QSize(320, 240));
}

TEST(ImageEditor, OpenedPictureKeepsSizeAndFormatAndSavesUnderItsName)
{
    TempFolder dev;
    const QString splash = dev.file(QStringLiteral("splash.bmp"));
    ImgFile::save(splash, {indexedPicture(300, 200), 8});
    Editor e;
    e.img->OpenBMP(QStringLiteral("splash.bmp"), splash);
    EXPECT_EQ(e.img->picture().image.size(), QSize(300, 200));
    EXPECT_EQ(e.img->picture().bitsPerPixel, 8);
    EXPECT_FALSE(e.img->isModified());

    // Saving unchanged writes the same bytes; an import keeps 8 bits at 320 x 240.
    const QByteArray before = readAll(splash);
    e.img->Save();
    EXPECT_EQ(readAll(splash), before);
    e.img->importFile(writeJpeg(dev.file(QStringLiteral("photo.jpg"))));
    e.img->Save();
    EXPECT_EQ(bitsOf(splash), 8);
    EXPECT_EQ(ImgFile::load(splash).image.size(), QSize(320, 240));
    EXPECT_EQ(e.shell.refreshed, (QStringList{splash + QStringLiteral(":3"), splash + QStringLiteral(":3")}));
}

TEST(ImageEditor, NameWithCapitalAsksAndShutDownRenames)
{
    TempFolder dev;
    const QString upper = dev.file(QStringLiteral("Splash.bmp"));
    ImgFile::save(upper, {indexedPicture(320, 240), 24});
    Editor e;
    e.img->OpenBMP(QStringLiteral("Splash.bmp"), upper);
    e.img->Cap(true);

    // Closing the choice without a button saves nothing.
    answerSaveChoice(QStringLiteral("no button"));
    e.img->Save();
    EXPECT_TRUE(e.img->isModified());
    EXPECT_EQ(e.img->imagePath(), upper);
    EXPECT_FALSE(QFile::exists(dev.file(QStringLiteral("antitheft.bmp"))));

    answerSaveChoice(QStringLiteral("ShutDown"));
    e.img->SaveAs();
    const QString antitheft = dev.file(QStringLiteral("antitheft.bmp"));
    EXPECT_TRUE(QFile::exists(antitheft));
    EXPECT_EQ(e.img->imagePath(), antitheft);
    EXPECT_FALSE(e.img->isModified());
    EXPECT_EQ(ImgFile::load(antitheft).image.size(), QSize(320, 240));
}

TEST(ImageEditor, FailedWriteKeepsTheChangesAndTheName)
{
    TempFolder dev;
    const QString gone = dev.file(QStringLiteral("unplugged/splash.bmp"));
    Editor e;
    e.img->OpenBMP(QStringLiteral("splash.bmp"), gone);   // missing file: new picture
    e.img->importFile(writeJpeg(dev.file(QStringLiteral("photo.jpg"))));
    EXPECT_THROW(e.img->Save(), KorvixError);
    EXPECT_TRUE(e.img->isModified());
    EXPECT_TRUE(e.shell.refreshed.isEmpty());

    answerSaveChoice(QStringLiteral("ShutDown"));
    EXPECT_THROW(e.img->Saveas(), KorvixError);
    EXPECT_EQ(e.img->imagePath(), gone);
    EXPECT_TRUE(e.img->isModified());

    // Saving a picture that was never made is refused, not written as a broken file.
    Editor empty;
    empty.img->OpenBMP(QStringLiteral("Images"), dev.path() + QLatin1Char('/'));
    answerSaveChoice(QStringLiteral("StartUp"));
    EXPECT_THROW(empty.img->Save(), KorvixError);
    EXPECT_FALSE(QFile::exists(dev.file(QStringLiteral("splash.bmp"))));
}

TEST(ImageEditor, BadFilesGiveAMessageAndChangeNothing)
{
    TempFolder dev;
    const QString corrupt = dev.write(QStringLiteral("splash.bmp"), QByteArray("BM") + QByteArray(100, '\x7f'));
    Editor e;
    EXPECT_THROW(e.img->OpenBMP(QStringLiteral("splash.bmp"), corrupt), KorvixError);
    EXPECT_EQ(e.img->imagePath(), "") << "no name left that a save could write over";

    const QString good = dev.file(QStringLiteral("antitheft.bmp"));
    ImgFile::save(good, {indexedPicture(320, 240), 8});
    e.img->OpenBMP(QStringLiteral("antitheft.bmp"), good);
    const QImage before = e.img->picture().image;
    EXPECT_THROW(e.img->importFile(dev.write(QStringLiteral("huge.bmp"), bitmapHeaderOnly(30000, 30000))), KorvixError);
    EXPECT_THROW(e.img->importFile(corrupt), KorvixError);
    EXPECT_EQ(e.img->picture().image, before);
    EXPECT_FALSE(e.img->isModified());
}

TEST(ImageEditor, PasteAndCopy)
{
    Editor e;
    e.img->OpenBMP(QStringLiteral("Images"), QStringLiteral("/nowhere/"));

    // Nothing usable: no change at all.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_FALSE(e.img->pasteFrom(&text));
    EXPECT_FALSE(e.img->pasteFrom(nullptr));
    QMimeData hostile;
    hostile.setData(QStringLiteral("image/bmp"), bitmapHeaderOnly(30000, 30000));
    EXPECT_FALSE(e.img->pasteFrom(&hostile));
    EXPECT_TRUE(e.img->picture().isNull());
    EXPECT_FALSE(e.img->isModified());

    // Another picture format is stretched over 320 x 240.
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(qRgb(0, 200, 0));
    QMimeData pictures;
    pictures.setData(QStringLiteral("image/png"), encodedImage(small, "PNG"));
    EXPECT_TRUE(e.img->pasteFrom(&pictures));
    EXPECT_EQ(e.img->picture().image.size(), QSize(320, 240));
    EXPECT_EQ(e.img->picture().image.pixel(160, 120), qRgb(0, 200, 0));
    EXPECT_TRUE(e.img->isModified());

    // Copy, then paste back through the real clipboard.
    e.img->CopyClick();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(320, 240));
    QGuiApplication::clipboard()->clear();
    e.img->PasteClick();
    EXPECT_EQ(e.shell.status.toStdString(), "The clipboard holds no picture.");
}

TEST(ImageEditor, ClosingWithChangesAsks)
{
    TempFolder dev;
    const QString splash = dev.file(QStringLiteral("splash.bmp"));
    ImgFile::save(splash, {indexedPicture(320, 240), 24});
    FakeShell shell;
    auto *img = new TImg(shell);
    QPointer<TImg> alive(img);
    img->OpenBMP(QStringLiteral("splash.bmp"), splash);
    img->show();

    // Unchanged: closes without a question.
    EXPECT_TRUE(img->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());

    img = new TImg(shell);
    alive = img;
    img->OpenBMP(QStringLiteral("Images"), dev.path() + QLatin1Char('/'));
    img->importFile(writeJpeg(dev.file(QStringLiteral("photo.jpg"))));
    img->show();

    answerQuestion(QMessageBox::Cancel);
    EXPECT_FALSE(img->close());
    // Escape is Cancel too, never "No".
    onNextModal([](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(img->close());
    EXPECT_TRUE(img->isModified());

    // Yes, but the save choice is dismissed: nothing saved, the window stays.
    answerQuestion(QMessageBox::Yes, [] { answerSaveChoice(QStringLiteral("no button")); });
    EXPECT_FALSE(img->close());
    EXPECT_TRUE(img->isModified());
    EXPECT_FALSE(alive.isNull());

    answerQuestion(QMessageBox::No);
    EXPECT_TRUE(img->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}
