// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace DeviceEject {
class IVolumeService;
}
class QAction;
class TBackupRunner;
class TMainForm;

// "Eject" of a device: its editors closed (each asking about its changes), a running
// backup of it cancelled, everything written out, then the volume unmounted and
// powered off; the tree drops it when it is gone.
class TEjectAction : public QObject {
    Q_OBJECT
public:
    // `backup` may be null (no backup service in this window).
    TEjectAction(TMainForm &form, TBackupRunner *backup, QObject *parent = nullptr);
    ~TEjectAction() override;

    // The device of the selected node (popup, Extra menu, Ctrl+E).
    void Eject1Click();
    // Ejects the device whose key (mount path or device folder) is `root`. False when
    // the user cancelled or something stayed unwritten or mounted.
    bool eject(const QString &root);

    QAction *popupAction() const { return m_popup; }
    QAction *menuAction() const { return m_menu; }

    // What the user is asked and told; tests answer here instead of a user.
    std::function<bool(const QString &question)> confirmCancelBackup;
    std::function<void(const QString &text, bool warning)> tell;

private:
    friend TEjectAction *registerEjectAction(TMainForm &form, TBackupRunner *backup);
    bool closeEditorsOf(const QString &root);
    bool stopBackupOf(const QString &root);
    bool isMountedVolume(const QString &root) const;

    TMainForm &m_form;
    QPointer<TBackupRunner> m_backup;
    std::unique_ptr<DeviceEject::IVolumeService> m_volumes;
    QAction *m_popup = nullptr;
    QAction *m_menu = nullptr;
    bool m_running = false;
};

// Attaches "Eject" to the window: the tree's popup on device nodes and "Extra" (Ctrl+E).
TEjectAction *registerEjectAction(TMainForm &form, TBackupRunner *backup);
