#pragma once

#include <QDialog>

#include <memory>

namespace Ui { class Orvandel; }

// The About box: the maker's logo and the program's name and version. One object serves every
// showing.
class Orvandel : public QDialog {
    Q_OBJECT
public:
    explicit Orvandel(QWidget* parent = nullptr);
    ~Orvandel() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void centreOverParent();
    void drawLogo();

    std::unique_ptr<Ui::Orvandel> ui;
};
