#include "dialogs/frm_search.h"

#include "dialogs/dialog_widgets.h"
#include "startup/text_helpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrova {

namespace {

const QString kSearchSection = QStringLiteral("Search");
const QString kVehicleNumberKey = QStringLiteral("VehicleNumber");

} // namespace

frmSearch::frmSearch(DialogProtocol& protocol, const SettingsFile& settings, QWidget* parent)
    : QDialog(parent), m_protocol(protocol), m_settings(settings) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("搜尋"));
    setFont(DesignFont());
    FixDialogSize(this, 3945, 1320);

    auto* label = new QLabel(QStringLiteral("車輛編號："), this);
    PlaceTwips(label, 240, 255, 1125, 225);
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    PlaceTwips(m_txtSearch, 1320, 225, 2520, 330);
    SelectAllOnFocus(m_txtSearch);

    m_cmdOK = new QPushButton(QStringLiteral("確定"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    PlaceTwips(m_cmdOK, 1320, 720, 1215, 495);
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    PlaceTwips(m_cmdCancel, 2640, 720, 1215, 495);

    setTabOrder(m_txtSearch, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);
    m_txtSearch->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, &frmSearch::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSearch::cmdCancel_Click);
}

void frmSearch::Form_Load() {
    m_protocol.gDialogOK = 0;
    m_txtSearch->setText(m_settings.GetIniString(kSearchSection, kVehicleNumberKey));
    if (m_txtSearch->hasFocus()) {
        SelectAllText(*m_txtSearch);
    }
}

void frmSearch::cmdOK_Click() {
    m_protocol.gDialogOK = 1;
    m_protocol.gSearchText = Trim(m_txtSearch->text());
    m_settings.WriteIniString(kSearchSection, kVehicleNumberKey, m_protocol.gSearchText);
    accept();
}

void frmSearch::cmdCancel_Click() {
    reject();
}

} // namespace kestrova
