// The program's manual in a window of its own, owned by the main window: it
// stays in front of it and goes with it. Escape closes it.
#pragma once

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner);

    // Shows the manual at the section `anchor` (the start for an empty one)
    // and brings the window to the front.
    void showTopic(const QString& anchor);

    QTextBrowser* browser() const { return browser_; }

protected:
    // Escape closes the window; the browser leaves the key to it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* browser_;
};
