// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ErrorGuard.h"

#include "platform/Error.h"

#include <QCoreApplication>
#include <QMessageBox>

bool ErrorGuard::run(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const KorvixError &e) {
        show(parent, e.message());
    } catch (const std::exception &e) {
        show(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void ErrorGuard::show(QWidget *parent, const QString &message)
{
    QMessageBox::critical(parent, QCoreApplication::applicationName(), message);
}
