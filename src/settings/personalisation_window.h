#pragma once

#include "core/settings_file.h"
#include "widgets/app_services.h"

#include <QWidget>

#include <array>

class QLineEdit;
class QPushButton;

namespace ottavario {

// Form5: the user's data and the price of one column, kept in the settings
// file. Deletes itself when closed and emits closed() first, however it was
// closed (OK, Annulla, title bar).
class PersonalisationWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBoxes = 11; // Text1(0..10); the offsets have no box

    // Reads the settings file at once; a file that cannot be read is reported
    // and leaves OK disabled, so nothing unread is overwritten.
    explicit PersonalisationWindow(const AppServices& services, QWidget* parent = nullptr);

    QLineEdit* box(int index) const { return m_boxes[index]; }
    // The print offsets, written back as they were read.
    std::array<QString, 2> carriedOffsets() const
    {
        return { m_read.verticalOffset, m_read.horizontalOffset };
    }

    // OK: writes the settings, announces the prices and closes; a failed write
    // is reported and the window stays open.
    void accept();

signals:
    // The lire price, and the euro price with every "," turned into ".".
    void pricesChanged(const QString& lire, const QString& euro);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices m_services;
    std::array<QLineEdit*, kBoxes> m_boxes {};
    // What the file held: the values without a box are written back from here.
    Settings m_read;
    QPushButton* m_okButton = nullptr;
};

} // namespace ottavario
