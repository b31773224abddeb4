#include "console/map_panel_choosers.h"

#include "startup/runtime_error.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace kestrova {

MapPanelChoosers::MapPanelChoosers(const std::array<MapPanelWidget*, kMapPanelCount>& fraMap) : m_fraMap(fraMap) {}

QComboBox& MapPanelChoosers::chooser(int index) const {
    QComboBox* combo = index >= 0 && index < kMapPanelCount && m_fraMap[static_cast<std::size_t>(index)] != nullptr
                           ? m_fraMap[static_cast<std::size_t>(index)]->cmbVehicle()
                           : nullptr;
    if (combo == nullptr) {
        throw RuntimeError(kSubscriptOutOfRange);
    }
    return *combo;
}

QString MapPanelChoosers::text(int index) const {
    const QComboBox& combo = chooser(index);
    return combo.currentIndex() < 0 ? QString() : combo.currentText();
}

void MapPanelChoosers::clear(int index) {
    QComboBox& combo = chooser(index);
    const QSignalBlocker quiet(&combo);
    combo.clear();
}

void MapPanelChoosers::addItem(int index, const QString& text) {
    QComboBox& combo = chooser(index);
    const QSignalBlocker quiet(&combo);
    // A Qt combo box chooses the first item put into it; the design's list keeps its choice.
    const int kept = combo.currentIndex();
    combo.addItem(text);
    combo.setCurrentIndex(kept);
}

int MapPanelChoosers::listCount(int index) const {
    return chooser(index).count();
}

int MapPanelChoosers::listIndex(int index) const {
    return chooser(index).currentIndex();
}

void MapPanelChoosers::setListIndex(int index, int listIndex) {
    chooser(index);
    m_fraMap[static_cast<std::size_t>(index)]->setChooserListIndex(listIndex);
}

void MapPanelChoosers::setEnabled(int index, bool enabled) {
    chooser(index).setEnabled(enabled);
}

} // namespace kestrova
