// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace {
// Warnings and errors of the code under test become failures, not noise.
void failOnCritical(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        ADD_FAILURE() << "Qt: " << msg.toStdString();
    else
        fprintf(stderr, "%s\n", qPrintable(msg));
}
} // namespace

// Every test process gets a home of its own, so no test reads or writes the user's
// settings and data, and the programs the tests start inherit it.
class TestHome {
public:
    TestHome() : m_dir(QDir::tempPath() + QStringLiteral("/korvix-home-XXXXXX"))
    {
        const QByteArray home = QFile::encodeName(m_dir.path());
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", home + "/config");
        qputenv("XDG_DATA_HOME", home + "/data");
        qputenv("XDG_CACHE_HOME", home + "/cache");
        qputenv("XDG_RUNTIME_DIR", home + "/runtime");
        QDir().mkpath(m_dir.path() + QStringLiteral("/runtime"));
        QFile::setPermissions(m_dir.path() + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TestHome home;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvix"));
    qInstallMessageHandler(failOnCritical);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
