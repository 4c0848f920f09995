#pragma once

#include <QLineEdit>

namespace ottavario {

// An entry of at most 2 characters that selects its whole text when clicked,
// so that typing replaces what stands there.
class GridEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit GridEntry(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Focus here with the whole text selected.
    void focusAndSelect();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace ottavario
