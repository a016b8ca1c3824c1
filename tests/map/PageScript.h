// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>
#include <memory>

// The value of a script run in the page of `view`, waiting at most 15 s for it.
inline QVariant js(QWebEngineView &view, const QString &script)
{
    struct State {
        QVariant value;
        bool done = false;
        QEventLoop loop;
    };
    auto st = std::make_shared<State>();
    view.page()->runJavaScript(script, [st](const QVariant &v) {
        st->value = v;
        st->done = true;
        st->loop.quit();
    });
    QTimer::singleShot(15000, &st->loop, &QEventLoop::quit);
    if (!st->done)
        st->loop.exec();
    return st->value;
}

inline QVariant js(QWebEngineView *view, const QString &script)
{
    return js(*view, script);
}

// Runs the event loop until `ok` holds, at most 15 s.
inline bool waitFor(const std::function<bool()> &ok)
{
    // True as soon as it held once: asking again could meet a state already moved on
    // (tiles asked for anew).
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (ok())
            return true;
        if (t.elapsed() >= 15000)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
