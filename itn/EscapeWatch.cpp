// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/EscapeWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace {
bool g_held = false;

class Filter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                g_held = true;
            break;
        case QEvent::KeyRelease: {
            const auto *k = static_cast<QKeyEvent *>(event);
            if (k->key() == Qt::Key_Escape && !k->isAutoRepeat())
                g_held = false;
            break;
        }
        case QEvent::ApplicationDeactivate:
            g_held = false; // the release goes to another program
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};
Filter *g_filter = nullptr;
} // namespace

namespace EscapeWatch {
void install()
{
    if (g_filter || !QCoreApplication::instance())
        return;
    g_filter = new Filter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(g_filter);
}
bool held() { return g_held; }
void setHeld(bool down) { g_held = down; }
} // namespace EscapeWatch
