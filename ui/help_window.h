// The program's manual in a window of its own. The main window closes it when
// it goes away.
#pragma once

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the manual at the section `anchor` (the start for an empty one)
    // and brings the window to the front.
    void showTopic(const QString& anchor);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
