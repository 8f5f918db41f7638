#include "app_qt/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace pendar {

namespace {

// The help page as built into the program (help/Pendar.html).
const QString kBuiltInPage = QStringLiteral("qrc:/help/Pendar.html");

} // namespace

HelpWindow::HelpWindow() : browser_(new QTextBrowser(this))
{
    setObjectName("HelpWindow");
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenExternalLinks(true); // web links go to the desktop; anchors stay here
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] { setWindowTitle(browser_->documentTitle()); });
    resize(720, 760);
}

void HelpWindow::ShowPage(const QString& page)
{
    QFileInfo file(page);
    QUrl url = !page.isEmpty() && file.isFile() && file.isReadable() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                                      : QUrl(kBuiltInPage);
    if (browser_->source() != url)
        browser_->setSource(url, QTextDocument::HtmlResource);
    setWindowTitle(browser_->documentTitle());
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

} // namespace pendar
