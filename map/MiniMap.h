// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TMiniMap: the small map on the right of a POI editor's list. It follows the
// current row a moment after the user stops moving, and takes a point (with the
// address the map found) into the list with "AddNew" or into the current row with
// "Update". Offline it shrinks to a pixel and says "OffLine".

#include <QPointer>
#include <QWidget>

#include <functional>

class IShell;
class QLabel;
class QPushButton;
class QTimer;
class QWebEngineView;
class TMapHost;
class TOV2;

class TMiniMap : public QWidget {
    Q_OBJECT
public:
    // Puts itself behind the editor's list splitter, 300 pixels wide.
    TMiniMap(TOV2 &editor, IShell &shell);

    // The label's text: "lat,lng,\"description\"", "OffLine", empty, first "?".
    QString LastMapPoint() const;
    int MapDelay = 10;
    QWebEngineView *view() const { return m_view; }
    QPushButton *addNewButton() const { return m_addNew; }
    QPushButton *updateButton() const { return m_update; }

    // One tick of the 100 ms timer.
    void tick();
    // Moves the page's marker; false offline or when the page did not take it.
    bool WB_SetMarker(const QString &lat, const QString &lng);
    void AddNew();
    void Update();
    void Write(int type, const QString &text);

    std::function<bool()> isOnline;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setLastMapPoint(const QString &text);
    void loadPage();
    void setPanelWidth(int width);
    void applyWidth();
    int m_width = 300;

    TOV2 &m_editor;
    IShell &m_shell;
    QLabel *m_label;
    QPushButton *m_update, *m_addNew;
    QWebEngineView *m_view;
    TMapHost *m_host;
    QTimer *m_timer;
    bool m_pageLoaded = false;
    bool m_loading = false;
    bool m_shrunk = false;
};
