#include "dialogs_qt/CharSelDialog.h"

#include "platform/QtText.h"

#include <QListWidget>
#include <QPushButton>

namespace pendar {

TCharSelDialog::TCharSelDialog(StayOnTopQuery stayOnTop) : stayOnTop_(std::move(stayOnTop))
{
    setObjectName("CharSelDialog");
    setWindowTitle(QString::fromUtf8("キャラ選択"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | kFixedFrame);
    setFont(DialogFont());
    setFixedSize(225, 229);

    charListBox_ = new QListWidget(this);
    charListBox_->setObjectName("CharListBox");
    charListBox_->setGeometry(4, 4, 217, 193);
    charListBox_->setUniformItemSizes(true);
    setButton_ = new QPushButton(QString::fromUtf8("設定"), this);
    setButton_->setObjectName("SetButton");
    setButton_->setGeometry(144, 200, 75, 25);
    setButton_->setDefault(true);
    closeButton_ = new QPushButton(QString::fromUtf8("閉じる"), this);
    closeButton_->setObjectName("CloseButton");
    closeButton_->setGeometry(64, 200, 75, 25);
    closeButton_->setAutoDefault(false);

    connect(charListBox_, &QListWidget::itemDoubleClicked, this, [this] { CharSelect(); });
    connect(setButton_, &QPushButton::clicked, this, [this] { CharSelect(); });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void TCharSelDialog::SetNames(std::vector<std::string> names)
{
    if (names.size() > static_cast<size_t>(kMaxEntries))
        names.resize(static_cast<size_t>(kMaxEntries));
    names_ = std::move(names);
    charListBox_->clear();
    for (const std::string& name : names_) {
        auto* item = new QListWidgetItem(FromSjis(name), charListBox_);
        item->setSizeHint(QSize(0, 12));
    }
}

void TCharSelDialog::CharSelect()
{
    const int row = charListBox_->currentRow();
    if (row < 0 || row >= static_cast<int>(names_.size()) || !charListBox_->item(row)->isSelected())
        return;
    if (onSelect)
        onSelect(names_[static_cast<size_t>(row)]);
}

void TCharSelDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

void TCharSelDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event)
        FollowStayOnTop(*this, *event, stayOnTop_);
}

} // namespace pendar
