#include "app_qt/MainWindow.h"

#include "app/ExceptionGuard.h"
#include "app/MainForm.h"
#include "app_qt/DesktopStates.h"
#include "app_qt/DibImage.h"
#include "app_qt/HelpWindow.h"
#include "app_qt/QtRegion.h"
#include "app_qt/ZoPanel.h"
#include "dialogs_qt/DialogView.h"
#include "platform/QtText.h"
#include "platform/ZoFileExec.h"
#include "platform_qt/Fonts.h"
#include "platform_qt/XcbWindowTracker.h"
#include "port/AppFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

#include <algorithm>

namespace pendar {

namespace {

// The height a line of `font` needs from its top down to the end of its
// underline, which lies below the baseline and may pass the font's size.
int LineHeight(const QFont& font)
{
    const QFontMetrics metrics(font);
    return std::max(metrics.height(), metrics.ascent() + metrics.underlinePos() + metrics.lineWidth() + 1);
}

QColor ColourOf(uint32_t platform)
{
    return QColor(static_cast<int>(platform & 0xFF), static_cast<int>((platform >> 8) & 0xFF),
                  static_cast<int>((platform >> 16) & 0xFF));
}

// Whether two fonts lay a text out alike (the colour aside).
bool SameShapes(TFont a, const TFont& b)
{
    a.color = b.color;
    return a == b;
}

} // namespace

MainWindow::MainWindow()
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    // The character's name shows over it whichever window is active: the
    // desktop's window almost always is.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    BuildFace();
    tick_.setInterval(200);
    connect(&tick_, &QTimer::timeout, this, [this] {
        if (form_)
            Guarded(*form_, [this] { form_->CheckTimerTimer(); });
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildFace()
{
    setAttribute(Qt::WA_NoSystemBackground);
    mainPanel_ = new TZoPanel(this);
    mainImage_ = new TDibImage(mainPanel_);
    mesPanel_ = new TZoPanel(this);
    mesImage_ = new TDibImage(mesPanel_);
    mesPanel_->hide();
    for (int i = 0; i < kFaceLabelCount; ++i) {
        QLabel* label = new QLabel(i < kClockLabelCount ? mainPanel_ : mesPanel_);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setMargin(0);
        label->setIndent(0);
        labels_[static_cast<size_t>(i)] = label;
    }
    for (QObject* o : {static_cast<QObject*>(mainImage_), static_cast<QObject*>(labels_[flYear]),
                       static_cast<QObject*>(labels_[flDate]), static_cast<QObject*>(labels_[flWeek]),
                       static_cast<QObject*>(labels_[flTime])})
        o->installEventFilter(this);
    mesImage_->installEventFilter(this);
    for (int i = kClockLabelCount; i < kFaceLabelCount; ++i)
        labels_[static_cast<size_t>(i)]->installEventFilter(this);
    ShowLayout(TFace{});
}

void MainWindow::SetDesktop(XcbWindowTracker* desktop)
{
    desktop_ = desktop;
    if (desktop_ && !states_) {
        states_ = new DesktopStates(*this, *desktop_);
        states_->SetSkipTaskbar(!taskbarEntry_);
        states_->SetAbove(stayOnTop_);
    }
}

void MainWindow::Attach(TMainForm& form)
{
    form_ = &form;
    form.MainDib().AssociateBitmap(mainImage_);
    form.MesDib().AssociateBitmap(mesImage_);
    BuildMenu();
    ShowLayout(form.Face());
    ShowLabels(form.Face());
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
            // The character's window and its menu only: another window keeps
            // its keys (Ctrl+C copies in the log, Alt+F4 closes that window).
            action->setShortcut(QKeySequence(QString::fromStdString(e.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
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
    menu_->installEventFilter(this);
}

bool MainWindow::MenuShortcut(const QKeyEvent& key)
{
    // An open menu has the keyboard to itself: its entries' short-cuts are
    // looked up here.
    const QKeySequence pressed(key.keyCombination());
    for (const auto& [name, action] : actions_) {
        if (action->shortcut().isEmpty() || action->shortcut() != pressed || !action->isEnabled())
            continue;
        menu_->close();
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
        return true;
    }
    return false;
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
    const QString hint = FromSjis(text);
    mainImage_->setToolTip(hint);
    for (int i = 0; i < kClockLabelCount; ++i)
        labels_[static_cast<size_t>(i)]->setToolTip(hint);
}

void MainWindow::Show()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void MainWindow::Hide()
{
    hide();
}

void MainWindow::Minimize()
{
    showMinimized();
}

bool MainWindow::IsVisible() const
{
    return isVisible();
}

bool MainWindow::IsApplicationActive() const
{
    return QApplication::activeWindow() != nullptr;
}

Qt::WindowFlags MainWindow::WantedFlags() const
{
    Qt::WindowFlags flags = Qt::FramelessWindowHint | (taskbarEntry_ ? Qt::Window : Qt::Tool);
    if (stayOnTop_)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

void MainWindow::SetTaskbarEntry(bool shown)
{
    taskbarEntry_ = shown;
    if (states_) {
        states_->SetSkipTaskbar(!shown);
        return;
    }
    // Elsewhere the kind of window says it. A change re-creates the native
    // window.
    if (windowFlags() == WantedFlags())
        return;
    const bool visible = isVisible();
    const QPoint at = pos();
    setWindowFlags(WantedFlags());
    if (visible) {
        show();
        move(at);
    }
}

port::TRect MainWindow::WorkArea() const
{
    return ScreenArea();
}

void MainWindow::MoveWindow(int x, int y)
{
    wanted_ = QPoint(x, y);
    corrections_ = kCorrections;
    move(x, y);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The server's report of an earlier move can arrive after a later one
    // was asked for; Qt then takes the old place for the window's own and
    // would skip asking for the new one again. Ask again, a few times, so a
    // window manager that refuses a place is not fought for ever.
    if (wanted_ && pos() != *wanted_ && corrections_ > 0) {
        --corrections_;
        move(*wanted_);
    }
}

void MainWindow::SetStayOnTop(bool onTop)
{
    stayOnTop_ = onTop;
    if (states_)
        states_->SetAbove(onTop);
    else
        SetOnTop(*this, onTop);
}

void MainWindow::BringToFront()
{
    raise();
    activateWindow();
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

// The desktop's opener shows the help page; when there is none, or it
// fails, Pendar's own window does, so the help always opens.
void MainWindow::OpenHelp()
{
    std::string page = port::FindSharedFile(port::ThisAppFolders(), "help/Pendar.html");
    if (page.empty()) {
        ShowOwnHelp({});
        return;
    }
    QPointer<MainWindow> self(this);
    ZoFileExec(page, [self, page](int) {
        if (self)
            self->ShowOwnHelp(QString::fromStdString(page));
    });
}

void MainWindow::ShowOwnHelp(const QString& page)
{
    if (!help_)
        help_ = std::make_unique<HelpWindow>();
    help_->ShowPage(page);
}

void MainWindow::FaceChanged(unsigned parts)
{
    if (!form_)
        return;
    const TFace& face = form_->Face();
    if (parts & fpLayout)
        ShowLayout(face);
    if (parts & fpLabels)
        ShowLabels(face);
    if ((parts & (fpShape | fpBalloonShape)) && shapeLimit_ == 0)
        shapeLimit_ = WindowShapeLimit();
    if (parts & fpShape)
        ShowShape(face);
    if (parts & fpBalloonShape)
        mesPanel_->setMask(ToWindowMask(face.mesShape, shapeLimit_));
}

void MainWindow::ShowShape(const TFace& face)
{
    // A frame of the same outline as the last leaves the shape alone.
    if (face.windowShape && face.windowShape != shownShape_ && SetWindowShape(*this, *face.windowShape, shapeLimit_))
        shownShape_ = face.windowShape;
}

void MainWindow::ShowLayout(const TFace& face)
{
    setFixedSize(face.windowWidth, face.windowHeight);
    const port::TRect& main = face.mainPanel;
    mainPanel_->setGeometry(main.left, main.top, main.Width(), main.Height());
    mainImage_->setGeometry(0, 0, main.Width(), main.Height());
    const port::TRect& mes = face.mesPanel;
    mesPanel_->setGeometry(mes.left, mes.top, mes.Width(), mes.Height());
    mesImage_->setGeometry(0, 0, mes.Width(), mes.Height());
    mesPanel_->setVisible(face.mesVisible);
}

void MainWindow::ShowLabels(const TFace& face)
{
    // Only what changed is handed on: a new text or font lays the label's
    // text out again, which a label that merely stays need not pay for.
    for (size_t i = 0; i < labels_.size(); ++i) {
        const TFaceLabel& state = face.labels[i];
        std::optional<TFaceLabel>& shown = shownLabels_[i];
        QLabel* label = labels_[i];
        bool reshape = !shown;
        if (!shown || !SameShapes(shown->font, state.font)) {
            label->setFont(QtFontOf(state.font));
            reshape = true;
        }
        if (!shown || shown->font.color != state.font.color) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, ColourOf(state.font.color));
            label->setPalette(palette);
        }
        if (!shown || shown->text != state.text) {
            label->setText(FromSjis(state.text));
            reshape = true;
        }
        if (!shown || shown->left != state.left || shown->top != state.top)
            label->move(state.left, state.top);
        if (reshape || shown->width != state.width || shown->height != state.height) {
            if (state.width > 0)
                label->setFixedSize(state.width, std::max(state.height, LineHeight(label->font())));
            else
                label->adjustSize();
        }
        if (!shown || shown->visible != state.visible)
            label->setVisible(state.visible);
        shown = state;
    }
}

bool MainWindow::IsCharacterPart(QObject* watched) const
{
    if (watched == mainImage_)
        return true;
    for (int i = 0; i < kClockLabelCount; ++i)
        if (watched == labels_[static_cast<size_t>(i)])
            return true;
    return false;
}

bool MainWindow::IsBalloonPart(QObject* watched) const
{
    if (watched == mesImage_)
        return true;
    for (int i = kClockLabelCount; i < kFaceLabelCount; ++i)
        if (watched == labels_[static_cast<size_t>(i)])
            return true;
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menu_ && event->type() == QEvent::KeyPress && MenuShortcut(*static_cast<QKeyEvent*>(event)))
        return true;
    // Qt gives a double click's second press as a double click: it is a
    // press all the same.
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (form_ && IsBalloonPart(watched) && press) {
        const bool left = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        Guarded(*form_, [this, left] { form_->MesImageMouseDown(left); });
        return true;
    }
    if (!form_ || !IsCharacterPart(watched))
        return QWidget::eventFilter(watched, event);
    return CharacterMouse(watched, event) || QWidget::eventFilter(watched, event);
}

bool MainWindow::CharacterMouse(QObject* watched, QEvent* event)
{
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        // Every press counts, the second of a double click too: it stores
        // the point a drag starts from.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        const bool left = mouse->button() == Qt::LeftButton;
        Guarded(*form_, [&] { form_->MainImageMouseDown(left, at.x(), at.y()); });
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return false; // the context menu still comes on the right button
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        const bool left = mouse->buttons().testFlag(Qt::LeftButton);
        Guarded(*form_, [&] { form_->MainImageMouseMove(left, at.x(), at.y()); });
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        bool dragged = false;
        Guarded(*form_, [&] { dragged = form_->MainImageMouseUp(true); });
        if (swallowRelease_) {
            swallowRelease_ = false;
            return true;
        }
        // A drag that ends is no click.
        if (!dragged && widget->rect().contains(mouse->position().toPoint()))
            Guarded(*form_, [this] { form_->MainImageClick(); });
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        swallowRelease_ = true;
        // Of the labels only the time has a double click; the others take
        // it as nothing.
        if (watched == mainImage_ || watched == labels_[flTime])
            Guarded(*form_, [this] { form_->MainImageDblClick(); });
        return true;
    }
    default:
        break;
    }
    return false;
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
        ShowShape(form_->Face()); // made but not yet mapped
    if (form_)
        Guarded(*form_, [this] {
            form_->FormShow();
            form_->WindowStateChanged(!isMinimized());
        });
}

void MainWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (form_ && !event->spontaneous())
        Guarded(*form_, [this] { form_->WindowStateChanged(false); });
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Minimised or restored by the task bar or the window manager too.
    if (event->type() == QEvent::WindowStateChange && form_) {
        const bool shown = isVisible() && !isMinimized();
        Guarded(*form_, [this, shown] { form_->WindowStateChanged(shown); });
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && form_) {
        // Brought forward by a click: that press must not turn the
        // balloon's page.
        const bool byClick = desktop_ ? desktop_->PointerButtonHeld() : QGuiApplication::mouseButtons() != Qt::NoButton;
        Guarded(*form_, [this, byClick] {
            if (byClick)
                form_->SetActivationClick();
            form_->FormActivate();
        });
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // After this press's own events: the second of two quick right presses
    // comes on as a double click too, which an open menu would take for a
    // click beside it and close.
    if (menu_)
        QMetaObject::invokeMethod(
            menu_, [menu = menu_, at = event->globalPos()] { menu->popup(at); }, Qt::QueuedConnection);
}

} // namespace pendar
