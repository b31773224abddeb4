#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box frmAbout: the application's icon and its title with the version.
namespace kestrova {

class frmAbout final : public QDialog {
    Q_OBJECT

public:
    // The icon is the vehicle-records picture of the main tool bar, icons/ImageList1/2.png in programFolder.
    explicit frmAbout(const QString& programFolder, QWidget* parent = nullptr);

    // Caption "關於 " and the title, the label the title; title is the application's, with its version.
    void Form_Load(const QString& title);

    QLabel* lblVersion() const { return m_lblVersion; }
    QPushButton* cmdOK() const { return m_cmdOK; }

private:
    QLabel* m_lblVersion = nullptr;
    QPushButton* m_cmdOK = nullptr;
};

} // namespace kestrova
