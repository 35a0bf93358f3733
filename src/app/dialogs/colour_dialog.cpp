#include "app/dialogs/colour_dialog.h"

#include <QColorDialog>

namespace kestrel::app {

namespace {

// QColorDialog keeps its custom colours per process; they only need their white start.
void whiten_custom_colours_once() {
    static const bool done = [] {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, Qt::white);
        return true;
    }();
    (void)done;
}

}  // namespace

bool choose_colour(QWidget* parent, kestrel::Colour& colour) {
    whiten_custom_colours_once();
    QColorDialog dialog(QColor(colour.r, colour.g, colour.b), parent);
    // The platform's own dialog would keep its custom colours elsewhere.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid()) return false;
    colour = kestrel::Colour{static_cast<std::uint8_t>(chosen.red()),
                             static_cast<std::uint8_t>(chosen.green()),
                             static_cast<std::uint8_t>(chosen.blue())};
    return true;
}

}  // namespace kestrel::app
