#include "app/DeviceServices.h"
#include "app/EditorRegistry.h"
#include "app/Language.h"
#include "app/MainForm.h"
#include "app/SingleInstance.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {
// "-SuperUser" or "/superuser", any case.
bool hasSuperUserSwitch(const QStringList &args)
{
    for (const QString &a : args)
        if ((a.startsWith(QLatin1Char('-')) || a.startsWith(QLatin1Char('/')))
            && a.mid(1).compare(QLatin1String("SuperUser"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList deviceFolders(const QStringList &args)
{
    QStringList out;
    for (int i = 0; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--device"))
            out << QDir(args[i + 1]).absolutePath();
    return out;
}

// --help and --version answer before anything of the window starts, so they work
// without a display and never raise or start a running copy.
bool answeredOnTheCommandLine(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs("usage: korvix [--device DIR]... [-SuperUser]\n"
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

    SingleInstance instance(QApplication::applicationFilePath());
    if (instance.notifyRunning())
        return 0;
    instance.listen();

    Folders::createDataFolders();

    // The chosen language's texts, before any window exists; the built-in English
    // ones when nothing is chosen or the companion file is missing.
    const QString exe = QApplication::applicationFilePath();
    Language::install(exe, Language::storedCode(exe));

    TMainForm::Options options;
    const QStringList args = app.arguments().mid(1);
    options.superUserSwitch = hasSuperUserSwitch(args);
    options.deviceFolders = deviceFolders(args);
    TMainForm form(options);
    registerEditors(form);
    registerDeviceServices(form);
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
    return app.exec();
}
