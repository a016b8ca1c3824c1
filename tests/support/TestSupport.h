// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }
    // Writes `data` to `relative`, creating missing folders; returns the full path.
    QString write(const QString &relative, const QByteArray &data = {}) const;
    QString mkdir(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString &path);

class QImage;
// `img` as the bytes of a picture file in `format` ("PNG", "JPEG", ...).
QByteArray encodedImage(const QImage &img, const char *format);

// The real korvix-cli of this build, run to its end.
struct CliRun {
    int code = -1; // -1: did not finish, -2: crashed
    QByteArray out, err;
};
CliRun runCli(const QStringList &args, const QByteArray &input = {});

#include <functional>
class QWidget;
// Calls `act` with the next modal window as soon as it is shown (QMessageBox, dialogs).
void onNextModal(const std::function<void(QWidget *)> &act);

#include <ostream>
// Readable failure messages for Qt texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray &b, std::ostream *os) { *os << '"' << b.toStdString() << '"'; }
