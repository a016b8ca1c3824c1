// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include <functional>

class QWidget;

// The application's standard error box: one guard around every command. An
// exception ends the command and its text is shown in a critical message box.
namespace ErrorGuard {
// Runs `command`; returns false when it ended with an exception.
bool run(QWidget *parent, const std::function<void()> &command);
void show(QWidget *parent, const QString &message);
} // namespace ErrorGuard
