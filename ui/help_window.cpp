#include "help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "dialog_units.h"
#include "resources.h"

namespace {
constexpr int windowWidth = 760;
constexpr int windowHeight = 640;
}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QString::fromUtf8("Drennix ﾍﾙﾌﾟ"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(windowWidth, windowHeight);
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
