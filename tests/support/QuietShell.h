// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shell that answers an editor and otherwise does nothing: settings of its own, the
// shared HTTP client, no device, no main window. Test fakes override what they record.
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

class QuietShell : public IShell {
public:
    QuietShell() = default;
    explicit QuietShell(const QString &iniFile) : m_settings(iniFile) {}
    void ShowProgress(const QString &, int, int, int) override {}
    void SetStatus(const QString &) override {}
    void SetProgress(int) override {}
    void StepProgress() override {}
    void UpdateTreeView(const QString &, int) override {}
    QString GetTTPath() override { return {}; }
    QString GetSelTTPath() override { return GetTTPath(); }
    KorvixSettings &settings() override { return m_settings; }
    HttpClient &http() override { return m_http; }
    QWidget *window() override { return nullptr; }
    void addEditorWindow(QWidget *) override {}

private:
    KorvixSettings m_settings;
    HttpClient m_http;
};
