// Pendar's own help window: the help page in a QTextBrowser, for a desktop
// that has nothing to open it with (or whose opener failed), so that the
// help always opens.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace pendar {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    HelpWindow();

    // Shows `page` (a file), or the copy built into the program when it is
    // empty or cannot be read, and brings the window forward.
    void ShowPage(const QString& page);

    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace pendar
