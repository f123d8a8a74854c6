#include "help_window.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "dialog_units.h"
#include "drennix_version.h"
#include "resources.h"
#include "ui_texts.h"

namespace {
constexpr int windowWidth = 760;
constexpr int windowHeight = 640;
}  // namespace

// A dialog for the window system, so that it belongs to its owner, with the
// buttons of an ordinary window.
HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint),
      browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(texts::text(texts::helpTitle).arg(QStringLiteral(DRENNIX_VERSION)));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(windowWidth, windowHeight);
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::showTopic(const QString& anchor)
{
    show();
    raise();
    activateWindow();
    const QString section = anchor.isEmpty() ? QStringLiteral("top") : anchor;
    if (browser_->source().adjusted(QUrl::RemoveFragment) != manualUrl()) {
        browser_->setSource(manualUrl(section));
    } else {
        browser_->scrollToAnchor(section);
    }
}
