#include "dialogs/frm_settings.h"

#include "dialogs/dialog_widgets.h"
#include "startup/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace kestrova {

namespace {

const QString kSettingsSection = QStringLiteral("Settings");

// Every list box is 345 twips high; a unit label stands 60 twips after its box, 60 twips lower.
constexpr int kListHeight = 345;
constexpr int kUnitGap = 60;

void fillNumbers(QComboBox* box, int first, int last, int step = 1) {
    for (int value = first; value <= last; value += step) {
        box->addItem(QString::number(value));
    }
}

QLabel* addUnitAfter(QWidget* frame, QComboBox* box, const QString& unit) {
    auto* label = new QLabel(unit, frame);
    label->adjustSize();
    const int gap = twipsToPixels(kUnitGap);
    label->move(box->geometry().right() + 1 + gap, box->geometry().top() + gap);
    return label;
}

} // namespace

frmSettings::frmSettings(DialogProtocol& protocol, const SettingsFile& settings, QWidget* parent)
    : QDialog(parent), m_protocol(protocol), m_settings(settings) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("系統設定"));
    setFont(DesignFont());
    FixDialogSize(this, 5610, 5820);
    m_FraSys[0] = addFrame(this, "FraSys_0", QStringLiteral("等待至撥通時間"), 120, 120, 2655, 720);
    m_ComSys[0] = addList(m_FraSys[0], "ComSys_0", 600, 285, 915);
    addUnitAfter(m_FraSys[0], m_ComSys[0], QStringLiteral("秒"))->setObjectName(QStringLiteral("Label4_0"));

    m_FraSys[2] = addFrame(this, "FraSys_2", QStringLiteral("等待至解碼時間"), 2880, 120, 2655, 720);
    m_ComSys[2] = addList(m_FraSys[2], "ComSys_2", 600, 285, 915);
    addUnitAfter(m_FraSys[2], m_ComSys[2], QStringLiteral("秒"))->setObjectName(QStringLiteral("Label4_1"));

    m_FraManual = addFrame(this, "FraManual", QStringLiteral("手動撥號設定"), 120, 915, 5415, 1290);
    m_fraManual1 = addFrame(m_FraManual, "fraManual1", QStringLiteral("自動掛斷時間"), 195, 360, 2415, 735);
    m_ComCent = addList(m_fraManual1, "ComCent", 165, 285, 735);
    addUnitAfter(m_fraManual1, m_ComCent, QStringLiteral("分"))->setObjectName(QStringLiteral("Label1_6"));
    m_ComSecond = addList(m_fraManual1, "ComSecond", 1260, 285, 735);
    addUnitAfter(m_fraManual1, m_ComSecond, QStringLiteral("秒"))->setObjectName(QStringLiteral("Label1_7"));
    m_chkHalaMode = new QCheckBox(QStringLiteral("哈啦追蹤"), m_FraManual);
    m_chkHalaMode->setObjectName(QStringLiteral("chkHalaMode"));
    PlaceTwips(m_chkHalaMode, 2805, 285, 1215, 270);
    // Two lines in the design's height, closer than the fallback fonts space them.
    auto* label2 = new QLabel(
        QStringLiteral("<div style=\"line-height: 70%\">使用和信哈啦900撥號，4分30秒自動掛斷</div>"), m_FraManual);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);
    label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(label2, 2805, 720, 2550, 495);

    m_FraSys[1] = addFrame(this, "FraSys_1", QStringLiteral("連接埠設定"), 120, 2287, 2655, 720);
    m_ComSys[1] = addList(m_FraSys[1], "ComSys_1", 840, 285, 915);

    QWidget* frame1 = addFrame(this, "Frame1", QStringLiteral("連接埠速率設定"), 2880, 2280, 2655, 735);
    m_Combo1 = addList(frame1, "Combo1", 600, 240, 1575);
    m_Combo1->addItems({QStringLiteral("4800,n,8,1"), QStringLiteral("9600,n,8,1")});

    m_FraSys[4] = addFrame(this, "FraSys_4", QStringLiteral("航跡記錄設定"), 120, 3120, 5415, 840);
    m_ComSys[4] = addList(m_FraSys[4], "ComSys_4", 2160, 300, 1035);
    auto* label3 = new QLabel(QStringLiteral("自動刪除"), m_FraSys[4]);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->adjustSize();
    label3->move(m_ComSys[4]->x() - twipsToPixels(kUnitGap) - label3->width(),
                 m_ComSys[4]->y() + twipsToPixels(kUnitGap));
    addUnitAfter(m_FraSys[4], m_ComSys[4], QStringLiteral("天前的資料"))->setObjectName(QStringLiteral("Label5"));

    QWidget* fraFollowring = addFrame(this, "FraFollowring", QStringLiteral("總循環時間設定"), 120, 4080, 5415, 855);
    m_FollowringTime = addList(fraFollowring, "FollowringTime", 1200, 360, 735);
    addUnitAfter(fraFollowring, m_FollowringTime, QStringLiteral("時"))->setObjectName(QStringLiteral("Label1_0"));
    m_FollowringCent = addList(fraFollowring, "FollowringCent", 2295, 360, 735);
    addUnitAfter(fraFollowring, m_FollowringCent, QStringLiteral("分"))->setObjectName(QStringLiteral("Label1_1"));
    m_FollowringSecond = addList(fraFollowring, "FollowringSecond", 3360, 360, 735);
    addUnitAfter(fraFollowring, m_FollowringSecond, QStringLiteral("秒"))->setObjectName(QStringLiteral("Label1_2"));

    m_FraSys[3] = addFrame(this, "FraSys_3", QStringLiteral("是否需要嗶聲"), 120, 5040, 2655, 720);
    m_ComSys[3] = addList(m_FraSys[3], "ComSys_3", 600, 285, 915);
    m_ComSys[3]->addItems({QStringLiteral("是"), QStringLiteral("否")});

    m_cmdOK = new QPushButton(QStringLiteral("確定"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    PlaceTwips(m_cmdOK, 3000, 5160, 1215, 495);
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    PlaceTwips(m_cmdCancel, 4320, 5160, 1215, 495);

    QWidget* const tabOrder[] = {m_ComSys[0],      m_ComSys[2],      m_ComCent,          m_ComSecond, m_chkHalaMode,
                                 m_ComSys[1],      m_ComSys[3],      m_ComSys[4],        m_cmdCancel, m_cmdOK,
                                 m_FollowringTime, m_FollowringCent, m_FollowringSecond, m_Combo1};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    }
    m_ComSys[0]->setFocus();

    connect(m_chkHalaMode, &QCheckBox::toggled, this, &frmSettings::chkHalaMode_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmSettings::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSettings::cmdCancel_Click);
}

QWidget* frmSettings::addFrame(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                               int height) {
    QWidget* frame = AddCaptionedFrame(parent, caption, left, top, width, height);
    frame->setObjectName(QLatin1String(name));
    frame->installEventFilter(this);
    return frame;
}

QComboBox* frmSettings::addList(QWidget* frame, const char* name, int left, int top, int width) {
    auto* box = new QComboBox(frame);
    box->setObjectName(QLatin1String(name));
    PlaceTwips(box, left, top, width, kListHeight);
    return box;
}

void frmSettings::Form_Load() {
    m_protocol.gDialogOK = 0;

    fillNumbers(m_ComSys[1], 1, 15);
    fillNumbers(m_ComSys[0], 5, 30, 5);
    fillNumbers(m_ComSys[2], 10, 60, 10);
    fillNumbers(m_ComSys[4], 30, 360, 30);
    fillNumbers(m_ComSecond, 0, 50, 10);
    fillNumbers(m_ComCent, 1, 10);
    fillNumbers(m_FollowringTime, 0, 24);
    fillNumbers(m_FollowringCent, 0, 59);
    fillNumbers(m_FollowringSecond, 0, 59);

    const SettingsSelection s =
        SelectStoredSettings([this](const QString& key) { return m_settings.GetIniString(kSettingsSection, key); });
    for (std::size_t i = 0; i < m_ComSys.size(); ++i) {
        m_ComSys[i]->setCurrentIndex(s.ComSys[i]);
    }
    m_ComCent->setCurrentIndex(s.ComCent);
    m_ComSecond->setCurrentIndex(s.ComSecond);
    // Ticking the box runs the Hala rule, as a click would.
    m_chkHalaMode->setChecked(s.chkHalaMode == 1);
    m_FollowringTime->setCurrentIndex(s.FollowringTime);
    m_FollowringCent->setCurrentIndex(s.FollowringCent);
    m_FollowringSecond->setCurrentIndex(s.FollowringSecond);
    m_Combo1->setCurrentIndex(s.Combo1);
}

SettingsSelection frmSettings::selection() const {
    SettingsSelection s;
    for (std::size_t i = 0; i < m_ComSys.size(); ++i) {
        s.ComSys[i] = m_ComSys[i]->currentIndex();
    }
    s.ComCent = m_ComCent->currentIndex();
    s.ComSecond = m_ComSecond->currentIndex();
    s.chkHalaMode = m_chkHalaMode->isChecked() ? 1 : 0;
    s.FollowringTime = m_FollowringTime->currentIndex();
    s.FollowringCent = m_FollowringCent->currentIndex();
    s.FollowringSecond = m_FollowringSecond->currentIndex();
    s.Combo1 = m_Combo1->currentIndex();
    return s;
}

void frmSettings::chkHalaMode_Click() {
    const bool hala = m_chkHalaMode->isChecked();
    if (hala) {
        SettingsSelection s = selection();
        ApplyHalaRule(s);
        m_ComCent->setCurrentIndex(s.ComCent);
        m_ComSecond->setCurrentIndex(s.ComSecond);
    }
    m_ComCent->setEnabled(!hala);
    m_ComSecond->setEnabled(!hala);
}

void frmSettings::cmdOK_Click() {
    // A write that fails leaves that key as it was; the others are still written.
    for (const auto& [key, value] : SettingsToWrite(selection())) {
        m_settings.WriteIniString(kSettingsSection, key, value);
    }
    m_protocol.gDialogOK = 1;
    accept();
}

void frmSettings::cmdCancel_Click() {
    reject();
}

void frmSettings::FraSys_Click(int Index) {
    ComSys(Index)->setFocus();
}

void frmSettings::FraManual_Click() {
    if (m_ComCent->isEnabled()) {
        m_ComCent->setFocus();
    }
}

void frmSettings::fraManual1_Click() {
    FraManual_Click();
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (std::size_t i = 0; i < m_FraSys.size(); ++i) {
            if (watched == m_FraSys[i]) {
                FraSys_Click(static_cast<int>(i));
            }
        }
        if (watched == m_FraManual) {
            FraManual_Click();
        } else if (watched == m_fraManual1) {
            fraManual1_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrova
