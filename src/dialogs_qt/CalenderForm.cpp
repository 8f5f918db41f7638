#include "dialogs_qt/CalenderForm.h"

#include "platform/QtText.h"

#include <QLabel>
#include <QPushButton>

namespace pendar {

namespace {

void Recolour(QLabel* label, uint32_t textColour, uint32_t background)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(textColour));
    palette.setColor(QPalette::Window, ToQColor(background));
    label->setPalette(palette);
}

QLabel* ColouredLabel(QWidget* parent, const QString& text, uint32_t textColour, uint32_t background)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    Recolour(label, textColour, background);
    return label;
}

} // namespace

TCalenderForm::TCalenderForm(const port::IClock& clock, StayOnTopQuery stayOnTop)
    : model_(clock), stayOnTop_(std::move(stayOnTop)), backBtn_(new QPushButton(QStringLiteral("<<"), this)),
      nextBtn_(new QPushButton(QStringLiteral(">>"), this)),
      nowBtn_(new QPushButton(QString::fromUtf8("今月"), this)),
      closeBtn_(new QPushButton(QStringLiteral("OK"), this)), monthLabel_(new QLabel(this))
{
    setWindowFlags(Qt::Tool | kFixedFrame);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QString::fromUtf8("カレンダー"));
    setFont(DialogFont());
    setFixedSize(180, 184);

    backBtn_->setObjectName(QStringLiteral("BackBtn"));
    backBtn_->setGeometry(4, 4, 32, 22);
    monthLabel_->setObjectName(QStringLiteral("MonthLabel"));
    monthLabel_->setGeometry(40, 4, 100, 22);
    monthLabel_->setAlignment(Qt::AlignCenter);
    nextBtn_->setObjectName(QStringLiteral("NextBtn"));
    nextBtn_->setGeometry(144, 4, 32, 22);

    auto* daysPanel = ColouredLabel(this, {}, clBlack, clWhite);
    daysPanel->setObjectName(QStringLiteral("DaysPanel"));
    daysPanel->setGeometry(4, 30, 172, 118);
    auto* weekPanel = ColouredLabel(daysPanel, {}, clBlack, clSilver);
    weekPanel->setObjectName(QStringLiteral("WeekPanel"));
    weekPanel->setGeometry(0, 0, 172, 16);
    const char* headings[7] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        uint32_t colour = i == 0 ? clRed : i == 6 ? clBlue : clBlack;
        auto* heading = ColouredLabel(weekPanel, QString::fromUtf8(headings[i]), colour, clSilver);
        heading->setObjectName(QStringLiteral("W%1Label").arg(i));
        heading->setGeometry(6 + 24 * i, 2, 16, 12);
    }
    for (int k = 0; k < TCalenderModel::kCells; ++k) {
        QLabel* cell = ColouredLabel(daysPanel, {}, clBlack, clWhite);
        cell->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        cell->setGeometry(6 + 24 * (k % 7), 20 + 16 * (k / 7), 16, 12);
        cells_[static_cast<size_t>(k)] = cell;
    }

    nowBtn_->setObjectName(QStringLiteral("NowBtn"));
    nowBtn_->setGeometry(20, 154, 64, 24);
    closeBtn_->setObjectName(QStringLiteral("CloseBtn"));
    closeBtn_->setGeometry(96, 154, 64, 24);

    connect(backBtn_, &QPushButton::clicked, this, [this] { model_.BackBtnClick(); });
    connect(nextBtn_, &QPushButton::clicked, this, [this] { model_.NextBtnClick(); });
    connect(nowBtn_, &QPushButton::clicked, this, [this] { model_.NowBtnClick(); });
    connect(closeBtn_, &QPushButton::clicked, this, &QWidget::hide);
    model_.onChanged = [this] { Draw(); };
    Draw();
}

void TCalenderForm::Draw()
{
    monthLabel_->setText(FromSjis(model_.MonthCaption()));
    for (int k = 0; k < TCalenderModel::kCells; ++k) {
        const TCalenderCell& c = model_.Cells()[static_cast<size_t>(k)];
        QLabel* cell = cells_[static_cast<size_t>(k)];
        cell->setText(QString::fromStdString(c.text));
        cell->setToolTip(FromSjis(c.hint));
        Recolour(cell, c.textColour, c.background);
    }
    backBtn_->setEnabled(model_.BackEnabled());
    nextBtn_->setEnabled(model_.NextEnabled());
}

void TCalenderForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    CentreWindowOn(*this, ScreenArea());
}

void TCalenderForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    FollowStayOnTop(*this, *event, stayOnTop_);
}

} // namespace pendar
