#pragma once
// Qt's own dialogs as this program shows them: the colour chooser, the file choosers and
// the buttons Qt labels itself.

class QTranslator;

namespace kestrel::app {

// Qt's Japanese texts ("キャンセル", "色を選択"), whatever the locale: the program speaks
// Japanese throughout. Returns the translator, installed and owned by the application, or
// nullptr where Qt's translations are not installed (Qt's English remains).
QTranslator* install_qt_japanese();

}  // namespace kestrel::app
