// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/DeviceServices.h"
#include "app/EditorRegistry.h"
#include "app/EjectAction.h"
#include "app/Language.h"
#include "app/MainForm.h"
#include "app/Recovery.h"
#include "app/SingleInstance.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {
// --help and --version answer before anything of the window starts, so they work
// without a display and never raise or start a running copy.
bool answeredOnTheCommandLine(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs("usage: korvix [--device DIR]... [-SuperUser] [FILE]...\n"
                       "  FILE          open the file in its editor (a running copy opens it)\n"
                       "  --device DIR  add DIR, a copy of a device (TTGO.BIF and ttsystem), as a device\n"
                       "  -SuperUser    turn the service menu on (the setting stays)\n"
                       "  --help        print this help and exit\n"
                       "  --version     print the version and exit\n"
                       "The formats from the command line: korvix-cli help\n",
                       stdout);
            return true;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::fputs("Korvix " KORVIX_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char **argv)
{
    if (answeredOnTheCommandLine(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvix"));
    QApplication::setApplicationVersion(QStringLiteral(KORVIX_VERSION));

    const CommandLine line = parseCommandLine(app.arguments().mid(1), QDir::currentPath());
    SingleInstance instance(QApplication::applicationFilePath());
    if (instance.notifyRunning(line.files))
        return 0;
    instance.listen();

    Folders::createDataFolders();

    // The chosen language's texts, before any window exists; the built-in English
    // ones when nothing is chosen or the companion file is missing.
    const QString exe = QApplication::applicationFilePath();
    Language::install(exe, Language::storedCode(exe));

    TMainForm::Options options;
    options.superUserSwitch = line.superUser;
    options.deviceFolders = line.deviceFolders;
    TMainForm form(options);
    registerEditors(form);
    registerEjectAction(form, registerDeviceServices(form));
    // Unsaved lists are kept while the program runs; a clean exit takes them away.
    auto *recovery = new TRecovery(form);
    QObject::connect(&instance, &SingleInstance::openFiles, &form, &TMainForm::openFiles);
    QObject::connect(&instance, &SingleInstance::raise, &form, [&form] {
        if (form.isMinimized())
            form.showNormal();
        form.raise();
        form.activateWindow();
    });
    // Maximised and centred; without a window manager the geometry does the job.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    // The lists of a run that did not end cleanly, asked for once the window is up.
    QTimer::singleShot(0, recovery, &TRecovery::askAtStart);
    if (!line.files.isEmpty())
        QTimer::singleShot(0, &form, [&form, files = line.files] { form.openFiles(files); });
    return app.exec();
}
