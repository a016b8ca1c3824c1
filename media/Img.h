// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/ImgFile.h"
#include "platform/Editor.h"

#include <QWidget>

class IShell;
class QMenu;
class QMimeData;

// The start-up picture editor: edits "splash.bmp" and "antitheft.bmp" of a device's
// root folder. A child window of the main window, captioned with the picture's path
// and "*" while it has unsaved changes.
class TImg : public QWidget, public IEditor, public ISaveAs {
    Q_OBJECT
public:
    explicit TImg(IShell &shell, QWidget *parent = nullptr);

    EditorKind editorKind() const override { return EditorKind::Image; }
    bool isModified() const override { return m_modified; }
    // Writes under the current name when it is exactly "splash.bmp" or
    // "antitheft.bmp", else asks like Save As. Throws KorvixError when writing fails.
    void Save() override;
    void SaveAs() override { Saveas(); }

    // The tree's "splash.bmp" / "antitheft.bmp" node with root + node text, or New on
    // "Images" with the device root (trailing "/"): a new, empty picture. An existing
    // file is loaded; throws KorvixError when it cannot be read.
    void OpenBMP(const QString &nodeText, const QString &path);

    // Tools > Bitmap commands. The *Click ones ask and report through the standard
    // error box; importFile and pasteFrom throw or return quietly instead.
    void ImportClick();
    void importFile(const QString &path);
    void PasteClick();
    // Returns false (and changes nothing) when `mime` holds no picture Korvix reads.
    bool pasteFrom(const QMimeData *mime);
    void CopyClick();

    // The save choice dialog; returns true when the picture was written.
    bool Saveas();
    void Cap(bool modified);

    QString imagePath() const { return m_imagePath; }
    const ImgFile::Picture &picture() const { return m_picture; }
    // The "Tools" menu; the window shows it in a bar of its own until the main window
    // takes it into its menu bar (then call hideOwnMenuBar()).
    QMenu *toolsMenu() const { return m_tools; }
    QMenu *editorMenu() override { return m_tools; }
    void hideOwnMenuBar() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool saveNow();
    void pictureChanged();

    IShell &m_shell;
    QString m_imagePath;
    ImgFile::Picture m_picture;
    bool m_modified = false;
    QMenu *m_tools;
    QWidget *m_bar;
    QWidget *m_view;
};
