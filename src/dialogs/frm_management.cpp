#include "dialogs/frm_management.h"

#include "dialogs/dialog_widgets.h"
#include "dialogs/frm_search.h"
#include "dialogs/list_number_validator.h"
#include "dialogs/record_form_state.h"
#include "startup/event_handler.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringView>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace kestrova {

namespace {

// The tool bar's buttons in order; "更新" and "列印" have no key and no action. Button n shows picture n
// of the image list.
struct ToolButtonDesign {
    QStringView Caption;
    QStringView Key;
};

constexpr std::array<ToolButtonDesign, 13> kToolbarDesign{{
    {u"新增", u"NewRec"},
    {u"修改", u"AmendmentRec"},
    {u"刪除", u"DelRec"},
    {u"取消", u"CancelRec"},
    {u"寫入", u"WriteRec"},
    {u"尋找", u"Search"},
    {u"首筆", u"FirstRec"},
    {u"上筆", u"ReplyRec"},
    {u"下筆", u"NextRec"},
    {u"末筆", u"LastRec"},
    {u"更新", u""},
    {u"列印", u""},
    {u"離開", u"Exit"},
}};

const QString kExitKey = QStringLiteral("Exit");

// The text boxes with their labels, in twips: label left and top, then the box's left, top, width, height.
struct TextBoxDesign {
    QStringView label;
    int labelLeft, labelTop;
    int left, top, width, height;
};

constexpr std::array<TextBoxDesign, 8> kTextBoxes{{
    {u"車輛編號：", 360, 390, 1440, 285, 1485, 330},
    {u"車上端號碼：", 135, 915, 1440, 816, 1485, 330},
    {u"車牌號碼：", 360, 1440, 1440, 1332, 1485, 330},
    {u"駕駛姓名：", 360, 1950, 1440, 1848, 1485, 330},
    {u"電話1：", 705, 2475, 1440, 2364, 1485, 330},
    {u"電話2：", 3585, 2469, 4320, 2409, 1485, 330},
    {u"行動電話1：", 255, 2940, 1440, 2880, 1485, 285},
    {u"行動電話2：", 3135, 2940, 4320, 2880, 1485, 330},
}};

// The watch times' hour and minute boxes, each followed by its unit label.
struct WatchTimeBoxDesign {
    int left, top;
    QStringView unit;
    int unitLeft, unitTop;
};

constexpr std::array<WatchTimeBoxDesign, 4> kWatchTimeBoxes{{
    {4440, 1317, u"時", 5280, 1437},
    {5520, 1317, u"分", 6240, 1437},
    {4440, 1833, u"時", 5280, 1953},
    {5520, 1833, u"分", 6240, 1953},
}};
constexpr int kWatchTimeBoxWidth = 735;
constexpr int kWatchTimeBoxHeight = 345;

// The vehicle styles' pictures: the icons the map panels draw for CarType 0 to 3, seen from the side.
const std::array<QString, 4> kStyleModels{QStringLiteral("C-Rv"), QStringLiteral("Ferrari"), QStringLiteral("S320"),
                                          QStringLiteral("Mini")};
constexpr std::array<int, 4> kCarOptionLefts{1440, 2295, 3150, 4035};

QComboBox* makeWatchTimeBox(QWidget* parent, int number, int lowest, int highest) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Combo%1").arg(number));
    // Typing is allowed, but only a number the list could hold; Enter does not add it to the list.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setValidator(new ListNumberValidator(lowest, highest, box));
    return box;
}

void selectPosition(QComboBox* box, int position) {
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
}

} // namespace

frmManagement::frmManagement(DialogProtocol& protocol, clsDBLib& gDBLib, const QString& programFolder,
                             const SettingsFile& settings, MessageBox& box, ProgramEnd& programEnd, QWidget* parent)
    : QDialog(parent), m_protocol(protocol), m_gDBLib(gDBLib), m_settings(settings), m_box(box),
      m_programEnd(programEnd) {
    setObjectName(QStringLiteral("frmManagement"));
    setWindowTitle(QStringLiteral("車輛管理"));
    FixDialogSize(this, 6840, 5235);
    buildToolBar(programFolder);
    buildRecordFrame();
    buildCarFrame(programFolder);
    buildStatusBar();
}

void frmManagement::buildToolBar(const QString& programFolder) {
    m_tbrTool = new QToolBar(this);
    m_tbrTool->setObjectName(QStringLiteral("tbrTool"));
    m_tbrTool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_tbrTool->setIconSize(QSize(16, 16));
    // Thirteen buttons across the dialog's width: no handle, and the buttons close round their captions.
    m_tbrTool->setMovable(false);
    m_tbrTool->setFloatable(false);
    m_tbrTool->setContentsMargins(0, 0, 0, 0);
    m_tbrTool->setStyleSheet(QStringLiteral(
        "QToolBar { spacing: 0px; padding: 0px; border: none; } QToolButton { padding: 0px; margin: 0px; }"));
    const QDir folder(programFolder);
    for (std::size_t i = 0; i < kToolbarDesign.size(); ++i) {
        const QString picture = folder.filePath(QStringLiteral("icons/imlTool/%1.png").arg(i + 1));
        QAction* action = m_tbrTool->addAction(QIcon(picture), kToolbarDesign[i].Caption.toString());
        action->setObjectName(kToolbarDesign[i].Key.toString());
    }
    m_tbrTool->setGeometry(0, 0, width(), m_tbrTool->sizeHint().height());
    connect(m_tbrTool, &QToolBar::actionTriggered, this, [this](QAction* action) {
        const QString key = action->objectName();
        RunEventHandler(m_programEnd, [&] { tbrTool_ButtonClick(key); });
    });
}

void frmManagement::buildRecordFrame() {
    m_FraRec = new QGroupBox(this);
    m_FraRec->setObjectName(QStringLiteral("FraRec"));
    m_FraRec->setFont(DesignFont());
    PlaceTwips(m_FraRec, 120, 600, 6615, 3375);

    for (std::size_t i = 0; i < kTextBoxes.size(); ++i) {
        const TextBoxDesign& design = kTextBoxes[i];
        AddLabel(m_FraRec, design.label.toString(), design.labelLeft, design.labelTop);
        auto* box = new QLineEdit(m_FraRec);
        box->setObjectName(QStringLiteral("VehicleTxt_%1").arg(i));
        PlaceTwips(box, design.left, design.top, design.width, design.height);
        SelectAllOnFocus(box);
        m_VehicleTxt[i] = box;
    }
    AddLabel(m_FraRec, QStringLiteral("ex: 0911123456"), 3225, 921);

    AddLabel(m_FraRec, QStringLiteral("列入追蹤："), 3480, 390);
    m_Option1 = new QRadioButton(QStringLiteral("是"), m_FraRec);
    m_Option1->setObjectName(QStringLiteral("Option1"));
    PlaceTwips(m_Option1, 4470, 360, 615, 255);
    m_Option2 = new QRadioButton(QStringLiteral("否"), m_FraRec);
    m_Option2->setObjectName(QStringLiteral("Option2"));
    PlaceTwips(m_Option2, 5160, 360, 615, 255);

    m_Check1 = new QCheckBox(QStringLiteral("開始警戒"), m_FraRec);
    m_Check1->setObjectName(QStringLiteral("Check1"));
    PlaceTwips(m_Check1, 3240, 1482, 1215, 225);
    m_Check2 = new QCheckBox(QStringLiteral("結束警戒"), m_FraRec);
    m_Check2->setObjectName(QStringLiteral("Check2"));
    PlaceTwips(m_Check2, 3240, 1998, 1215, 225);
    for (std::size_t i = 0; i < kWatchTimeBoxes.size(); ++i) {
        const WatchTimeBoxDesign& design = kWatchTimeBoxes[i];
        const bool hour = i % 2 == 0;
        m_Combo[i] = makeWatchTimeBox(m_FraRec, static_cast<int>(i) + 1, hour ? 1 : 0,
                                      hour ? kHourListCount : kMinuteListCount - 1);
        PlaceTwips(m_Combo[i], design.left, design.top, kWatchTimeBoxWidth, kWatchTimeBoxHeight);
        AddLabel(m_FraRec, design.unit.toString(), design.unitLeft, design.unitTop);
    }
    connect(m_Check1, &QCheckBox::toggled, this, &frmManagement::Check1_Click);
    connect(m_Check2, &QCheckBox::toggled, this, &frmManagement::Check2_Click);
}

void frmManagement::buildCarFrame(const QString& programFolder) {
    m_FraCar = new QGroupBox(this);
    m_FraCar->setObjectName(QStringLiteral("FraCar"));
    m_FraCar->setFont(DesignFont());
    PlaceTwips(m_FraCar, 120, 3960, 6615, 975);
    AddLabel(m_FraCar, QStringLiteral("車輛樣式："), 480, 405);

    const QDir folder(programFolder);
    for (std::size_t i = 0; i < m_CarOption.size(); ++i) {
        auto* option = new QRadioButton(m_FraCar);
        option->setObjectName(QStringLiteral("CarOption_%1").arg(i));
        PlaceTwips(option, kCarOptionLefts[i], 360, 255, 300);
        m_CarOption[i] = option;

        auto* image = new QLabel(m_FraCar);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        PlaceTwips(image, kCarOptionLefts[i] + 285, 105, 480, 540);
        image->setPixmap(QPixmap(folder.filePath(QStringLiteral("carimage/%1/car090.gif").arg(kStyleModels[i]))));
    }
}

void frmManagement::buildStatusBar() {
    auto* stbTool = new QStatusBar(this);
    stbTool->setObjectName(QStringLiteral("stbTool"));
    stbTool->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < m_statusPanels.size(); ++i) {
        auto* panel = new QLabel(stbTool);
        panel->setObjectName(QStringLiteral("stbTool_Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        stbTool->addPermanentWidget(panel, 1);
        m_statusPanels[i] = panel;
    }
    const int barHeight = stbTool->sizeHint().height();
    stbTool->setGeometry(0, height() - barHeight, width(), barHeight);
}

QAction* frmManagement::button(const QString& key) const {
    for (QAction* action : m_tbrTool->actions()) {
        if (!key.isEmpty() && action->objectName() == key) {
            return action;
        }
    }
    throw RuntimeError(QStringLiteral("The records tool bar has no button with the key \"%1\"").arg(key));
}

QString frmManagement::statusText(int panel) const {
    return m_statusPanels.at(static_cast<std::size_t>(panel - 1))->text();
}

void frmManagement::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

int frmManagement::rowCount() const {
    return std::max(0, static_cast<int>(m_VehicleRows.size()) - 1);
}

void frmManagement::Form_Load() {
    m_protocol.gDialogOK = 0;
    LoadVehicleRecords();
    m_CurrentIndex = 0;
    for (int number : {1, 3}) {
        Combo(number)->clear();
        for (int hour = 1; hour <= kHourListCount; ++hour) {
            Combo(number)->addItem(QString::number(hour));
        }
    }
    for (int number : {2, 4}) {
        Combo(number)->clear();
        for (int minute = 0; minute < kMinuteListCount; ++minute) {
            Combo(number)->addItem(QString::number(minute));
        }
    }
    // Filled lists select nothing until a row is shown.
    selectNoWatchTimes();
    ShowVehicleRecord();
    RefreshFormState();
}

void frmManagement::LoadVehicleRecords() {
    m_VehicleRows.assign(1, VehicleRow());
    m_gDBLib.OpenVehicleRecordset();
    for (;;) {
        VehicleRow& r = m_VehicleRows.back();
        if (!m_gDBLib.FetchVehicleRecord(r.SeqNO, r.PlateNumber, r.PhoneNumber, r.CarBrand, r.DriveName, r.TelNumber1,
                                         r.TelNumber2, r.MobileNumber1, r.MobileNumber2, r.StrCaution, r.EndCaution,
                                         r.CarType, r.Dial, r.DialTime, r.CheckPoint, r.EW, r.X, r.NS, r.Y, r.Speed,
                                         r.Direction, r.Offset, r.Healthy)) {
            break;
        }
        // A fresh empty element always follows the last row.
        m_VehicleRows.emplace_back();
    }
    m_gDBLib.CloseVehicleRecordset();
}

void frmManagement::ShowVehicleRecord() {
    if (rowCount() == 0 || m_CurrentIndex < 0 || m_CurrentIndex >= static_cast<int>(m_VehicleRows.size())) {
        return;
    }
    const VehicleRow& r = m_VehicleRows[static_cast<std::size_t>(m_CurrentIndex)];
    const std::array<const QString*, 8> texts{&r.PlateNumber, &r.PhoneNumber, &r.CarBrand,      &r.DriveName,
                                              &r.TelNumber1,  &r.TelNumber2,  &r.MobileNumber1, &r.MobileNumber2};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        m_VehicleTxt[i]->setText(*texts[i]);
    }
    showWatchTime(m_Check1, Combo(1), Combo(2), r.StrCaution);
    showWatchTime(m_Check2, Combo(3), Combo(4), r.EndCaution);
    (r.Dial ? m_Option1 : m_Option2)->setChecked(true);
    if (r.CarType >= 0 && r.CarType < static_cast<int>(m_CarOption.size())) {
        m_CarOption[static_cast<std::size_t>(r.CarType)]->setChecked(true);
    }
}

void frmManagement::showWatchTime(QCheckBox* box, QComboBox* hour, QComboBox* minute, const QString& stored) {
    const WatchTimeSelection selection = SelectWatchTime(stored);
    if (!selection.ticked) {
        // An unticked box leaves its lists as they were.
        box->setChecked(false);
        hour->setEnabled(false);
        minute->setEnabled(false);
        return;
    }
    box->setChecked(true);
    selectPosition(hour, selection.hourIndex);
    selectPosition(minute, selection.minuteIndex);
}

void frmManagement::Check1_Click() {
    watchBoxClicked(m_Check1, Combo(1), Combo(2), m_Check2);
}

void frmManagement::Check2_Click() {
    watchBoxClicked(m_Check2, Combo(3), Combo(4), m_Check1);
}

void frmManagement::watchBoxClicked(QCheckBox* box, QComboBox* hour, QComboBox* minute, QCheckBox* other) {
    const bool ticked = box->isChecked();
    hour->setEnabled(ticked);
    minute->setEnabled(ticked);
    if (ticked) {
        // Ticking an unticked box runs its own handling in turn.
        other->setChecked(true);
    }
}

void frmManagement::RefreshFormState() {
    const RecordFormState state = ComputeRecordFormState(m_EditMode, m_CurrentIndex, rowCount());
    m_statusPanels[0]->setText(state.panel1);
    m_statusPanels[1]->setText(state.panel2);

    const std::pair<const char*, bool> buttons[] = {
        {"NewRec", state.NewRec},     {"Exit", state.Exit},         {"AmendmentRec", state.AmendmentRec},
        {"DelRec", state.DelRec},     {"Search", state.Search},     {"CancelRec", state.CancelRec},
        {"WriteRec", state.WriteRec}, {"FirstRec", state.FirstRec}, {"ReplyRec", state.ReplyRec},
        {"NextRec", state.NextRec},   {"LastRec", state.LastRec},
    };
    for (const auto& [key, enabled] : buttons) {
        button(QLatin1String(key))->setEnabled(enabled);
    }

    m_FraRec->setEnabled(state.FraRec);
    m_FraCar->setEnabled(state.FraCar);
    for (std::size_t i = 0; i < m_VehicleTxt.size(); ++i) {
        m_VehicleTxt[i]->setEnabled(i == 1 ? state.terminalNumber : state.recordInputs);
    }
    for (QWidget* input : std::initializer_list<QWidget*>{m_Option1, m_Option2, m_Check1, m_Check2}) {
        input->setEnabled(state.recordInputs);
    }
    for (QRadioButton* option : m_CarOption) {
        option->setEnabled(state.carOptions);
    }
    for (QComboBox* box : m_Combo) {
        box->setEnabled(state.watchTimes);
    }
}

void frmManagement::tbrTool_ButtonClick(const QString& Key) {
    using Action = void (frmManagement::*)();
    static const std::array<std::pair<QStringView, Action>, 10> kActions{{
        {u"NewRec", &frmManagement::NewRec},
        {u"AmendmentRec", &frmManagement::AmendmentRec},
        {u"DelRec", &frmManagement::DelRec},
        {u"CancelRec", &frmManagement::CancelRec},
        {u"WriteRec", &frmManagement::WriteRec},
        {u"Search", &frmManagement::SearchRec},
        {u"FirstRec", &frmManagement::FirstRec},
        {u"ReplyRec", &frmManagement::ReplyRec},
        {u"NextRec", &frmManagement::NextRec},
        {u"LastRec", &frmManagement::LastRec},
    }};
    if (Key == kExitKey) {
        reject();
        return;
    }
    const auto match = std::ranges::find_if(kActions, [&](const auto& entry) { return Key == entry.first; });
    if (match != kActions.end()) {
        (this->*match->second)();
        if (m_programEnded) {
            return;
        }
    }
    RefreshFormState();
}

void frmManagement::emptyTextBoxes() {
    for (QLineEdit* box : m_VehicleTxt) {
        box->clear();
    }
}

void frmManagement::selectNoWatchTimes() {
    for (QComboBox* box : m_Combo) {
        box->setCurrentIndex(-1);
    }
}

void frmManagement::NewRec() {
    emptyTextBoxes();
    m_Option1->setChecked(true);
    m_CarOption[0]->setChecked(true);
    m_EditMode = RecordEditMode::Add;
}

void frmManagement::AmendmentRec() {
    m_EditMode = RecordEditMode::Amend;
}

void frmManagement::DelRec() {
    if (!m_box.question(QStringLiteral("確定刪除這筆資料？"), QStringLiteral("確認刪除"))) {
        return;
    }
    m_gDBLib.DeleteVehicle(m_VehicleRows.at(static_cast<std::size_t>(m_CurrentIndex)).PlateNumber);
    LoadVehicleRecords();
    if (rowCount() > 0) {
        m_CurrentIndex = static_cast<int16_t>(std::max(m_CurrentIndex - 1, 0));
        ShowVehicleRecord();
    } else {
        emptyTextBoxes();
        selectNoWatchTimes();
        m_Check1->setChecked(false);
        m_Check2->setChecked(false);
    }
    m_protocol.gDialogOK = 1;
}

void frmManagement::CancelRec() {
    m_EditMode = RecordEditMode::Browse;
    ShowVehicleRecord();
}

void frmManagement::WriteRec() {
    if (SaveVehicleRecord()) {
        ShowVehicleRecord();
    }
}

void frmManagement::SearchRec() {
    const int32_t kept = m_protocol.gDialogOK;
    m_protocol.gDialogOK = 0;
    m_protocol.gSearchText.clear();
    {
        frmSearch search(m_protocol, m_settings);
        search.Form_Load();
        search.exec();
        if (m_protocol.gDialogOK == 1) {
            FindVehicleByPlate();
            if (m_programEnded) {
                return;
            }
        }
    }
    m_protocol.gDialogOK = kept;
}

void frmManagement::FirstRec() {
    m_CurrentIndex = 0;
    ShowVehicleRecord();
}

void frmManagement::ReplyRec() {
    m_CurrentIndex = static_cast<int16_t>(std::max(m_CurrentIndex - 1, 0));
    ShowVehicleRecord();
}

void frmManagement::NextRec() {
    m_CurrentIndex = static_cast<int16_t>(std::min(m_CurrentIndex + 1, rowCount() - 1));
    ShowVehicleRecord();
}

void frmManagement::LastRec() {
    m_CurrentIndex = static_cast<int16_t>(rowCount() - 1);
    ShowVehicleRecord();
}

void frmManagement::FindVehicleByPlate() {
    const bool completed = RunEventHandler(m_programEnd, [this] {
        const int index = FindPlateIndex(m_VehicleRows, m_protocol.gSearchText);
        if (index < 0) {
            m_box.exclamation(QStringLiteral("找不到車輛。"), m_box.defaultTitle());
            return;
        }
        m_CurrentIndex = static_cast<int16_t>(index);
        ShowVehicleRecord();
    });
    m_programEnded = m_programEnded || !completed;
}

VehicleRow frmManagement::enteredRecord() const {
    VehicleRow e;
    QString* const texts[] = {&e.PlateNumber, &e.PhoneNumber, &e.CarBrand,      &e.DriveName,
                              &e.TelNumber1,  &e.TelNumber2,  &e.MobileNumber1, &e.MobileNumber2};
    for (std::size_t i = 0; i < m_VehicleTxt.size(); ++i) {
        *texts[i] = Trim(m_VehicleTxt[i]->text());
    }
    e.Dial = m_Option1->isChecked();
    e.StrCaution = WatchTimeText(m_Check1->isChecked(), Combo(1)->currentText(), Combo(2)->currentText());
    e.EndCaution = WatchTimeText(m_Check2->isChecked(), Combo(3)->currentText(), Combo(4)->currentText());
    const auto selected = std::ranges::find_if(m_CarOption.begin(), m_CarOption.end() - 1,
                                               [](const QRadioButton* option) { return option->isChecked(); });
    e.CarType = static_cast<int16_t>(selected - m_CarOption.begin());
    return e;
}

bool frmManagement::SaveVehicleRecord() {
    if (m_EditMode == RecordEditMode::Browse) {
        return false;
    }
    const VehicleRow e = enteredRecord();
    if (const std::optional<QString> refusal = FirstFailedCheck(e, m_EditMode, m_VehicleRows, m_CurrentIndex)) {
        m_box.question(*refusal, QStringLiteral("確認"));
        return false;
    }

    if (m_EditMode == RecordEditMode::Add) {
        m_gDBLib.InsertVehicle(0, e.PlateNumber, e.PhoneNumber, e.CarBrand, e.DriveName, e.TelNumber1, e.TelNumber2,
                               e.MobileNumber1, e.MobileNumber2, e.StrCaution, e.EndCaution, e.CarType, e.Dial,
                               QString());
    } else {
        // The last position and the call history go back as the dialog loaded them.
        const VehicleRow& shown = m_VehicleRows.at(static_cast<std::size_t>(m_CurrentIndex));
        m_gDBLib.UpdateVehicle(shown.SeqNO, e.PlateNumber, e.PhoneNumber, e.CarBrand, e.DriveName, e.TelNumber1,
                               e.TelNumber2, e.MobileNumber1, e.MobileNumber2, e.StrCaution, e.EndCaution, e.CarType,
                               e.Dial, shown.DialTime, shown.CheckPoint, shown.EW, shown.X, shown.NS, shown.Y,
                               shown.Speed, shown.Direction, shown.Offset, shown.Healthy);
    }
    LoadVehicleRecords();
    m_protocol.gDialogOK = 1;
    // The rows are in plate order, so the written row's index is its place in that order.
    const int written = FindPhoneNumberIndex(m_VehicleRows, e.PhoneNumber);
    if (written >= 0) {
        m_CurrentIndex = static_cast<int16_t>(written);
    }
    m_EditMode = RecordEditMode::Browse;
    return true;
}

} // namespace kestrova
