// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme editor's readers on what is no regular file: a FIFO in place of the scheme
// or of the preview picture must neither block the window nor be read.
#include "media/ClrFile.h"
#include "media/ClrPreview.h"
#include "platform/FileReader.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(ClrReadBounds, AFifoIsNeitherASchemeNorAPreview)
{
    TempFolder tmp;
    const QString scheme = tmp.file("night.clr");
    const QString picture = tmp.file(QLatin1String(ClrPreview::ReplacementName));
    ASSERT_TRUE(makeFifo(scheme));
    ASSERT_TRUE(makeFifo(picture));
    FifoGuard guard({scheme, picture});
    const Clr::ReadResult r = Clr::readFile(scheme);
    // The built-in picture stands in for one that cannot be read.
    const QImage preview = ClrPreview::load(tmp.path());
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease()) << "a reader waited for a writer on the FIFO";
    EXPECT_EQ(r.error, FileReader::notRegular(scheme));
    EXPECT_TRUE(r.colors.empty());
    EXPECT_EQ(preview, ClrPreview::builtIn());
}

TEST(ClrReadBounds, AReplacementPreviewIsReadFromItsBytes)
{
    TempFolder tmp;
    QImage img(8, 4, QImage::Format_Indexed8);
    img.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    img.fill(1);
    tmp.write(QLatin1String(ClrPreview::ReplacementName), encodedImage(img, "BMP"));
    const QImage loaded = ClrPreview::load(tmp.path());
    EXPECT_EQ(loaded.size(), QSize(8, 4));
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(200, 100, 50));
}
