// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Removing a device safely: everything the system still holds for it is written out,
// then the volume is unmounted and its drive powered off the way the desktop's file
// manager does it, so the other programs of the desktop see it go.
namespace DeviceEject {

// The system's service that unmounts volumes.
class IVolumeService {
public:
    enum class Result { Removed, NoService, Refused };
    virtual ~IVolumeService() = default;
    // Unmounts the file system mounted at `mountPath` and powers its drive off when
    // the drive can be. NoService: there is no service to ask; Refused: `reason` says
    // why the volume stayed (the service's own text).
    virtual Result unmount(const QString &mountPath, QString *reason) = 0;
};

// UDisks2 on the system bus: the bus of DBUS_SYSTEM_BUS_ADDRESS, else the system's
// standard socket. Each call opens its own connection, safe on any thread.
class UDisks2Service : public IVolumeService {
public:
    Result unmount(const QString &mountPath, QString *reason) override;
    // The system bus with UDisks2 answering on it.
    static bool available();
};

struct Outcome {
    enum State {
        Removed,    // unmounted (and powered off when the drive can be)
        Written,    // synced, still mounted: a folder, or no service to unmount it
        Refused,    // synced, but the service refused to unmount: `reason`
        SyncFailed, // the sync failed: `reason`, nothing unmounted
    };
    State state = Written;
    QString reason;
};

// Syncs the file system holding `root`; when `mounted` is set, asks `service` to
// unmount it after. A folder (not `mounted`) is synced only.
Outcome eject(const QString &root, bool mounted, IVolumeService &service);

} // namespace DeviceEject
