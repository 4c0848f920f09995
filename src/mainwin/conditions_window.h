#pragma once

#include "core/column.h"
#include "core/conditions.h"

#include <QWidget>

#include <expected>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace ottavario {

struct Grid;

// Form6 "Condizioni": the conditions a column of the grid must meet to be
// played, one row each, with the count of the columns in play and their
// price kept up to date at every key typed. OK hands the conditions to the
// main window; Annulla and the title bar leave them as they were. Deletes
// itself when closed.
class ConditionsWindow : public QWidget {
    Q_OBJECT
public:
    ConditionsWindow(const Grid& grid, const Conditions& conditions, double lirePerColumn,
        double euroPerColumn, QWidget* parent = nullptr);

    // Row `row`: Combo1(row) the kind, Text1(row) the group, Text2(row) and
    // Text3(row) the range, Command3(row) removes it.
    int rowCount() const { return int(m_rows.size()); }
    QComboBox* kindBox(int row) const { return m_rows[size_t(row)].kind; }
    QLineEdit* groupBox(int row) const { return m_rows[size_t(row)].group; }
    QLineEdit* lowestBox(int row) const { return m_rows[size_t(row)].lowest; }
    QLineEdit* highestBox(int row) const { return m_rows[size_t(row)].highest; }

    // Aggiungi condizione (Command1): a new row, a group of numbers to fill.
    void addRow();
    void removeRow(int row);

    // The conditions the rows describe, or the first fault, naming its row.
    std::expected<Conditions, QString> conditions() const;
    // Columns in play under the rows that are complete.
    qsizetype inPlayCount() const { return m_inPlay; }

    // OK (Command4): only when every row is a condition.
    void accept();

signals:
    void conditionsAccepted(const ottavario::Conditions& conditions);

private:
    struct Row {
        QWidget* widget = nullptr;
        QComboBox* kind = nullptr;
        QLineEdit* group = nullptr;
        QLineEdit* lowest = nullptr;
        QLineEdit* highest = nullptr;
        QPushButton* remove = nullptr;
    };

    Row& appendRow(const Condition& condition);
    std::expected<Condition, QString> rowCondition(int index) const;
    void kindChosen(QObject* rowWidget);
    void nameRows();
    void recount();

    std::vector<ColumnMask> m_developed;
    double m_lirePerColumn = 0;
    double m_euroPerColumn = 0;
    qsizetype m_inPlay = 0;
    int m_kindWidth = 0; // the kind's box and its caption

    std::vector<Row> m_rows;
    QVBoxLayout* m_rowsLayout = nullptr;
    QPushButton* m_addButton = nullptr; // Command1
    QLabel* m_developedLabel = nullptr; // Label2
    QLabel* m_inPlayLabel = nullptr; // Label3
    QLabel* m_priceLabel = nullptr; // Label4
    QLabel* m_euroLabel = nullptr; // Label5
    QLabel* m_faultLabel = nullptr; // Label6
    QPushButton* m_okButton = nullptr; // Command4
    QPushButton* m_cancelButton = nullptr; // Command5
};

} // namespace ottavario
