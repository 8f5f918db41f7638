// The log window: a read-only text view of the log's lines, each in its
// colours, with the time stamps in blue, kept scrolled to the line starts
// and the newest line. Created hidden; OK hides it again and its content
// stays.
#pragma once

#include "dialogs/LogModel.h"
#include "dialogs_qt/DialogView.h"

#include <QWidget>

class QTextEdit;
class QPushButton;

namespace pendar {

class TLogForm final : public QWidget, public ILogLineView {
    Q_OBJECT
public:
    // `owner`: the character, which the log is shown beside.
    TLogForm(TLogModel& model, const QWidget& owner, StayOnTopQuery stayOnTop);
    ~TLogForm() override;

    QTextEdit* LogEdit() const { return logEdit_; }
    QPushButton* OkBitBtn() const { return okBitBtn_; }

    void LineAdded(const TLogLine& line) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowNewest();

    TLogModel& model_;
    const QWidget& owner_;
    StayOnTopQuery stayOnTop_;
    QTextEdit* logEdit_;
    QPushButton* okBitBtn_;
    bool empty_ = true;
};

} // namespace pendar
