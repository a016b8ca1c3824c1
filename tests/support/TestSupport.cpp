// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTimer>

#include <memory>

QByteArray encodedImage(const QImage &img, const char *format)
{
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return b;
}

TempFolder::TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/korvix-test-XXXXXX")) {}

QString TempFolder::write(const QString &relative, const QByteArray &data) const
{
    const QString p = file(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return p;
}

QString TempFolder::mkdir(const QString &relative) const
{
    const QString p = file(relative);
    QDir().mkpath(p);
    return p;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CliRun runCli(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    CliRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

void onNextModal(const std::function<void(QWidget *)> &act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, ticks] {
        if (++*ticks > 500) {   // no modal within 5 s: give up, never leak into later tests
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}
