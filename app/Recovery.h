// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Crash recovery of the list editors: every changed POI list and itinerary is kept in
// a recovery file a while after its last change, and the next start after a run that
// did not end cleanly offers to open those lists again.

#include "core/RBParams.h"
#include "services/RecoveryFile.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TMainForm;
class TRBParamsTable;
class QWidget;

class TRecovery : public QObject {
    Q_OBJECT
public:
    enum class Answer { Recover, Discard, Later };

    explicit TRecovery(TMainForm &form);
    // A clean exit: the running writes end, then this run's files and lock go.
    ~TRecovery() override;

    // Looks for the files of runs that did not end cleanly and asks what to do.
    void askAtStart();

    // How long after the last change a list is written (30 s, or the environment's
    // KORVIX_RECOVERY_DELAY_MS), and the longest time between writes while it keeps
    // changing (four times that).
    static int defaultQuietMs();
    void setDelays(int quietMs, int longestMs);

    QString instance() const { return m_instance; }
    QString folder() const { return m_folder; }
    // The recovery file kept for an editor; empty while it has none on disk.
    QString fileOf(const QWidget *editor) const;

    // The question; tests answer it instead of a user. `lines`: name, folder and time
    // of each list.
    std::function<Answer(QWidget *parent, const QStringList &lines)> ask;
    // A message about files that could not be read.
    std::function<void(QWidget *parent, const QString &text)> warn;

    // What is written, taken on the window's thread: the rows share their texts with
    // the grid, so taking it costs no copy of the texts.
    struct Snapshot {
        Recovery::Header header;
        int colCount = 0;
        std::vector<TRBParams> rows;
        std::vector<Recovery::Mark> marks;
    };
    static Snapshot snapshot(const TRBParamsTable &table, Recovery::Header header);
    static QString write(const QString &path, const Snapshot &snapshot);
    // The document's rows as a table: `header` row first, then its rows 1.., marks set.
    static void fillTable(TRBParamsTable &table, const TRBParams &header, const Recovery::Document &document);
    // Opens a recovered list in its editor, changed and under its own file name.
    QWidget *restore(const Recovery::Document &document);

signals:
    // A recovery file was written (or failed: `error` not empty).
    void written(const QString &path, const QString &error);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Slot;
    void attachEditors();
    Slot *attach(QWidget *editor);
    void changed(Slot *slot);
    void arm(Slot *slot);
    void writeNow(Slot *slot);
    void writeDone(Slot *slot);
    void dropFile(Slot *slot);
    void forget(Slot *slot);
    Recovery::Header headerOf(QWidget *editor) const;

    TMainForm &m_form;
    QString m_folder;
    QString m_instance;
    std::unique_ptr<Recovery::InstanceLock> m_lock;
    std::vector<std::unique_ptr<Slot>> m_slots;
    QElapsedTimer m_clock;
    int m_quietMs;
    int m_longestMs;
    int m_serial = 0;
};
