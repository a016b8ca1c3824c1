// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/packaging/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {
QString field(const QString &deb, const char *name)
{
    return QString::fromUtf8(runProgram(QStringLiteral("dpkg-deb"), {"-f", deb, name}).out).trimmed();
}
} // namespace

// The package cpack makes of this build, unpacked into a staging folder and started
// from there (a clean container is not at hand where the tests run).
TEST(DebianPackage, DeclaresItsDependenciesAndRunsFromAStagingFolder)
{
    TempFolder tmp;
    const ProgramRun pack = runProgram(QStringLiteral(KORVIX_CPACK),
                         {"-G", "DEB", "--config", KORVIX_BINARY_DIR "/CPackConfig.cmake", "-B", tmp.file("out")});
    ASSERT_EQ(pack.code, 0) << pack.out.toStdString() << pack.err.toStdString();
    const QStringList debs = QDir(tmp.file("out")).entryList({"*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << debs.join(' ').toStdString();
    const QString deb = tmp.file("out/" + debs.first());

    EXPECT_EQ(field(deb, "Package"), "korvix");
    EXPECT_EQ(field(deb, "Version"), KORVIX_VERSION_TEXT);
    // The Qt libraries come from the programs' own links; the programs it starts are named.
    const QString depends = field(deb, "Depends");
    for (const char *dep : {"libqt6core6", "libqt6widgets6", "libqt6webenginewidgets6", "libsndfile1", "libmspack0", "vorbis-tools"})
        EXPECT_TRUE(depends.contains(QLatin1String(dep))) << dep << " not in " << depends.toStdString();

    const QString stage = tmp.file("stage");
    const ProgramRun unpack = runProgram(QStringLiteral("dpkg"), {"-x", deb, stage});
    ASSERT_EQ(unpack.code, 0) << unpack.err.toStdString();
    for (const char *file : {"usr/bin/korvix", "usr/bin/korvix-cli", "usr/share/korvix/korvix.PLK",
                             "usr/share/applications/korvix.desktop", "usr/share/man/man1/korvix-cli.1.gz",
                             "usr/share/man/man1/korvix.1.gz", "usr/share/doc/korvix/copyright",
                             "usr/share/doc/korvix/changelog.gz", "usr/share/metainfo/org.korvix.Korvix.metainfo.xml"})
        EXPECT_TRUE(QFileInfo::exists(stage + '/' + file)) << file;

    const ProgramRun version = runProgram(stage + "/usr/bin/korvix", {"--version"});
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_EQ(version.out.trimmed(), "Korvix " KORVIX_VERSION_TEXT);
    const ProgramRun cliVersion = runProgram(stage + "/usr/bin/korvix-cli", {"--version"});
    EXPECT_EQ(cliVersion.code, 0) << cliVersion.err.toStdString();
    EXPECT_EQ(cliVersion.out.trimmed(), "korvix-cli " KORVIX_VERSION_TEXT);
    // The changelog carries the same version first.
    const ProgramRun changelog = runProgram(QStringLiteral("dpkg-parsechangelog"),
                                            {"-l" + stage + "/usr/share/doc/korvix/changelog.gz", "-SVersion"});
    EXPECT_EQ(changelog.out.trimmed(), KORVIX_VERSION_TEXT) << changelog.err.toStdString();

    // Debian's own checkers: no error and no warning from lintian (informational tags may
    // stay), valid AppStream metadata and menu entry.
    const ProgramRun lintian = runProgram(QStringLiteral("lintian"), {"--no-cfg", "--fail-on", "error,warning", deb});
    EXPECT_EQ(lintian.code, 0) << lintian.out.toStdString() << lintian.err.toStdString();
    const QRegularExpression errorOrWarning(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption);
    EXPECT_FALSE(errorOrWarning.match(QString::fromUtf8(lintian.out)).hasMatch()) << lintian.out.toStdString();
    const ProgramRun appstream = runProgram(
        QStringLiteral("appstreamcli"), {"validate", "--no-net", stage + "/usr/share/metainfo/org.korvix.Korvix.metainfo.xml"});
    EXPECT_EQ(appstream.code, 0) << appstream.out.toStdString() << appstream.err.toStdString();
    const ProgramRun desktop =
        runProgram(QStringLiteral("desktop-file-validate"), {stage + "/usr/share/applications/korvix.desktop"});
    EXPECT_EQ(desktop.code, 0) << desktop.out.toStdString() << desktop.err.toStdString();
    EXPECT_EQ(desktop.out, QByteArray()) << "hints or warnings";

    // The packed command line reads a POI list as the built one does.
    const ProgramRun sample = runProgram(stage + "/usr/bin/korvix-cli", {"sample-device", tmp.file("device")});
    ASSERT_EQ(sample.code, 0) << sample.err.toStdString();
    const QString ov2 = tmp.file("device/Sample_Map/Parking.ov2");
    const ProgramRun dump = runProgram(stage + "/usr/bin/korvix-cli", {"ov2", "dump", ov2});
    EXPECT_EQ(dump.code, 0) << dump.err.toStdString();
    EXPECT_GT(dump.out.count('\n'), 2);
    EXPECT_EQ(dump.out, runCli({"ov2", "dump", ov2}).out);
}
