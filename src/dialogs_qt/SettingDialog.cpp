#include "dialogs_qt/SettingDialog.h"

#include "dialogs_qt/RangeSpin.h"
#include "dialogs_qt/SjisEdit.h"
#include "platform/QtText.h"
#include "port/Cp932.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace pendar {

namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QGroupBox* Group(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QGroupBox(U(caption), parent);
    box->setObjectName(name);
    return box;
}

QLabel* Label(QWidget* parent, const char* caption)
{
    return new QLabel(U(caption), parent);
}

void SetValue(QSpinBox* spin, int value)
{
    if (spin->value() != value)
        spin->setValue(value);
}

void SetChecked(QCheckBox* box, bool on)
{
    if (box->isChecked() != on)
        box->setChecked(on);
}

void SetIndex(QComboBox* combo, int index)
{
    if (combo->currentIndex() != index)
        combo->setCurrentIndex(index);
}

// Items and selection of a list box, without raising its click event.
void ShowList(QListWidget* list, const std::vector<std::string>& items, int index)
{
    const QSignalBlocker blocker(list);
    bool same = list->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < list->count(); ++i)
        same = list->item(i)->text() == FromSjis(items[static_cast<size_t>(i)]);
    if (!same) {
        list->clear();
        for (const std::string& item : items)
            list->addItem(FromSjis(item));
    }
    list->setCurrentRow(index);
    if (index < 0)
        list->clearSelection();
}

} // namespace

TSettingDialog::TSettingDialog(TSettingModel& model, StayOnTopQuery stayOnTop)
    : model_(model), stayOnTop_(std::move(stayOnTop))
{
    setObjectName("SettingDialog");
    setWindowTitle(U("設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | kFixedFrame);
    setFont(DialogFont());
    setFixedSize(480, 320);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    settingPage_ = new QTabWidget(this);
    settingPage_->setObjectName("SettingPage");
    settingPage_->addTab(BuildGeneralPage(), U("一般"));
    settingPage_->addTab(BuildSchedulePage(), U("予定"));
    settingPage_->addTab(BuildMailPage(), U("メール"));
    settingPage_->addTab(BuildTimePage(), U("時刻"));
    settingPage_->setCurrentIndex(0);
    layout->addWidget(settingPage_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* cancel = Button(this, "CancelButton", "Cancel");
    QPushButton* ok = Button(this, "OkButton", "OK");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    model_.SetView(this);
}

TSettingDialog::~TSettingDialog()
{
    model_.SetView(nullptr);
}

QPushButton* TSettingDialog::Button(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(U(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false); // Enter in an edit must not close the dialog
    return button;
}

QCheckBox* TSettingDialog::Check(QWidget* parent, const char* name, const char* caption, const char* hint)
{
    auto* box = new QCheckBox(U(caption), parent);
    box->setObjectName(name);
    if (hint)
        box->setToolTip(U(hint));
    return box;
}

QSpinBox* TSettingDialog::Spin(QWidget* parent, const char* name, TRange range)
{
    auto* spin = new TRangeSpin(parent);
    spin->setObjectName(name);
    spin->setRange(range.min, range.max);
    return spin;
}

QComboBox* TSettingDialog::WeekCombo(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        combo->addItem(U(day));
    return combo;
}

// --- Building the pages --------------------------------------------------

QGroupBox* TSettingDialog::ListGroup(QWidget* page, const TListNames& names, QListWidget*& list,
                                     QPushButton*& newButton, QPushButton*& copyButton, QPushButton*& delButton)
{
    QGroupBox* group = Group(page, names.group, names.caption);
    auto* layout = new QVBoxLayout(group);
    list = new QListWidget(group);
    list->setObjectName(names.list);
    layout->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    newButton = Button(group, names.newButton, "新規");
    copyButton = Button(group, names.copyButton, "コピー");
    delButton = Button(group, names.delButton, "削除");
    for (QPushButton* b : {newButton, copyButton, delButton}) {
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed); // they share the group's width
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    return group;
}

// A page that holds one group at its top.
QGroupBox* TSettingDialog::GroupPage(const char* pageName, const char* groupName, const char* caption, QWidget*& page)
{
    page = new QWidget;
    page->setObjectName(pageName);
    auto* layout = new QVBoxLayout(page);
    QGroupBox* group = Group(page, groupName, caption);
    layout->addWidget(group);
    layout->addStretch(1);
    return group;
}

QWidget* TSettingDialog::BuildGeneralPage()
{
    QWidget* page = nullptr;
    QGroupBox* group = GroupPage("TabSheet1", "GrobalGroupBox", "", page);
    auto* layout = new QVBoxLayout(group);
    struct {
        const char* name;
        const char* caption;
        const char* hint;
    } boxes[] = {
        {"ActiveCheckBox", "新しいメッセージでアクティブになる", "新しいメッセージが来ると、 ウィンドウをアクティブにします"},
        {"EmphasisCheckBox", "新しいメッセージは強調表示", "新しいメッセージを、 イタリックで下線付きにします"},
        {"StayOnTopCheck", "常に最前面に表示", "常に一番手前に表示します"},
        {"TaskbarCheck", "常にデスクトップの四隅に", "デスクトップ画面に座ります"},
        {"WavCheckBox", "音声を鳴らす", "wavファイルを再生します"},
        {"RndCheckBox", "ランダム音声を鳴らす", "定期的に一人事をいいます"},
    };
    for (size_t i = 0; i < general_.size(); ++i) {
        QCheckBox* box = Check(group, boxes[i].name, boxes[i].caption, boxes[i].hint);
        general_[i] = box;
        if (i + 1 == general_.size()) { // indented under WavCheckBox
            auto* row = new QHBoxLayout;
            row->addSpacing(16);
            row->addWidget(box);
            layout->addLayout(row);
        } else {
            layout->addWidget(box);
        }
        connect(box, &QCheckBox::clicked, this, [this] { model_.GeneralChange(ReadGeneral()); });
    }
    autostartCheck_ = Check(group, "AutostartCheckBox", "ログイン時に起動する", "ログインしたときに起動します");
    layout->addWidget(autostartCheck_);
    connect(autostartCheck_, &QCheckBox::clicked, this, [this] { model_.GeneralChange(ReadGeneral()); });
    return page;
}

QWidget* TSettingDialog::BuildSchedulePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    auto* pageLayout = new QHBoxLayout(page);

    QGroupBox* listGroup = ListGroup(page,
                                     {"SchListGroupBox", "予定リスト", "ScheduleListBox", "SchNewButton",
                                      "SchCopyButton", "SchDelButton"},
                                     scheduleListBox_, schNewButton_, schCopyButton_, schDelButton_);
    listGroup->setFixedWidth(160); // the editors need the rest
    pageLayout->addWidget(listGroup);

    QGroupBox* editGroup = Group(page, "SchEditGroupBox", "編集");
    auto* grid = new QGridLayout(editGroup);
    grid->addWidget(Label(editGroup, "予定名  :"), 0, 0);
    schNameEdit_ = new TSjisEdit(editGroup, kScheduleNameMax);
    schNameEdit_->setObjectName("SchNameEdit");
    grid->addWidget(schNameEdit_, 0, 1, 1, 3);
    onceCheckBox_ = Check(editGroup, "OnceCheckBox", "通知したら削除する");
    grid->addWidget(onceCheckBox_, 1, 0, 1, 4);
    struct {
        const char* check;
        const char* caption;
        const char* editor;
    } fields[kSchFields] = {
        {"YearCheckBox", "年", "YearEdit"},   {"MonthCheckBox", "月", "MonthEdit"},
        {"DayCheckBox", "日", "DayEdit"},     {"WeekCheckBox", "曜日", "WeekComboBox"},
        {"HourCheckBox", "時", "HourEdit"},   {"MinuteCheckBox", "分", "MinuteEdit"},
    };
    const auto timeChanged = [this] { model_.SchTimeChange(ReadScheduleEditors()); };
    for (int f = 0; f < kSchFields; ++f) {
        const int row = 2 + f % 3;
        const int column = f / 3 * 2;
        QCheckBox* check = Check(editGroup, fields[f].check, fields[f].caption);
        fieldChecks_[static_cast<size_t>(f)] = check;
        grid->addWidget(check, row, column);
        connect(check, &QCheckBox::toggled, this, timeChanged);
        if (f == sfWeek) {
            weekComboBox_ = WeekCombo(editGroup, fields[f].editor);
            grid->addWidget(weekComboBox_, row, column + 1);
            connect(weekComboBox_, &QComboBox::currentIndexChanged, this, timeChanged);
        } else {
            QSpinBox* spin = Spin(editGroup, fields[f].editor, kSchFieldRanges[static_cast<size_t>(f)]);
            fieldSpins_[static_cast<size_t>(f)] = spin;
            grid->addWidget(spin, row, column + 1);
            connect(spin, &QSpinBox::valueChanged, this, timeChanged);
        }
    }
    connect(onceCheckBox_, &QCheckBox::toggled, this, timeChanged);
    auto* timeButtons = new QHBoxLayout;
    struct {
        const char* name;
        const char* caption;
        void (TSettingModel::*click)();
    } buttons[] = {
        {"NowButton", "現時刻", &TSettingModel::NowButtonClick},
        {"EveryDayButton", "毎日", &TSettingModel::EveryDayButtonClick},
        {"EveryWeekButton", "毎週", &TSettingModel::EveryWeekButtonClick},
        {"EveryMonthButton", "毎月", &TSettingModel::EveryMonthButtonClick},
        {"EveryYearButton", "毎年", &TSettingModel::EveryYearButtonClick},
    };
    for (size_t i = 0; i < schTimeButtons_.size(); ++i) {
        QPushButton* b = Button(editGroup, buttons[i].name, buttons[i].caption);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        schTimeButtons_[i] = b;
        timeButtons->addWidget(b);
        auto click = buttons[i].click;
        connect(b, &QPushButton::clicked, this, [this, click] { (model_.*click)(); });
    }
    grid->addLayout(timeButtons, 5, 0, 1, 4);
    grid->setRowStretch(6, 1);
    grid->setHorizontalSpacing(4);
    timeButtons->setSpacing(2);
    pageLayout->addWidget(editGroup, 1);

    connect(scheduleListBox_, &QListWidget::currentRowChanged, this,
            [this](int row) { model_.ScheduleListBoxClick(row); });
    schNameEdit_->onEdited = [this](const std::string& text) { model_.SchNameEditChange(text); };
    connect(schNewButton_, &QPushButton::clicked, this, [this] { model_.SchNewButtonClick(); });
    connect(schCopyButton_, &QPushButton::clicked, this, [this] { model_.SchCopyButtonClick(); });
    connect(schDelButton_, &QPushButton::clicked, this, [this] { model_.SchDelButtonClick(); });
    return page;
}

QWidget* TSettingDialog::BuildMailPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet3");
    auto* pageLayout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;

    left->addWidget(ListGroup(page, {"MailListGroupBox", "プロファイルリスト", "ProfileListBox", "MailNewButton",
                                     "MailCopyButton", "MailDelButton"},
                              profileListBox_, mailNewButton_, mailCopyButton_, mailDelButton_),
                    1);

    QGroupBox* configGroup = Group(page, "MailConfigGroupBox", "共通設定");
    auto* configLayout = new QGridLayout(configGroup);
    const QString intervalHint = U("メールをチェックする間隔です");
    checkTimerEdit_ = Spin(configGroup, "CheckTimerEdit", kIntervalRange);
    checkTimerEdit_->setToolTip(intervalHint);
    QLabel* intervalLabel = Label(configGroup, "分おきにチェック");
    intervalLabel->setToolTip(intervalHint);
    sameCheckBox_ = Check(configGroup, "SameCheckBox", "同じメールは数えない");
    configLayout->addWidget(checkTimerEdit_, 0, 0);
    configLayout->addWidget(intervalLabel, 0, 1);
    configLayout->addWidget(sameCheckBox_, 1, 0, 1, 2);
    left->addWidget(configGroup);
    pageLayout->addLayout(left, 2);

    QGroupBox* editGroup = Group(page, "MailEditGroupBox", "編集");
    auto* grid = new QGridLayout(editGroup);
    profileEdit_ = new TSjisEdit(editGroup);
    profileEdit_->setObjectName("ProfileEdit");
    serverEdit_ = new TSjisEdit(editGroup);
    serverEdit_->setObjectName("ServerEdit");
    portEdit_ = Spin(editGroup, "PortEdit", kPortRange);
    accountEdit_ = new TSjisEdit(editGroup);
    accountEdit_->setObjectName("AccountEdit");
    passwordEdit_ = new TSjisEdit(editGroup, kPasswordMax);
    passwordEdit_->setObjectName("PasswordEdit");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setStyleSheet("lineedit-password-character: 42"); // '*'; the style's own is a dot
    apopCheck_ = Check(editGroup, "APOPCheck", "APOP");
    tlsComboBox_ = new QComboBox(editGroup);
    tlsComboBox_->setObjectName("TlsComboBox");
    // In the order of TMailTls.
    tlsComboBox_->addItems({U("なし"), U("STARTTLS"), U("SSL/TLS")});
    caFileEdit_ = new TSjisEdit(editGroup);
    caFileEdit_->setObjectName("CaFileEdit");
    caFileEdit_->setToolTip(U("空のときはシステムの証明書だけを使います"));
    caFileButton_ = Button(editGroup, "CaFileButton", "参照...");
    grid->addWidget(Label(editGroup, "設定名  :"), 0, 0);
    grid->addWidget(profileEdit_, 0, 1, 1, 2);
    grid->addWidget(Label(editGroup, "POPｻｰﾊﾞｰ :"), 1, 0);
    grid->addWidget(serverEdit_, 1, 1);
    grid->addWidget(portEdit_, 1, 2);
    grid->addWidget(Label(editGroup, "ｱｶｳﾝﾄ :"), 2, 0);
    grid->addWidget(accountEdit_, 2, 1, 1, 2);
    grid->addWidget(Label(editGroup, "ﾊﾟｽﾜｰﾄﾞ :"), 3, 0);
    grid->addWidget(passwordEdit_, 3, 1, 1, 2);
    grid->addWidget(apopCheck_, 4, 1);
    grid->addWidget(Label(editGroup, "暗号化 :"), 5, 0);
    grid->addWidget(tlsComboBox_, 5, 1);
    grid->addWidget(Label(editGroup, "CAﾌｧｲﾙ :"), 6, 0);
    grid->addWidget(caFileEdit_, 6, 1);
    grid->addWidget(caFileButton_, 6, 2);
    grid->setRowStretch(7, 1);
    pageLayout->addWidget(editGroup, 3);

    connect(profileListBox_, &QListWidget::currentRowChanged, this,
            [this](int row) { model_.ProfileListBoxClick(row); });
    profileEdit_->onEdited = [this](const std::string& text) { model_.ProfileEditChange(text); };
    const auto fieldsChanged = [this] { model_.ProfileFieldsChange(ReadProfileEditors()); };
    for (TSjisEdit* edit : {serverEdit_, accountEdit_, passwordEdit_, caFileEdit_})
        edit->onEdited = [fieldsChanged](const std::string&) { fieldsChanged(); };
    connect(portEdit_, &QSpinBox::valueChanged, this, fieldsChanged);
    connect(apopCheck_, &QCheckBox::toggled, this, fieldsChanged);
    connect(tlsComboBox_, &QComboBox::currentIndexChanged, this, fieldsChanged);
    connect(caFileButton_, &QPushButton::clicked, this, [this] { BrowseCaFile(); });
    connect(mailNewButton_, &QPushButton::clicked, this, [this] { model_.MailNewButtonClick(); });
    connect(mailCopyButton_, &QPushButton::clicked, this, [this] { model_.MailCopyButtonClick(); });
    connect(mailDelButton_, &QPushButton::clicked, this, [this] { model_.MailDelButtonClick(); });
    const auto configChanged = [this] { model_.MailConfigChange(ReadMailConfig()); };
    connect(checkTimerEdit_, &QSpinBox::valueChanged, this, configChanged);
    connect(sameCheckBox_, &QCheckBox::clicked, this, configChanged);
    return page;
}

QWidget* TSettingDialog::BuildTimePage()
{
    QWidget* page = nullptr;
    QGroupBox* group = GroupPage("TabSheet4", "TimeGroupBox", "時刻合わせ", page);
    auto* grid = new QGridLayout(group);
    timeCheckBox_ = Check(group, "TimeCheckBox", "時計合わせをする");
    ntpEdit_ = new TSjisEdit(group);
    ntpEdit_->setObjectName("NTPEdit");
    timeWCheckBox_ = Check(group, "TimeWCheckBox", "曜日");
    timeWComboBox_ = WeekCombo(group, "TimeWComboBox");
    timeHCheckBox_ = Check(group, "TimeHCheckBox", "時");
    timeHEdit_ = Spin(group, "TimeHEdit", kSchFieldRanges[sfHour]);
    timeMCheckBox_ = Check(group, "TimeMCheckBox", "分");
    timeMEdit_ = Spin(group, "TimeMEdit", kSchFieldRanges[sfMinute]);
    grid->addWidget(timeCheckBox_, 0, 0, 1, 4);
    grid->addWidget(Label(group, "NTPｻｰﾊﾞｰ :"), 1, 0);
    grid->addWidget(ntpEdit_, 1, 1, 1, 3);
    grid->addWidget(timeWCheckBox_, 2, 0);
    grid->addWidget(timeWComboBox_, 2, 1);
    grid->addWidget(timeHCheckBox_, 3, 0);
    grid->addWidget(timeHEdit_, 3, 1);
    grid->addWidget(timeMCheckBox_, 4, 0);
    grid->addWidget(timeMEdit_, 4, 1);
    grid->setColumnStretch(3, 1);

    const auto changed = [this] { model_.TimeChange(ReadTime()); };
    for (QCheckBox* box : {timeCheckBox_, timeWCheckBox_, timeHCheckBox_, timeMCheckBox_})
        connect(box, &QCheckBox::clicked, this, changed);
    ntpEdit_->onEdited = [changed](const std::string&) { changed(); };
    connect(timeWComboBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(timeHEdit_, &QSpinBox::valueChanged, this, changed);
    connect(timeMEdit_, &QSpinBox::valueChanged, this, changed);
    return page;
}

void TSettingDialog::BrowseCaFile()
{
    QString chosen = QFileDialog::getOpenFileName(this, U("CAファイル"), FromSjis(caFileEdit_->Sjis()),
                                                  U("証明書 (*.pem *.crt *.cer);;すべてのファイル (*)"));
    if (chosen.isEmpty())
        return;
    // Like every text of the settings, the path is kept in code page 932; a
    // path it cannot hold cannot be stored.
    std::optional<std::string> cp932 = port::Utf16ToCp932Strict(chosen.toStdU16String());
    if (!cp932)
        return;
    caFileEdit_->SetSjis(*cp932);
    model_.ProfileFieldsChange(ReadProfileEditors());
}

// --- Reading the controls ------------------------------------------------

TScheduleEditors TSettingDialog::ReadScheduleEditors() const
{
    TScheduleEditors e;
    e.name = schNameEdit_->Sjis();
    for (int f = 0; f < kSchFields; ++f) {
        const auto i = static_cast<size_t>(f);
        e.checked[i] = fieldChecks_[i]->isChecked();
        e.values[i] = f == sfWeek ? weekComboBox_->currentIndex() : fieldSpins_[i]->value();
    }
    e.once = onceCheckBox_->isChecked();
    return e;
}

TProfileEditors TSettingDialog::ReadProfileEditors() const
{
    return {profileEdit_->Sjis(),   serverEdit_->Sjis(),   portEdit_->value(),
            accountEdit_->Sjis(),   passwordEdit_->Sjis(), apopCheck_->isChecked(),
            static_cast<TMailTls>(std::max(0, tlsComboBox_->currentIndex())), caFileEdit_->Sjis()};
}

TGeneralPage TSettingDialog::ReadGeneral() const
{
    return {general_[0]->isChecked(), general_[1]->isChecked(), general_[2]->isChecked(),
            general_[3]->isChecked(), general_[4]->isChecked(), general_[5]->isChecked(),
            autostartCheck_->isChecked()};
}

TTimePage TSettingDialog::ReadTime() const
{
    return {timeCheckBox_->isChecked(),  ntpEdit_->Sjis(),         timeWCheckBox_->isChecked(),
            timeWComboBox_->currentIndex(), timeHCheckBox_->isChecked(), timeHEdit_->value(),
            timeMCheckBox_->isChecked(),  timeMEdit_->value()};
}

TMailConfig TSettingDialog::ReadMailConfig() const
{
    return {checkTimerEdit_->value(), sameCheckBox_->isChecked()};
}

// --- Showing the model ---------------------------------------------------

void TSettingDialog::Refresh(unsigned parts)
{
    if (parts & spScheduleList)
        ShowScheduleList();
    if (parts & spScheduleEditors)
        ShowScheduleEditors();
    if (parts & spProfileList)
        ShowProfileList();
    if (parts & spProfileEditors)
        ShowProfileEditors();
    if (parts & spGeneral)
        ShowGeneral();
    if (parts & spMailConfig)
        ShowMailConfig();
    if (parts & spTime)
        ShowTime();
}

void TSettingDialog::ShowScheduleList()
{
    ShowList(scheduleListBox_, model_.ScheduleItems(), model_.ScheduleIndex());
}

// The editors raise their change events here; the model ignores them while
// it fills the editors.
void TSettingDialog::ShowScheduleEditors()
{
    const TScheduleEditors& e = model_.ScheduleEditors();
    const bool editing = model_.ScheduleEditing();
    schNameEdit_->SetSjis(e.name);
    schNameEdit_->setEnabled(editing);
    for (int f = 0; f < kSchFields; ++f) {
        const auto i = static_cast<size_t>(f);
        SetChecked(fieldChecks_[i], e.checked[i]);
        fieldChecks_[i]->setEnabled(editing);
        QWidget* editor = f == sfWeek ? static_cast<QWidget*>(weekComboBox_) : fieldSpins_[i];
        if (f == sfWeek)
            SetIndex(weekComboBox_, e.values[i]);
        else
            SetValue(fieldSpins_[i], e.values[i]);
        editor->setEnabled(model_.SchFieldEnabled(f));
    }
    SetChecked(onceCheckBox_, e.once);
    onceCheckBox_->setEnabled(editing);
    for (QPushButton* b : schTimeButtons_)
        b->setEnabled(editing);
    schNewButton_->setEnabled(model_.SchNewEnabled());
    schCopyButton_->setEnabled(model_.SchCopyEnabled());
    schDelButton_->setEnabled(model_.SchDelEnabled());
}

void TSettingDialog::ShowProfileList()
{
    ShowList(profileListBox_, model_.ProfileItems(), model_.ProfileIndex());
}

void TSettingDialog::ShowProfileEditors()
{
    const TProfileEditors& e = model_.ProfileEditors();
    const bool editing = model_.ProfileEditing();
    profileEdit_->SetSjis(e.name);
    serverEdit_->SetSjis(e.host);
    SetValue(portEdit_, e.port);
    accountEdit_->SetSjis(e.user);
    passwordEdit_->SetSjis(e.password);
    SetChecked(apopCheck_, e.apop);
    SetIndex(tlsComboBox_, static_cast<int>(e.tls));
    caFileEdit_->SetSjis(e.caFile);
    for (QWidget* w : std::initializer_list<QWidget*>{profileEdit_, serverEdit_, portEdit_, accountEdit_,
                                                      passwordEdit_, apopCheck_, tlsComboBox_})
        w->setEnabled(editing);
    caFileEdit_->setEnabled(model_.CaFileEnabled());
    caFileButton_->setEnabled(model_.CaFileEnabled());
    mailNewButton_->setEnabled(model_.MailNewEnabled());
    mailCopyButton_->setEnabled(model_.MailCopyEnabled());
    mailDelButton_->setEnabled(model_.MailDelEnabled());
}

void TSettingDialog::ShowGeneral()
{
    const TGeneralPage& g = model_.general;
    const bool values[] = {g.active, g.emphasis, g.stayOnTop, g.taskbar, g.waveFlag, g.randomWav};
    for (size_t i = 0; i < general_.size(); ++i) {
        const QSignalBlocker blocker(general_[i]);
        SetChecked(general_[i], values[i]);
    }
    general_[5]->setEnabled(model_.RndEnabled());
    const QSignalBlocker blocker(autostartCheck_);
    SetChecked(autostartCheck_, g.autostart);
    autostartCheck_->setVisible(model_.autostartOffered);
}

void TSettingDialog::ShowMailConfig()
{
    const QSignalBlocker timer(checkTimerEdit_);
    const QSignalBlocker same(sameCheckBox_);
    SetValue(checkTimerEdit_, model_.mailConfig.interval);
    SetChecked(sameCheckBox_, model_.mailConfig.sameCheck);
}

void TSettingDialog::ShowTime()
{
    const TTimePage& t = model_.time;
    const QSignalBlocker b1(timeWComboBox_);
    const QSignalBlocker b2(timeHEdit_);
    const QSignalBlocker b3(timeMEdit_);
    SetChecked(timeCheckBox_, t.timeEnable);
    ntpEdit_->SetSjis(t.ntpServer);
    SetChecked(timeWCheckBox_, t.weekOn);
    SetIndex(timeWComboBox_, t.week);
    SetChecked(timeHCheckBox_, t.hourOn);
    SetValue(timeHEdit_, t.hour);
    SetChecked(timeMCheckBox_, t.minuteOn);
    SetValue(timeMEdit_, t.minute);
    timeWComboBox_->setEnabled(t.weekOn);
    timeHEdit_->setEnabled(t.hourOn);
    timeMEdit_->setEnabled(t.minuteOn);
}

// --- Life of the window --------------------------------------------------

// A change of the stay-on-top state shows the window anew; only the show
// that opens the dialog fills it.
void TSettingDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (open_)
        return;
    open_ = true;
    CentreOnScreen(*this);
    model_.FormShow();
}

void TSettingDialog::done(int result)
{
    if (open_) {
        open_ = false;
        model_.FormHide();
    }
    QDialog::done(result);
}

void TSettingDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event)
        FollowStayOnTop(*this, *event, stayOnTop_);
}

} // namespace pendar
