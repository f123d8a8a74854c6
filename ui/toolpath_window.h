// The toolpath window: the moves of a finished run drawn as the engine
// evaluated them (views XY, XZ, YZ and isometric on the keys 1 to 4, with or
// without Alt; wheel zoom, drag pan, fit on Home), linked to the run's absolute display list when it has one:
// selected rows highlight their moves, a clicked move selects its row and
// shows its source line below the picture. After a conversion it shows the
// written straight moves in colours of their deviation and the check's
// figures. Owned by the main window; Escape closes it.
#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "stroke_tracer.h"
#include "toolpath_run.h"

class AbsoluteDisplayDialog;
class QButtonGroup;
class QCheckBox;
class QLabel;
class ToolpathCanvas;

class ToolpathWindow : public QDialog {
    Q_OBJECT

public:
    explicit ToolpathWindow(QWidget* owner);

    // Shows `run`; `sourcePath` gives the text of a clicked line when there
    // is no list; `list` (optional) is the run's absolute display.
    void showRun(std::shared_ptr<const drennix::toolpath::ToolpathRun> run, const QString& sourcePath,
                 AbsoluteDisplayDialog* list);

    // Draws `ranges` of the run's moves over the others in the highlight
    // colour (the rows chosen in the tools window).
    void highlightMoves(std::vector<drennix::toolpath::MoveRange> ranges);

    ToolpathCanvas* canvas() const { return canvas_; }
    QString statusText() const;
    QString verificationText() const;

    // Closing ends the window for good.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildViewButtons();
    QWidget* buildConversionBar();
    QWidget* buildSpeedBar();
    void linkList(AbsoluteDisplayDialog* list);
    void highlightSelectedRows();
    void showClickedMove(qulonglong index, const QString& lineText);
    QString sourceLineText(long long line, const QString& readText) const;
    void showConversion();

    ToolpathCanvas* canvas_;
    QButtonGroup* viewGroup_ = nullptr;
    QLabel* status_;
    QWidget* conversionBar_ = nullptr;
    QWidget* speedBar_ = nullptr;
    QCheckBox* showSpeeds_ = nullptr;
    QCheckBox* showWritten_ = nullptr;
    QLabel* verification_ = nullptr;
    QPointer<AbsoluteDisplayDialog> list_;
    QMetaObject::Connection selectionLink_;
};
