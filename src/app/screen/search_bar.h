#pragma once
// The back-scroll search field: a small bar over the back-scroll pane's top right corner.
// Typing searches at once towards older lines; Enter (or "次") goes on to the next older
// hit, SHIFT+Enter (or "前") to the next newer one; both wrap at the ends and say so in the
// note beside the field. Escape closes the bar and gives the keyboard back to the terminal.
// Every hit puts the back-scroll cursor on its line (entering split view when needed) and
// has the line read out to a screen reader.

#include <QFrame>
#include <optional>
#include <string_view>

#include "core/screen/scroll_search.h"

class QLabel;
class QLineEdit;

namespace kestrel::app {

class SearchBar : public QFrame {
    Q_OBJECT
public:
    SearchBar(kestrel::Backscroll& backscroll, QWidget* parent);

    // Shows the bar with the keyboard in its field, the text selected for typing over.
    void open();
    void close_bar();

    QLineEdit* field() const { return field_; }
    QLabel* note() const { return note_; }
    // The hit's column in the back-scroll cursor's line while it still holds the text.
    std::optional<int> highlight_column(std::string_view cursor_line) const;
    int highlight_length() const { return int(search_.text().size()); }

signals:
    // The view moved or the hit changed: the pane repaints and its thumb follows.
    void moved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_result(const kestrel::ScrollSearch::Result& result, bool older);

    kestrel::ScrollSearch search_;
    QLineEdit* field_;
    QLabel* note_;
};

}  // namespace kestrel::app
