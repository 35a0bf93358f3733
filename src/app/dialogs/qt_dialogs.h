#pragma once
// Qt's own dialogs as this program shows them: the colour chooser, the file choosers and
// the buttons Qt labels itself.

class QTranslator;

namespace kestrel::app {

// Qt's Japanese texts ("キャンセル", "色を選択"), whatever the locale: the program speaks
// Japanese throughout. Returns the translator, installed and owned by the application, or
// nullptr where Qt's translations are not installed (Qt's English remains).
QTranslator* install_qt_japanese();

// Qt's colour chooser keeps its custom colours, and its file chooser its history and
// places, in a settings file of Qt's own (QtProject.conf in the user's configuration
// folder), written whenever one of them closes. This program keeps what it keeps in its one
// settings file, and the custom colours only while it runs: after this call Qt's settings
// are neither read nor written. Before the first dialog.
void keep_qt_settings_off_disk();

}  // namespace kestrel::app
