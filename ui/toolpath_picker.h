// Finds the move under a click and reads its source line on a thread of its
// own: in a program of millions of moves, the moves near a point of the
// overview are too many to look through, and the file too long to read up
// to the line, while the window waits. A newer click gives up the search of
// the one before.
#pragma once

#include <cstdint>
#include <memory>

#include <QObject>
#include <QString>

#include "latest_job_thread.h"
#include "stroke_tracer.h"
#include "toolpath_run.h"

struct PickRequest {
    std::shared_ptr<const drennix::toolpath::ToolpathRun> run;
    drennix::toolpath::Projection projection;
    drennix::toolpath::ScreenPoint point;
    // How far from a move's drawn path a click still hits it, in pixels.
    double reach = 0;
    // The program's file, for the text of the move's line (none: no text).
    QString sourcePath;
};

class ToolpathPicker : public QObject {
    Q_OBJECT

public:
    explicit ToolpathPicker(QObject* parent = nullptr);

    void pick(PickRequest request) { thread_.post(std::move(request)); }
    void cancel() { thread_.cancel(); }

signals:
    // The last click hit move `index`, on the line whose text is `lineText`
    // (nothing when it hit none).
    void picked(qulonglong index, const QString& lineText);

private:
    void find(PickRequest& request, std::uint64_t number);

    // Last: it ends first, while the rest is still there.
    LatestJobThread<PickRequest> thread_;
};
