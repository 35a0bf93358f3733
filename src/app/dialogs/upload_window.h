#pragma once
// The "U/L中" window shown while an upload runs: the upload's name and "強制終了", which
// asks for the upload to be aborted. A small frameless window owned by the main window,
// shown at once; it hands the keyboard back to its owner whenever it paints, so typing
// keeps going to the terminal. The main window creates and destroys it (the upload's end
// does not: the once-a-second timer removes it).

#include <QWidget>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace kestrel::app {

class UploadWindow : public QWidget {
    Q_OBJECT
public:
    // `upload_name` is CP932: the file's name without directory, or "ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L".
    explicit UploadWindow(QWidget* owner, std::string_view upload_name = {});

    void set_upload_name(std::string_view upload_name);
    QString upload_name() const;

signals:
    void abort_requested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QWidget* owner_;
    QLineEdit* name_ = nullptr;
};

}  // namespace kestrel::app
