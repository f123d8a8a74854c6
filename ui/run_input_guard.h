// While a run works, the windows take no input: clicks, keys, shortcuts,
// wheel turns and drops are dropped, so the run sees the settings and inputs
// it started with. Escape is the exception: it asks the run to stop. A message
// box that the run shows is modal and takes its input as usual.
#pragma once

#include <functional>

#include <QObject>

class RunInputGuard : public QObject {
    Q_OBJECT

public:
    // `onEscape` is called for every Escape key press during the run.
    explicit RunInputGuard(std::function<void()> onEscape, QObject* parent = nullptr);
    ~RunInputGuard() override;

    void engage();
    void release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEscape_;
    bool engaged_ = false;
};
