// The calendar window: a small tool window over TCalenderModel with the
// buttons "<<", ">>", "今月" and OK. Closing hides it; shown again it keeps
// the month it showed last.
#pragma once

#include "dialogs/CalenderModel.h"
#include "dialogs_qt/DialogView.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace pendar {

class TCalenderForm final : public QWidget {
    Q_OBJECT
public:
    TCalenderForm(const port::IClock& clock, StayOnTopQuery stayOnTop);

    TCalenderModel& Model() { return model_; }
    void RefreshCalendar() { model_.RefreshCalendar(); }

    QLabel* MonthLabel() const { return monthLabel_; }
    QLabel* Cell(int index) const { return cells_.at(static_cast<size_t>(index)); } // Label1 .. Label37
    QPushButton* BackBtn() const { return backBtn_; }
    QPushButton* NextBtn() const { return nextBtn_; }
    QPushButton* NowBtn() const { return nowBtn_; }
    QPushButton* CloseBtn() const { return closeBtn_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Draw();

    TCalenderModel model_;
    StayOnTopQuery stayOnTop_;
    QPushButton* backBtn_;
    QPushButton* nextBtn_;
    QPushButton* nowBtn_;
    QPushButton* closeBtn_;
    QLabel* monthLabel_;
    std::array<QLabel*, TCalenderModel::kCells> cells_{};
    bool placed_ = false;
};

} // namespace pendar
