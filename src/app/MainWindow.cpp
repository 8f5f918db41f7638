#include "app/MainWindow.h"

#include "app/ExceptionGuard.h"
#include "app/MainForm.h"
#include "platform/QtText.h"
#include "port/AppFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace pendar {

namespace {

// The help page: beside the executable, or in the installed share folder.
QString HelpPage()
{
    std::string exe = port::ExecutableFolder();
    for (const std::string& candidate : {exe + "help/Pendar.html", exe + "../share/pendar/help/Pendar.html"})
        if (QFileInfo::exists(QString::fromStdString(candidate)))
            return QString::fromStdString(candidate);
    return {};
}

} // namespace

MainWindow::MainWindow()
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(160, 160);
    tick_.setInterval(200);
    connect(&tick_, &QTimer::timeout, this, [this] {
        if (form_)
            Guarded(*form_, [this] { form_->CheckTimerTimer(); });
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::Attach(TMainForm& form)
{
    form_ = &form;
    BuildMenu();
}

void MainWindow::BuildMenu()
{
    menu_ = new QMenu(this);
    TSysMenu& model = form_->SysMenu();
    for (const MenuEntry& e : model.Entries()) {
        if (e.IsSeparator()) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(FromSjis(e.caption));
        if (!e.shortcut.empty()) {
            action->setShortcut(QKeySequence(QString::fromStdString(e.shortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
            addAction(action); // short-cuts work while the character has the focus
        }
        action->setCheckable(e.checkable);
        if (e.isDefault)
            menu_->setDefaultAction(action);
        std::string name = e.name;
        connect(action, &QAction::triggered, this, [this, name] {
            Guarded(*form_, [this, &name] { form_->SysMenu().Click(name); });
        });
        actions_[e.name] = action;
        UpdateAction(e);
    }
    model.onChanged = [this](const MenuEntry& e) { UpdateAction(e); };
}

void MainWindow::UpdateAction(const MenuEntry& entry)
{
    auto it = actions_.find(entry.name);
    if (it == actions_.end())
        return;
    it->second->setEnabled(entry.enabled);
    it->second->setChecked(entry.checked);
}

void MainWindow::SetCaption(std::string_view text)
{
    setWindowTitle(FromSjis(text));
}

void MainWindow::SetHints(std::string_view text)
{
    setToolTip(FromSjis(text));
}

void MainWindow::Show()
{
    show();
}

void MainWindow::Hide()
{
    hide();
}

bool MainWindow::IsVisible() const
{
    return isVisible();
}

bool MainWindow::IsApplicationActive() const
{
    return QApplication::activeWindow() != nullptr;
}

void MainWindow::SetTaskbarEntry(bool shown)
{
    Qt::WindowFlags flags = Qt::FramelessWindowHint | (shown ? Qt::Window : Qt::Tool);
    if (windowFlags() == flags)
        return;
    bool visible = isVisible();
    setWindowFlags(flags);
    if (visible)
        show();
}

void MainWindow::StartTick()
{
    tick_.start();
}

void MainWindow::StopTick()
{
    tick_.stop();
}

void MainWindow::ScheduleStartupWork()
{
    QTimer::singleShot(0, this, [this] {
        if (form_)
            Guarded(*form_, [this] { form_->StartupWork(); });
    });
}

void MainWindow::ReleaseMouseCapture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

void MainWindow::RequestClose()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::OpenHelp()
{
    QString page = HelpPage();
    if (!page.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xAA, 0xD2, 0xF0));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool allowed = true;
    if (form_)
        Guarded(*form_, [&] { allowed = form_->FormCloseQuery(); });
    if (!allowed) {
        event->ignore();
        return;
    }
    event->accept();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (form_)
        Guarded(*form_, [this] { form_->FormShow(); });
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && form_)
        Guarded(*form_, [this] { form_->FormActivate(); });
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    if (menu_)
        menu_->popup(event->globalPos());
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && form_)
        Guarded(*form_, [this] { form_->MainImageDblClick(); });
}

} // namespace pendar
