// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TBackupRunner;
class TMainForm;

// The device services of the window: full backup and restore (tree popup and service
// menu). Returns the backup runner, owned by the window.
TBackupRunner *registerDeviceServices(TMainForm &form);
