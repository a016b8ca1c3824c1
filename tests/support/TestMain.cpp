#include <QApplication>
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

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvix"));
    qInstallMessageHandler(failOnCritical);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
