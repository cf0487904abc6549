// The main window: the two files, the search mode, the byte values and the
// search command. Its controls come from main.ui; this class holds behaviour.
#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

private:
    std::unique_ptr<Ui::TForm1> m_ui;
};
