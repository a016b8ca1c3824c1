// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/HexExportMenu.h"

#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "services/HexExport.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>

std::function<QString(QWidget *, const QString &, const QString &)> HexExportMenu::chooseFile =
    [](QWidget *parent, const QString &folder, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    };

namespace {
void convertChosen(QWidget *parent, const QString &filter, QString (*convert)(const QString &))
{
    const QString file = HexExportMenu::chooseFile(parent, Folders::UserDataFolder(), filter);
    if (file.isEmpty())
        return;
    ErrorGuard::run(parent, [&] { convert(file); });
}
} // namespace

void HexExportMenu::ExeToHex1Click(QWidget *parent)
{
    convertChosen(parent, QCoreApplication::translate("HexExport", "Any file (*)"), HexExport::exeToHex);
}

void HexExportMenu::BinToHex1Click(QWidget *parent)
{
    convertChosen(parent, QCoreApplication::translate("HexExport", "Any File (*)"), HexExport::binToHex);
}

void HexExportMenu::addTo(QMenu *serviceMenu, QWidget *parent)
{
    serviceMenu->addAction(QStringLiteral("ExeToHex"), parent, [parent] { ExeToHex1Click(parent); });
    serviceMenu->addAction(QStringLiteral("BinToHex"), parent, [parent] { BinToHex1Click(parent); });
}
