#include "console/frm_logo.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace kestrova {

namespace {

constexpr int kTimer1Interval = 2000;

} // namespace

frmLogo::frmLogo(QWidget* owner, const QString& programFolder, std::unique_ptr<SerialPort> MSComm1,
                 const SettingsFile& settings, MessageBox& box, ProgramEnd& programEnd)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_programEnd(programEnd), m_MSComm1(std::move(MSComm1)),
      m_label1(new QLabel(this)),
      m_timer1(new QTimer(this)), m_logic(*this, *m_MSComm1, settings, box, programEnd) {
    setObjectName(QStringLiteral("frmLogo"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    const QPixmap pixmap(QDir(programFolder).absoluteFilePath(QStringLiteral("icons/frmLogo.png")));
    picture->setPixmap(pixmap);
    if (!pixmap.isNull()) {
        picture->resize(pixmap.size());
        setFixedSize(pixmap.size());
    }

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->raise();
    setLabel1Caption(QStringLiteral("V1.03"));

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimer1Interval);
    connect(m_timer1, &QTimer::timeout, this, &frmLogo::Timer1_Timer);
    // The splash does not close itself behind the box of a program that is ending.
    m_haltId = m_programEnd.addHaltStep([this] { m_timer1->stop(); });
}

frmLogo::~frmLogo() {
    m_programEnd.removeHaltStep(m_haltId);
}

void frmLogo::showModal() {
    Form_Load();
    // Every load that goes on starts the timer that closes the splash; a load that ended the program
    // returns here only in tests, and the splash is then not shown.
    if (m_timer1->isActive()) {
        exec();
    }
}

void frmLogo::Form_Load() {
    m_logic.Form_Load();
}

void frmLogo::Timer1_Timer() {
    m_logic.Timer1_Timer();
}

void frmLogo::setLabel1Caption(const QString& caption) {
    m_label1->setText(caption);
    m_label1->adjustSize();
    // The picture leaves its lower right corner plain for the label.
    m_label1->move(width() - m_label1->width() - 12, height() - m_label1->height() - 8);
}

void frmLogo::enableTimer1() {
    m_timer1->start();
}

void frmLogo::unload() {
    m_timer1->stop();
    accept();
}

} // namespace kestrova
