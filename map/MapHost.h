// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the map window and the small map of a POI list share: the page's external
// object and the channel script beside the page.

#include <QObject>
#include <QString>

// The page's external object.
class TMapHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE void Write(int fun, const QString &dat) { emit written(fun, dat); }
    Q_INVOKABLE QString Read(int) { return QString(); }
    // qwebchannel.js beside our pages.
    static void writeChannelScript(const QString &folder);
signals:
    void written(int fun, const QString &dat);
};
