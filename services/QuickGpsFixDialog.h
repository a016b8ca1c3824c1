// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class HttpClient;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The service menu's simple ephemeris download: both archives fetched and unpacked
// into the user data folder, nothing copied to a device. It has its own HTTP client.
class TQFixDownload : public QDialog {
    Q_OBJECT
public:
    explicit TQFixDownload(QWidget *parent = nullptr);

    QLineEdit *Host, *Path1, *Path2;
    QCheckBox *GlobalLocate, *SirfStar;
    QPushButton *Button1;
    QLabel *Status;
    QString Folder;          // empty: UserDataFolder
    int StallMs = 60000;

    // "Get QuickGPSFix Files"; a failure ends in the standard error box.
    void Button1Click();

private:
    void setStatus(const QString &text);
    HttpClient *m_http;
};
