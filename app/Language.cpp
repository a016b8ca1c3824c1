// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Language.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {
// Executable paths hold "/" and other characters INI keys cannot; the key is the
// percent-encoded path.
QString keyOf(const QString &executablePath)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(executablePath).absoluteFilePath()));
}

QMap<QString, QString> readStore()
{
    QMap<QString, QString> out;
    const std::optional<QByteArray> text = FileReader::read(Language::storeFile(), FileReader::MaxSmallBytes);
    if (!text)
        return out;
    for (const QByteArray &line : text->split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            out.insert(QString::fromLatin1(line.left(eq).trimmed()), QString::fromLatin1(line.mid(eq + 1).trimmed()));
    }
    return out;
}
} // namespace

QStringList Language::languageList()
{
    return {QStringLiteral("ENU=English"), QStringLiteral("PLK=Polski")};
}

QString Language::builtInCode()
{
    return QStringLiteral("ENU");
}

QString Language::storeFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Korvix/language.ini");
}

QString Language::storedCode(const QString &executablePath)
{
    return readStore().value(keyOf(executablePath));
}

void Language::storeCode(const QString &executablePath, const QString &code)
{
    QMap<QString, QString> all = readStore();
    all.insert(keyOf(executablePath), code);
    QByteArray text = "[Languages]\n";
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        text += it.key().toLatin1() + '=' + it.value().toLatin1() + '\n';
    QDir().mkpath(QFileInfo(storeFile()).absolutePath());
    AtomicFile::write(storeFile(), text);
}

QString Language::companionFile(const QString &executablePath, const QString &code)
{
    if (code.isEmpty())
        return {};
    const QFileInfo exe(executablePath);
    const QString name = exe.completeBaseName().toLower() + QLatin1Char('.') + code;
    QStringList places = {exe.absolutePath()};
    for (const QString &d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        places << d + QStringLiteral("/korvix");
    places << exe.absolutePath() + QStringLiteral("/../share/korvix");
    for (const QString &dir : places) {
        const QString p = QDir(dir).filePath(name);
        if (QFileInfo(p).isFile())
            return QFileInfo(p).absoluteFilePath();
    }
    return {};
}

QList<QTranslator *> Language::install(const QString &executablePath, const QString &code)
{
    QList<QTranslator *> installed;
    const auto add = [&installed](const QString &file, const QString &folder = {}) {
        auto *t = new QTranslator(QCoreApplication::instance());
        if (!file.isEmpty() && t->load(file, folder) && QCoreApplication::installTranslator(t))
            installed << t;
        else
            delete t;
    };
    add(companionFile(executablePath, code));
    if (code == QLatin1String("PLK")) // Qt's catalogue of its own modules' texts
        add(QStringLiteral("qt_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return installed;
}
