#include "dialogs/frm_about.h"

#include "dialogs/dialog_widgets.h"
#include "startup/twips.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kestrova {

namespace {

// One line of the etched separator, one pixel high across the box.
void addSeparatorLine(QWidget* box, int top, const QString& colour) {
    auto* line = new QFrame(box);
    line->setGeometry(0, twipsToPixels(top), box->width(), 1);
    line->setStyleSheet(QStringLiteral("background-color: %1; border: none;").arg(colour));
}

} // namespace

frmAbout::frmAbout(const QString& programFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    FixDialogSize(this, 5175, 3030);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    PlaceTwips(picIcon, 240, 240, 540, 540);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(QPixmap(QDir(programFolder).filePath(QStringLiteral("icons/ImageList1/2.png"))));

    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(DesignFont(12, true));
    m_lblVersion->move(toPixels(TwipsPoint{960, 360}));

    // A grey line over a white one, one pixel lower: the etched look.
    addSeparatorLine(this, 2040, QStringLiteral("#808080"));
    addSeparatorLine(this, 2055, QStringLiteral("#ffffff"));

    m_cmdOK = new QPushButton(QStringLiteral("確定"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setFont(DesignFont());
    PlaceTwips(m_cmdOK, 3720, 2280, 1294, 495);
    m_cmdOK->setDefault(true);
    // Enter presses the default button; Esc rejects, which closes the box as well.
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmAbout::Form_Load(const QString& title) {
    setWindowTitle(QStringLiteral("關於 ") + title);
    m_lblVersion->setText(title);
    m_lblVersion->adjustSize();
}

} // namespace kestrova
