// SPDX-License-Identifier: GPL-3.0-or-later
// The POI editor opening a list whose companions (icons, sound) or whose file itself is
// no regular file: a FIFO must neither block the window nor be taken for content.
#include "poi/Ov2Editor.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QPointer>

#include <gtest/gtest.h>

namespace {
class StatusShell : public QuietShell {
public:
    void SetStatus(const QString &text) override { status = text; }
    QString status;
};

struct Window {
    StatusShell shell;
    QPointer<TOV2> w = new TOV2(shell);
    QStringList messages;
    Window()
    {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->dialogs.message = [this](QWidget *, const QString &caption, const QString &text, const QString &detail) {
            messages << caption + "|" + text + "|" + detail;
        };
    }
    ~Window() { delete w.data(); }
};
} // namespace

TEST(Ov2EditorSpecialFiles, FifoCompanionsAreSkippedWithoutWaiting)
{
    TempFolder tmp;
    const QString list = tmp.write("Fuel.ov2", Ov2Bytes().poi(1993500, 5006200, "Orlen").poi(1993510, 5006210, "Shell"));
    const QStringList fifos = {tmp.file("Fuel.bmp"), tmp.file("Fuel_X2.bmp"), tmp.file("Fuel.ogg")};
    for (const QString &f : fifos)
        ASSERT_TRUE(makeFifo(f));
    Window e;
    FifoGuard guard(fifos);
    const bool opened = e.w->OpenOV2(list);
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease()) << "opening the list waited for a writer on a FIFO";
    ASSERT_TRUE(opened);
    EXPECT_EQ(e.w->gridRowCount(), 3);
    EXPECT_EQ(e.w->smallIcon().size(), QSize(22, 22)); // the default icon
    EXPECT_TRUE(e.w->isWaveEmpty());
    EXPECT_TRUE(e.shell.status.contains("Fuel.bmp")) << e.shell.status.toStdString();
}

TEST(Ov2EditorSpecialFiles, AFifoListIsRefusedWithTheReadersMessage)
{
    TempFolder tmp;
    const QString list = tmp.file("Cameras.ov2");
    ASSERT_TRUE(makeFifo(list));
    Window e;
    FifoGuard guard({list});
    EXPECT_FALSE(e.w->OpenOV2(list));
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease());
    ASSERT_EQ(e.messages.size(), 1);
    EXPECT_TRUE(e.messages[0].contains("Not a regular file: " + list)) << e.messages[0].toStdString();
}
