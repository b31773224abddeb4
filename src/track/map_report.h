#pragma once

#include "track/map_report_page.h"

#include <QPrintPreviewDialog>
#include <QString>

class QPrinter;

// The report window "列印地圖": a print preview of the map report's page, from which the dispatcher
// prints it, or saves it as a PDF by choosing the PDF printer. A print job goes to the system's spooler;
// nothing of it runs in the console, so no job can hold the console up.
namespace kestrova {

class MapReport final : public QPrintPreviewDialog {
    Q_OBJECT

public:
    // Sized as designed (11010 by 15240 twips inside) until a stored placement moves it.
    explicit MapReport(QWidget* parent = nullptr);

    // MapImage takes the picture at path; throws RuntimeError, naming the file, when it cannot be loaded.
    void loadMapImage(const QString& path);
    // The report header's two texts.
    void setHeaderTexts(const QString& MAPDetail, const QString& PrintDate);

    const MapReportPage& page() const { return m_page; }

private:
    void paintPage(QPrinter* printer);

    MapReportPage m_page;
};

} // namespace kestrova
