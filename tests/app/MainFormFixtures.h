// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Main windows the app tests share: on a fresh sample device, or with no devices and
// POI editors whose close question the test answers.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/SampleDevice.h"
#include "poi/Ov2Editor.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <memory>

// The main window on a fresh sample device, with every editor attached.
struct SampleWindow {
    TempFolder tmp;
    std::unique_ptr<TMainForm> form;
    SampleWindow()
    {
        EXPECT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
        form = std::make_unique<TMainForm>(folderOnly(tmp.file("dev")));
        registerEditors(*form);
        form->show();
        QApplication::processEvents();
    }
};

inline TMainForm::Options noDevices()
{
    return TMainForm::Options{QString(), false, {}, false, false, {}};
}

// A POI editor with a change, whose close question is answered from a script.
inline TOV2 *changedPoiEditor(TMainForm &form, const QString &name, QStringList &asked, QMessageBox::StandardButton &answer)
{
    auto *poi = new TOV2(form);
    form.addEditorWindow(poi);
    poi->AddPoi("1", "1", name);
    poi->dialogs.ask = [&asked, &answer, name](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) {
        asked << name;
        return answer;
    };
    return poi;
}
