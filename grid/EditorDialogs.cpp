// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/EditorDialogs.h"

#include "platform/Question.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QRegularExpression>

namespace {

// "*.itn" of "TT Itinerary (*.itn)"; empty for "All (*)".
QString firstSuffix(const QStringList &filters)
{
    static const QRegularExpression ext(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch m = filters.isEmpty() ? QRegularExpressionMatch() : ext.match(filters.first());
    return m.hasMatch() ? m.captured(1) : QString();
}

// A start naming a file proposes it in its folder; a folder is only where to begin.
void startAt(QFileDialog &dlg, const QString &start)
{
    const QFileInfo fi(start);
    if (start.isEmpty() || start.endsWith(u'/') || fi.isDir()) {
        dlg.setDirectory(start);
        return;
    }
    dlg.setDirectory(fi.absolutePath());
    dlg.selectFile(fi.fileName());
}

} // namespace

EditorDialogs EditorDialogs::platform()
{
    EditorDialogs d;
    d.ask = askQuestion;
    d.message = [](QWidget *parent, const QString &caption, const QString &text, const QString &detail) {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        if (!detail.isEmpty() && detail != text)
            box.setDetailedText(detail);
        box.exec();
    };
    d.saveFile = [](QWidget *parent, const QString &start, const QStringList &filters, int &filter) {
        QFileDialog dlg(parent);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilters(filters);
        if (filter >= 0 && filter < filters.size())
            dlg.selectNameFilter(filters[filter]);
        dlg.setDefaultSuffix(firstSuffix(filters));
        startAt(dlg, start);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        filter = int(filters.indexOf(dlg.selectedNameFilter()));
        return dlg.selectedFiles().constFirst();
    };
    d.openFile = [](QWidget *parent, const QString &start, const QStringList &filters) {
        QFileDialog dlg(parent);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilters(filters);
        startAt(dlg, start);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    };
    d.inputText = [](QWidget *parent, const QString &caption, const QString &label, const QString &def, bool &ok) {
        return QInputDialog::getText(parent, caption, label, QLineEdit::Normal, def, &ok);
    };
    d.askDistance = [](QWidget *parent, int def, bool &ok) {
        const QString caption = QCoreApplication::translate("EditorDialogs", "Duplicates");
        const QString label = QCoreApplication::translate("EditorDialogs", "Largest distance between duplicates (m):");
        return QInputDialog::getInt(parent, caption, label, def, 1, 1000000, 10, &ok);
    };
    d.clipboardText = [] { return QGuiApplication::clipboard()->text(); };
    return d;
}
