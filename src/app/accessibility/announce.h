#pragma once
// Telling a screen reader about something that happened away from the focus (a search hit
// in the back-scroll pane, a watched spot in the PC scope): the text becomes the widget's
// accessible description and a description-changed event goes out, even when the text is
// the same as last time, since the event is the news.

#include <QString>

class QWidget;

namespace kestrel::app {

void announce(QWidget* widget, const QString& text);

}  // namespace kestrel::app
