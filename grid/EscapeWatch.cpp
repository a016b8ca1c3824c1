// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/EscapeWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>

namespace {
EscapeWatch *g_innermost = nullptr;
} // namespace

class EscapeFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (g_innermost && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            // Every running job stops: an outer one would only go on with stale rows.
            for (EscapeWatch *job = g_innermost; job; job = job->m_outer)
                job->m_stopped = true;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

namespace {
QPointer<EscapeFilter> g_filter;
} // namespace

EscapeWatch::EscapeWatch() : m_outer(g_innermost)
{
    // Installed once and kept: a filter that finds no job costs one comparison.
    if (!g_filter && QCoreApplication::instance()) {
        g_filter = new EscapeFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(g_filter);
    }
    g_innermost = this;
}

EscapeWatch::~EscapeWatch()
{
    // Jobs end in the reverse order they began (each one lives on its loop's stack).
    g_innermost = m_outer;
}
