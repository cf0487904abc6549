// The about box: the application icon, title, version and copyright notice.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TForm2;
}

class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

private:
    std::unique_ptr<Ui::TForm2> m_ui;
};
