// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QString>
#include <QStringList>

// A 640 x 480 JPEG with a colour ramp, written to `path`.
QString writeJpeg(const QString &path, int width = 640, int height = 480);
// An 8-bit indexed picture of `width` x `height` using a four-colour table.
QImage indexedPicture(int width, int height);
// A bitmap header that claims width x height pixels but holds no pixel data.
QByteArray bitmapHeaderOnly(int width, int height, int bits = 24);

// Runs an outside program; returns its output, or a null text when it cannot be run.
QString runTool(const QString &program, const QStringList &args, int *exitCode = nullptr);
