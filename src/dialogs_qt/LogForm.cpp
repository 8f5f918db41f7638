#include "dialogs_qt/LogForm.h"

#include "platform/QtText.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace pendar {

namespace {

// One displayed line per log line: control characters (a CR of a CRLF text)
// would start lines of their own.
QString DisplayText(std::string_view text)
{
    QString s = FromSjis(text);
    for (QChar& c : s)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return s;
}

QTextCharFormat Coloured(uint32_t colour)
{
    QTextCharFormat format;
    format.setForeground(ToQColor(colour));
    return format;
}

} // namespace

TLogForm::TLogForm(TLogModel& model, const QWidget& owner, StayOnTopQuery stayOnTop)
    : model_(model), owner_(owner), stayOnTop_(std::move(stayOnTop)), logEdit_(new QTextEdit(this)),
      okBitBtn_(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowFlags(Qt::Tool | kFixedFrame);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Log"));
    setFont(DialogFont());
    resize(320, 240);

    logEdit_->setObjectName(QStringLiteral("LogEdit"));
    logEdit_->setReadOnly(true);
    logEdit_->setLineWrapMode(QTextEdit::NoWrap);
    logEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    logEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    logEdit_->document()->setMaximumBlockCount(TLogModel::kMaxLines);
    okBitBtn_->setObjectName(QStringLiteral("OkBitBtn"));
    connect(okBitBtn_, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBitBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 4, 4);
    layout->addWidget(logEdit_, 1);
    layout->addLayout(buttons);

    for (const TLogLine& line : model_.Lines())
        LineAdded(line);
    model_.SetView(this);
}

TLogForm::~TLogForm()
{
    model_.SetView(nullptr);
}

void TLogForm::LineAdded(const TLogLine& line)
{
    QString text = DisplayText(line.text);
    int stamp = static_cast<int>(FromSjis(std::string_view(line.text).substr(0, line.stampLength)).size());
    QTextCursor cursor(logEdit_->document());
    cursor.movePosition(QTextCursor::End);
    if (!empty_)
        cursor.insertBlock();
    empty_ = false;
    cursor.insertText(text.left(stamp), Coloured(TLogModel::kStampColour));
    cursor.insertText(text.mid(stamp), Coloured(line.colour));
    // The caret at the end: typing goes there.
    logEdit_->setTextCursor(cursor);
    ShowNewest();
}

// The newest line in view from its start: the caret alone would scroll
// sideways to the end of a long line and cut the time stamps off.
void TLogForm::ShowNewest()
{
    logEdit_->verticalScrollBar()->setValue(logEdit_->verticalScrollBar()->maximum());
    logEdit_->horizontalScrollBar()->setValue(0);
}

void TLogForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    PlaceBeside(*this, ScreenRect(owner_));
    ShowNewest();
    // Once laid out for its size, too.
    QTimer::singleShot(0, this, &TLogForm::ShowNewest);
}

void TLogForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    FollowStayOnTop(*this, *event, stayOnTop_);
}

} // namespace pendar
